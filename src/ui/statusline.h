// StatusLine: a one-line label for texts that turn sideways a character at a time, drawn from a strip kept for the
// whole turn.
#pragma once
#include <QLabel>
#include <QList>
#include <QPixmap>

// A status line's text turns left by one character five times a second, all day. Laying the
// text out anew at each turn would keep an idle program busy shaping the same characters, so
// the line draws its text twice over, side by side, once into a strip and shows each turning
// as a window onto that strip. The text stays the label's own: whoever sets it, turned or
// new, reads it back as set; a text that is no turning of the strip's starts a new strip.
class StatusLine : public QLabel {
    Q_OBJECT
public:
    explicit StatusLine(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // How far text is turned from the strip's text, or -1 when it is no turning of it.
    qsizetype turnOf(const QString &text) const;
    bool drawStrip(const QString &text);

    QString m_doubled;     // the strip's text twice
    QPixmap m_strip;       // m_doubled drawn on the line's background
    QList<qreal> m_x;      // where each UTF-16 position of m_doubled begins in the strip
    qsizetype m_turn = 0;  // the turning last shown
};
