// Dragging a window by its background, and the edges put back on the screen.
#include "ui/windowdrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

void WindowDrag::press(const QMouseEvent &event) {
    m_dragging = true;
    m_moved = false;
    m_pressedAt = event.globalPosition().toPoint();
    m_offset = m_pressedAt - m_window.pos();
}

void WindowDrag::move(const QMouseEvent &event) {
    if (!m_dragging || event.buttons() == Qt::NoButton)
        return;
    const QPoint at = event.globalPosition().toPoint();
    if ((at - m_pressedAt).manhattanLength() >= QApplication::startDragDistance())
        m_moved = true;
    m_window.move(at - m_offset);
}

bool WindowDrag::release(const QMouseEvent &) {
    if (!m_dragging)
        return false;
    m_dragging = false;
    m_window.move(std::max(0, m_window.x()), std::max(0, m_window.y()));
    return m_moved;
}
