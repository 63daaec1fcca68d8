// The picture box's mouse events.
#include "ui/picturebox.h"

#include <QMouseEvent>

PictureBox::PictureBox(QWidget *parent) : QLabel(parent) {
    setMouseTracking(true);
    setAlignment(Qt::AlignCenter);
    // Its picture is drawn over a fill of its own: nothing behind it needs drawing first.
    setAutoFillBackground(true);
}

void PictureBox::mousePressEvent(QMouseEvent *event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit Click();
}

void PictureBox::mouseMoveEvent(QMouseEvent *event) {
    event->accept();
    emit MouseMove();
}
