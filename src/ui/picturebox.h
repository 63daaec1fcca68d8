// PictureBox: a picture that reports a click on it and the mouse moving over it.
#pragma once
#include <QLabel>

class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

signals:
    // A left button pressed and released over the picture.
    void Click();
    // The mouse moved over the picture, with or without a button held.
    void MouseMove();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};
