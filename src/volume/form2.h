// Form2: the volume settings dialog, whose sliders are the program's live volume settings.
#pragma once
#include "core/clock.h"
#include "ui/dialogs.h"
#include "ui/slider.h"
#include "ui/windowdrag.h"
#include "volume/clsvolume.h"

#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

#include <array>
#include <optional>

// A window without a title bar, built hidden at start-up and shown in turn with the main
// window. Slider1 holds the scheduled-broadcast volume; Slider2[k] holds the volume of the
// random-music group k (library L, group W: k = 4 * L + W - 1). Every change of a slider,
// by the user or by the program, sends its volume to the speaker at once.
class Form2 : public QWidget {
    Q_OBJECT
public:
    // Its timer runs on clock; messages go through dialogs; Volume.cfg lies in appDir.
    Form2(Clock &clock, Dialogs &dialogs, const QString &appDir, clsVolume &volume, QWidget *parent = nullptr);
    ~Form2() override;

    // Start-up: opens the mixer; if it opened, sets the speaker to a quarter of its range
    // and gives the sliders the mixer's ranges (the group sliders the speaker's when the card
    // has no microphone control); then loads Volume.cfg.
    void startUp();

    // Puts the positions saved in Volume.cfg into the sliders and marks them unchanged.
    void LoadVolume();
    // Replaces Volume.cfg with the current positions; on failure says so and returns false,
    // leaving the old file as it was.
    bool SaveVolume();

    QString volumeFilePath() const;

    QWidget *Picture8 = nullptr;
    QLabel *Label2 = nullptr;
    QGroupBox *Frame2 = nullptr;
    Slider *Slider1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    std::array<Slider *, 12> Slider2{};
    // 0..11 the group captions, 12/13 MAX/MIN of Slider1, 14/15 and 16/17 MAX/MIN between
    // the groups.
    std::array<QLabel *, 18> Label1{};
    QPushButton *Command11 = nullptr;  // "保存", enabled while there are unsaved changes
    QPushButton *Command1 = nullptr;   // "关闭"
    Timer *Timer1 = nullptr;
    QString MarqueeText;

signals:
    // The dialog has hidden itself; the main window shows itself again.
    void closed();
    // The mouse moved over the background, which counts as the operator being present.
    void backgroundMouseMoved();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    // Alt+F4 or a window manager's close button: what "关闭" does.
    void closeEvent(QCloseEvent *event) override;

private:
    void sendScheduledVolume();
    void sendGroupVolume(int index);
    void saveClicked();
    void closeDialog();
    void turnMarquee();
    static void putPosition(Slider *slider, const std::optional<qint64> &position);

    Clock &m_clock;
    Dialogs &m_dialogs;
    QString m_appDir;
    clsVolume &m_volume;
    WindowDrag m_drag;
};
