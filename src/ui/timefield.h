// Time entry fields: two-digit text boxes, each with a small spinner whose upper arrow counts up.
#pragma once
#include <QLineEdit>
#include <QScrollBar>
#include <QString>
#include <QWidget>

// A vertical scroll bar used as a spinner: values 0 … top, the upper arrow (and the Up key,
// and the wheel turned away from the user) moves the value up, the lower arrow down. The
// value stops at either end. valueChanged is the change handler: it runs for a click and for
// a value set by the program alike, and only when the value really changes.
class Spinner : public QScrollBar {
    Q_OBJECT
public:
    explicit Spinner(int top, QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    void reverseStep(int action);
};

namespace timefield {
// The value written with at least two digits: "00" … "59".
QString twoDigits(int value);
// The leading number of a text, rounded to a whole number; 0 for an empty or non-numeric text.
int leadingNumber(const QString &text);
// Selects the whole text each time the box receives the focus, by keyboard or by mouse.
void selectAllOnFocus(QLineEdit *box);
}  // namespace timefield

// Hours "：" minutes "：" seconds, each a text box with its spinner to its right.
//
// Main-window variant: a spinner's change writes its value as two digits into its box and
// nothing flows back; the boxes are the value the owner reads. Dialog variant: the flow goes
// both ways (a box set by the program moves its spinner, which writes the box back in two-digit
// form) and every change is reported by modified(), which the dialog uses to enable saving.
class TimeEntry : public QWidget {
    Q_OBJECT
public:
    enum class Variant { MainWindow, Dialog };
    struct Names {
        const char *hoursText, *hoursSpinner;
        const char *minutesText, *minutesSpinner;
        const char *secondsText, *secondsSpinner;
    };
    struct Options {
        Variant variant = Variant::MainWindow;
        bool selectAllOnFocus = false;
        bool typing = false;  // boxes take typed input (two characters at most)
    };

    TimeEntry(const Names &names, Options options, QWidget *parent = nullptr);

    QLineEdit *hoursText, *minutesText, *secondsText;
    Spinner *hoursSpinner, *minutesSpinner, *secondsSpinner;

    // hours text ":" minutes text ":" seconds text, as the boxes hold them ("07:30:00").
    QString composedText() const;
    // Spinners and boxes both take these values (a value out of range stops at the range's end).
    void setTime(int hours, int minutes, int seconds);

signals:
    // Dialog variant: a spinner or a box changed.
    void modified();

private:
    void boxChanged();

    Variant m_variant;
    bool m_syncing = false;
};
