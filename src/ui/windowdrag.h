// WindowDrag: moves a window without a title bar while a mouse button is held on its background.
#pragma once
#include <QPoint>

class QMouseEvent;
class QWidget;

// The window passes the mouse events of its background on. A press with any button starts a
// drag, each move with the button held moves the window with the mouse, and the release puts
// a left or top edge that has left the screen back to 0, where the window can be reached again.
class WindowDrag {
public:
    explicit WindowDrag(QWidget &window) : m_window(window) {}

    void press(const QMouseEvent &event);
    void move(const QMouseEvent &event);
    // Ends the drag; true when the mouse moved far enough since the press to be a drag rather
    // than a click.
    bool release(const QMouseEvent &event);
    bool isDragging() const { return m_dragging; }

private:
    QWidget &m_window;
    bool m_dragging = false;
    bool m_moved = false;
    QPoint m_pressedAt;  // global
    QPoint m_offset;     // from the window's position to the mouse
};
