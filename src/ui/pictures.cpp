// The pictures' drawing: a few flat shapes each, antialiased only where an edge is curved.
#include "ui/pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace pictures {

namespace {

const QColor Shade{0, 0, 0, 60};         // the bell's shaded side
const QColor Shine{255, 255, 255, 110};  // its lit edge
const QColor Hill{211, 230, 200};
const QColor Hint{91, 112, 138};
const QColor Quiet{142, 163, 189};  // idle icons, small texts on the band
const QColor CardEdge{150, 140, 115};

QImage blank(QSize size, QImage::Format format = QImage::Format_ARGB32_Premultiplied) {
    QImage image(size, format);
    image.fill(Qt::transparent);
    return image;
}

QFont pixelFont(int pixels, bool bold = false) {
    QFont f = QGuiApplication::font();
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// A hand-sized school bell hanging from pivot, height h, swung by angle degrees.
void drawBell(QPainter &p, QPointF pivot, qreal h, qreal angle, const QColor &metal) {
    p.save();
    p.translate(pivot);
    p.rotate(angle);
    p.scale(h, h);
    p.setPen(Qt::NoPen);

    QPainterPath body;
    body.moveTo(-0.12, 0.13);
    body.cubicTo(-0.30, 0.14, -0.30, 0.42, -0.32, 0.62);
    body.cubicTo(-0.34, 0.76, -0.44, 0.78, -0.46, 0.86);
    body.lineTo(0.46, 0.86);
    body.cubicTo(0.44, 0.78, 0.34, 0.76, 0.32, 0.62);
    body.cubicTo(0.30, 0.42, 0.30, 0.14, 0.12, 0.13);
    body.cubicTo(0.06, 0.10, -0.06, 0.10, -0.12, 0.13);
    p.setBrush(metal);
    p.drawPath(body);

    // The right half in shade: light comes from the upper left.
    QPainterPath shade;
    shade.moveTo(0.10, 0.13);
    shade.cubicTo(0.28, 0.16, 0.26, 0.44, 0.26, 0.62);
    shade.cubicTo(0.26, 0.76, 0.36, 0.80, 0.40, 0.86);
    shade.lineTo(0.46, 0.86);
    shade.cubicTo(0.44, 0.78, 0.34, 0.76, 0.32, 0.62);
    shade.cubicTo(0.30, 0.42, 0.30, 0.14, 0.12, 0.13);
    p.setBrush(Shade);
    p.drawPath(shade);

    p.setBrush(metal.darker(115));
    p.drawRoundedRect(QRectF(-0.49, 0.84, 0.98, 0.07), 0.035, 0.035);  // the lip
    p.drawEllipse(QPointF(0, 0.96), 0.065, 0.065);                     // the clapper
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(metal.darker(115), 0.045));
    p.drawEllipse(QPointF(0, 0.06), 0.06, 0.05);  // the crown's loop

    QPen shine(Shine, 0.035, Qt::SolidLine, Qt::RoundCap);
    p.setPen(shine);
    QPainterPath edge;
    edge.moveTo(-0.17, 0.22);
    edge.cubicTo(-0.22, 0.36, -0.22, 0.56, -0.27, 0.74);
    p.drawPath(edge);
    p.restore();
}

// count rings of sound on either side of a bell of height h hanging from pivot.
void drawRings(QPainter &p, QPointF pivot, qreal h, int count, const QColor &color) {
    const QPointF centre = pivot + QPointF(0, 0.55 * h);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, std::max(1.5, 0.045 * h), Qt::SolidLine, Qt::RoundCap));
    for (int k = 1; k <= count; ++k) {
        const qreal r = 0.42 * h + 0.13 * h * k;
        const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
        p.drawArc(box, -30 * 16, 60 * 16);
        p.drawArc(box, 150 * 16, 60 * 16);
    }
    p.restore();
}

void roundedFill(QPainter &p, const QRectF &r, qreal radius, const QColor &fill, const QColor &edge = QColor()) {
    p.setPen(edge.isValid() ? QPen(edge, 1) : QPen(Qt::NoPen));
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
}

}  // namespace

