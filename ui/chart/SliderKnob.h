#pragma once

#include "platform/Knob.h"

class QwtAbstractSlider;

// The Knob interface over a Qwt slider (the mode selector): changed() follows
// every change of its value, the operator's and the program's alike.
class SliderKnob : public Knob
{
public:
    explicit SliderKnob(QwtAbstractSlider *slider);
    double value() const override;
    void setValue(double value) override;

private:
    QwtAbstractSlider *m_slider;
};
