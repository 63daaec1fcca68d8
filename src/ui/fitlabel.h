// FitLabel: a label whose text shrinks to fit its width instead of being cut off.
#pragma once
#include <QLabel>

// The date card is sized for a date and a weekday's name; a make-up day's note
// ("星期六（按周一）") is longer, and must still be read whole. The label's font is the largest
// size used; the text is drawn at the largest size up to it that fits, never below MinPixels.
class FitLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    static constexpr int MinPixels = 10;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override { return minimumSizeHint(); }
    QFont fittedFont() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize textSize(const QFont &font) const;
    QString lines() const;
};
