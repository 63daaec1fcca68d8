// SegmentLabel: a label that shows a time of day in seven-segment digits, for a clock read from across a room.
#pragma once
#include <QColor>
#include <QLabel>
#include <QPixmap>

// The text stays the label's text (H:mm:ss, or the design text "88:88:88"); only its drawing
// differs. Digits and colons fill the places of "88:88:88" from the right, so "7:05:09" keeps
// its digits where "17:05:09" has them and the unused place shows only its unlit segments.
// A text of any other form is drawn as ordinary text.
class SegmentLabel : public QLabel {
    Q_OBJECT
public:
    explicit SegmentLabel(const QString &text, QWidget *parent = nullptr);

    void setColors(const QColor &lit, const QColor &unlit, const QColor &face);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Layout;
    Layout layout() const;
    void drawUnlit();

    QColor m_lit, m_unlit, m_face;
    QPixmap m_unlitPicture;  // the face with every segment unlit, drawn once for the label's size
};
