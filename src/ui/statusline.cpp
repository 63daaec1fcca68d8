// The status line's strip: drawn when a new text arrives, shown turned by an offset otherwise.
#include "ui/statusline.h"

#include <QEvent>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

namespace {
// Past this the strip would be too wide for one picture (a very long path): such a text is
// laid out at each paint as by any label.
constexpr int MaxStripWidth = 16000;
}  // namespace

StatusLine::StatusLine(const QString &text, QWidget *parent) : QLabel(text, parent) { setTextFormat(Qt::PlainText); }

qsizetype StatusLine::turnOf(const QString &text) const {
    const qsizetype n = m_doubled.size() / 2;
    if (m_strip.isNull() || text.size() != n || n == 0)
        return -1;
    const QStringView doubled(m_doubled);
    // Most often one step on from the turning shown last; two for a character of two units.
    for (qsizetype step : {1, 2, 0}) {
        const qsizetype k = (m_turn + step) % n;
        if (doubled.mid(k, n) == text)
            return k;
    }
    const qsizetype k = doubled.indexOf(text);
    return k >= 0 ? k % n : -1;
}

bool StatusLine::drawStrip(const QString &text) {
    m_strip = QPixmap();
    m_doubled = text + text;
    QTextLayout layout(m_doubled, font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return false;
    }
    line.setNumColumns(int(m_doubled.size()));
    layout.endLayout();
    const int width = int(std::ceil(line.naturalTextWidth()));
    const int height = contentsRect().height();
    if (width <= 0 || width > MaxStripWidth || height <= 0)
        return false;
    m_x.resize(m_doubled.size() + 1);
    for (qsizetype i = 0; i <= m_doubled.size(); ++i)
        m_x[i] = line.cursorToX(int(i));

    const qreal ratio = devicePixelRatioF();
    QPixmap strip(QSize(width, height) * ratio);
    strip.setDevicePixelRatio(ratio);
    if (autoFillBackground())
        strip.fill(palette().color(backgroundRole()));
    else
        strip.fill(Qt::transparent);
    QPainter p(&strip);
    p.setPen(palette().color(foregroundRole()));
    line.draw(&p, QPointF(0, (height - line.height()) / 2));
    p.end();
    m_strip = strip;
    m_turn = 0;
    return true;
}

void StatusLine::paintEvent(QPaintEvent *event) {
    const QString shown = text();
    if (!pixmap().isNull() || (alignment() & Qt::AlignHorizontal_Mask) != Qt::AlignLeft) {
        QLabel::paintEvent(event);
        return;
    }
    qsizetype k = turnOf(shown);
    if (k < 0) {
        if (!drawStrip(shown)) {
            QLabel::paintEvent(event);
            return;
        }
        k = 0;
    }
    m_turn = k;
    const QRect area = contentsRect();
    const int left = area.left() + std::max(0, indent());
    QPainter p(this);
    p.setClipRect(area.adjusted(std::max(0, indent()), 0, 0, 0));
    p.drawPixmap(QPointF(left - m_x[k], area.top()), m_strip);
}

void StatusLine::changeEvent(QEvent *event) {
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        m_strip = QPixmap();  // drawn again in the new look
        break;
    default: break;
    }
    QLabel::changeEvent(event);
}
