// FitLabel: a label whose text shrinks to fit its width instead of being cut off.
#include "ui/fitlabel.h"

#include <QPainter>

QString FitLabel::lines() const {
    QString t = text();
    return t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QSize FitLabel::textSize(const QFont &font) const {
    return QFontMetrics(font).boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft, lines()).size();
}

QFont FitLabel::fittedFont() const {
    QFont f = font();
    int pixels = f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
    f.setPixelSize(pixels);
    while (pixels > MinPixels && textSize(f).width() > contentsRect().width())
        f.setPixelSize(--pixels);
    return f;
}

QSize FitLabel::minimumSizeHint() const {
    QFont f = font();
    f.setPixelSize(MinPixels);
    const QMargins m = contentsMargins();
    return textSize(f).grownBy(m) + QSize(2 * margin(), 2 * margin());
}

void FitLabel::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.setFont(fittedFont());
    p.setPen(palette().color(foregroundRole()));
    p.drawText(contentsRect().adjusted(margin(), margin(), -margin(), -margin()), int(alignment()), lines());
}
