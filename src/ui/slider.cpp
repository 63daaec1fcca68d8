// The slider's orientation and the feel of its keys and wheel.
#include "ui/slider.h"

Slider::Slider(QWidget *parent) : QSlider(Qt::Vertical, parent) {
    // Minimum at the top; the up key and the wheel turned up move the knob up, towards
    // the minimum, as a user looking at the knob expects.
    setInvertedAppearance(true);
    setInvertedControls(true);
    setTickPosition(QSlider::NoTicks);
}
