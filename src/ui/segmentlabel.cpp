// The seven-segment drawing of the clock label.
#include "ui/segmentlabel.h"

#include <QPainter>
#include <QPolygonF>

#include <array>

namespace {

// The places of the display, from the left: D a digit, C a colon.
constexpr char Places[] = "DDCDDCDD";
constexpr int PlaceCount = sizeof(Places) - 1;

// Segments a (top), b (top right), c (bottom right), d (bottom), e (bottom left),
// f (top left), g (middle) as bits 0 to 6, for the digits 0 to 9.
constexpr std::array<int, 10> DigitSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

constexpr qreal DigitWidth = 0.46, ColonWidth = 0.24, Spacing = 0.10, Slant = 0.08, Thickness = 0.22;

// A segment between two points on its centre line, with pointed ends.
QPolygonF segment(QPointF from, QPointF to, qreal t) {
    const QPointF along = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF across(-along.y(), along.x());
    const qreal half = t / 2;
    return QPolygonF({from, from + along * half + across * half, to - along * half + across * half, to,
                      to - along * half - across * half, from + along * half - across * half});
}

void drawDigit(QPainter &p, int segments, qreal w, qreal h) {
    const qreal t = Thickness * w, gap = t * 0.18;
    const qreal left = t / 2, right = w - t / 2, top = t / 2, middle = h / 2, bottom = h - t / 2;
    const std::array<QPolygonF, 7> shapes = {
        segment({left + gap, top}, {right - gap, top}, t),         // a
        segment({right, top + gap}, {right, middle - gap}, t),     // b
        segment({right, middle + gap}, {right, bottom - gap}, t),  // c
        segment({left + gap, bottom}, {right - gap, bottom}, t),   // d
        segment({left, middle + gap}, {left, bottom - gap}, t),    // e
        segment({left, top + gap}, {left, middle - gap}, t),       // f
        segment({left + gap, middle}, {right - gap, middle}, t),   // g
    };
    for (int s = 0; s < 7; ++s)
        if (segments & (1 << s))
            p.drawPolygon(shapes[std::size_t(s)]);
}

void drawColon(QPainter &p, qreal w, qreal h, qreal t) {
    for (qreal y : {0.3 * h, 0.7 * h})
        p.drawRect(QRectF(w / 2 - t / 2, y - t / 2, t, t));
}

}  // namespace

struct SegmentLabel::Layout {
    qreal height = 0;  // of a digit
    qreal left = 0, top = 0;
    std::array<qreal, PlaceCount> x{};  // each place's left edge
};

SegmentLabel::SegmentLabel(const QString &text, QWidget *parent) : QLabel(text, parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setColors(Qt::yellow, Qt::darkGray, Qt::black);
}

void SegmentLabel::setColors(const QColor &lit, const QColor &unlit, const QColor &face) {
    m_lit = lit;
    m_unlit = unlit;
    m_face = face;
    QPalette p = palette();
    p.setColor(QPalette::Window, face);
    p.setColor(QPalette::WindowText, lit);
    setPalette(p);
    m_unlitPicture = QPixmap();
    update();
}

SegmentLabel::Layout SegmentLabel::layout() const {
    Layout l;
    qreal units = Slant;
    for (int i = 0; i < PlaceCount; ++i)
        units += (Places[i] == 'D' ? DigitWidth : ColonWidth) + (i ? Spacing : 0);
    const QRectF area = QRectF(rect()).adjusted(4, 4, -4, -4);
    l.height = std::max<qreal>(1, std::min(area.height(), area.width() / units));
    l.left = area.left() + (area.width() - units * l.height) / 2;
    l.top = area.top() + (area.height() - l.height) / 2;
    qreal x = l.left;
    for (int i = 0; i < PlaceCount; ++i) {
        l.x[std::size_t(i)] = x;
        x += ((Places[i] == 'D') ? DigitWidth : ColonWidth) * l.height + Spacing * l.height;
    }
    return l;
}

void SegmentLabel::drawUnlit() {
    m_unlitPicture = QPixmap(size());
    m_unlitPicture.fill(m_face);
    QPainter p(&m_unlitPicture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(m_unlit);
    const Layout l = layout();
    for (int i = 0; i < PlaceCount; ++i) {
        p.save();
        p.translate(l.x[std::size_t(i)] + Slant * l.height, l.top);
        p.shear(-Slant, 0);
        if (Places[i] == 'D')
            drawDigit(p, 0x7F, DigitWidth * l.height, l.height);
        else
            drawColon(p, ColonWidth * l.height, l.height, Thickness * DigitWidth * l.height);
        p.restore();
    }
}

void SegmentLabel::resizeEvent(QResizeEvent *event) {
    m_unlitPicture = QPixmap();
    QLabel::resizeEvent(event);
}

void SegmentLabel::paintEvent(QPaintEvent *event) {
    // Which place each character of the text lights, from the right.
    const QString t = text();
    std::array<int, PlaceCount> lit;
    lit.fill(-1);
    bool fits = t.size() <= PlaceCount && !t.isEmpty();
    for (int k = 0; fits && k < t.size(); ++k) {
        const int place = PlaceCount - 1 - k;
        const QChar c = t.at(t.size() - 1 - k);
        if (Places[place] == 'D' && c.isDigit() && c.digitValue() >= 0 && c.digitValue() <= 9)
            lit[std::size_t(place)] = DigitSegments[std::size_t(c.digitValue())];
        else if (Places[place] == 'C' && c == QLatin1Char(':'))
            lit[std::size_t(place)] = 1;
        else
            fits = false;
    }
    if (!fits) {
        QPainter p(this);
        p.fillRect(rect(), m_face);
        p.end();
        QLabel::paintEvent(event);
        return;
    }
    if (m_unlitPicture.size() != size())
        drawUnlit();
    QPainter p(this);
    p.drawPixmap(0, 0, m_unlitPicture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(m_lit);
    const Layout l = layout();
    for (int i = 0; i < PlaceCount; ++i) {
        if (lit[std::size_t(i)] < 0)
            continue;
        p.save();
        p.translate(l.x[std::size_t(i)] + Slant * l.height, l.top);
        p.shear(-Slant, 0);
        if (Places[i] == 'D')
            drawDigit(p, lit[std::size_t(i)], DigitWidth * l.height, l.height);
        else
            drawColon(p, ColonWidth * l.height, l.height, Thickness * DigitWidth * l.height);
        p.restore();
    }
}
