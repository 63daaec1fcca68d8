// Slider: a vertical slider with its minimum at the top, as the volume settings use it.
#pragma once
#include <QSlider>

// The change signal is QSlider::valueChanged, raised for every change of the position,
// whether the user moved the knob or the program set it.
class Slider : public QSlider {
    Q_OBJECT
public:
    explicit Slider(QWidget *parent = nullptr);

    int min() const { return minimum(); }
    int max() const { return maximum(); }
    void setMin(int value) { setMinimum(value); }
    void setMax(int value) { setMaximum(value); }
    int largeChange() const { return pageStep(); }
    int smallChange() const { return singleStep(); }
    void setLargeChange(int step) { setPageStep(step); }
    void setSmallChange(int step) { setSingleStep(step); }
};