void drawBackground(QPainter &p) {
    const int w = BackgroundSize.width();
    p.fillRect(QRect(QPoint(0, 0), BackgroundSize), Paper);
    p.fillRect(0, 0, w, 216, Band);
    // A shelf under the row of buttons.
    p.fillRect(0, 161, w, 30, BandDeep);
    p.fillRect(0, 161, w, 1, BandEdge);
    p.fillRect(0, 213, w, 3, BandDeep);
    p.fillRect(0, 216, w, 2, Paper.darker(112));
    p.setFont(pixelFont(11));
    p.setPen(Quiet);
    p.drawText(QRect(420, 193, 260, 20), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Tollmere　校园广播"));
}

void drawVolumeBackground(QPainter &p, QSize size) {
    p.fillRect(QRect(QPoint(0, 0), size), Paper);
    p.fillRect(0, 0, size.width(), 30, Band);
    p.fillRect(0, 30, size.width(), 2, Paper.darker(112));
    p.fillRect(0, size.height() - 3, size.width(), 3, Band);
}

QImage slide(int n) {
    // Each picture of the ringing: the bell's swing and how many rings of sound it sends out.
    struct Pose {
        qreal angle;
        int rings;
    };
    static constexpr std::array<Pose, 6> Poses{{{16, 3}, {-16, 3}, {10, 2}, {-10, 2}, {4, 1}, {0, 0}}};
    const Pose pose = Poses[std::size_t(std::clamp(n, 1, 6) - 1)];

    QImage image(SlideSize, QImage::Format_RGB32);
    image.fill(CoverSky);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Hill);
    p.drawEllipse(QPointF(144, 178), 132, 34);

    const QPointF pivot(78, 26);
    const qreal h = 88;
    drawRings(p, pivot, h, pose.rings, Band.lighter(150));
    drawBell(p, pivot, h, pose.angle, Amber);

    p.setPen(Band);
    p.setFont(pixelFont(24, true));
    p.drawText(QRect(150, 40, 132, 34), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("校园广播"));
    p.setFont(pixelFont(12));
    p.setPen(Hint);
    p.drawText(QRect(150, 78, 136, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("点击查看今日播放列表"));
    return image;
}

QImage activity(bool sounding) {
    QImage image = blank(QSize(24, 24));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = sounding ? Amber : Quiet;
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(QRectF(3, 9, 5, 6));
    p.drawPolygon(QPolygonF({QPointF(8, 9), QPointF(14, 4), QPointF(14, 20), QPointF(8, 15)}));
    if (sounding) {
        p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(11, 7, 8, 10), -55 * 16, 110 * 16);
        p.drawArc(QRectF(11, 3, 12, 18), -55 * 16, 110 * 16);
    }
    return image;
}

QImage clockFrame(QSize size) {
    QImage image = blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    roundedFill(p, QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 7, BandEdge);
    roundedFill(p, QRectF(3, 3, size.width() - 6, size.height() - 6), 5, ClockFace);
    return image;
}

QImage card(QSize size) {
    QImage image = blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    roundedFill(p, QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 4, Card, CardEdge);
    // A darker top edge sets the card into the band.
    p.setPen(QPen(CardEdge.darker(130), 1));
    p.drawLine(QPointF(4, 1.5), QPointF(size.width() - 4, 1.5));
    return image;
}

QImage inset(QSize size) {
    QImage image = blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    roundedFill(p, QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 4, BandDeep, BandEdge);
    return image;
}

QImage about(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Band);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    roundedFill(p, QRectF(4.5, 4.5, size.width() - 9, size.height() - 9), 6, Band, Amber);
    p.setPen(Qt::NoPen);
    p.setBrush(BandDeep);
    p.drawEllipse(QPointF(72, 96), 54, 54);
    drawRings(p, QPointF(72, 52), 82, 2, FaceText);
    drawBell(p, QPointF(72, 52), 82, 0, Amber);

    // The title and, two pixels up and to the left, its copy in another colour: the first
    // copy shows below it as its shadow.
    const QString title = QStringLiteral("Chimewood");
    const QRect titleBox(146, 70, size.width() - 150, 40);
    p.setFont(pixelFont(30, true));
    p.setPen(QColor(8, 16, 28));
    p.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter, title);
    p.setPen(Amber);
    p.drawText(titleBox.translated(-2, -2), Qt::AlignLeft | Qt::AlignVCenter, title);

    p.setFont(pixelFont(16));
    p.setPen(FaceText);
    p.drawText(QRect(148, 116, size.width() - 154, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("版本3.1"));
    p.setFont(pixelFont(11));
    p.setPen(Quiet);
    p.drawText(QRect(10, size.height() - 28, size.width() - 22, 18), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("点击关闭"));
    return image;
}

QImage programIcon(int size) {
    QImage image = blank(QSize(size, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    roundedFill(p, QRectF(0, 0, s, s), 0.2 * s, Band);
    if (size >= 32) {
        p.setPen(QPen(BandEdge, s / 64));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(s / 32, s / 32, s - s / 16, s - s / 16), 0.18 * s, 0.18 * s);
        drawRings(p, QPointF(0.5 * s, 0.17 * s), 0.62 * s, 2, FaceText);
    }
    drawBell(p, QPointF(0.5 * s, size >= 32 ? 0.17 * s : 0.1 * s), size >= 32 ? 0.62 * s : 0.8 * s, 0, Amber);
    return image;
}

QIcon programIcons() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(programIcon(size)));
    return icon;
}

}  // namespace pictures
