#pragma once

#include "platform/Knob.h"

#include <QMetaObject>

class QwtAbstractSlider;

// The Knob interface over a Qwt slider (the mode selector): changed() follows
// every change of its value, the operator's and the program's alike.
class SliderKnob : public Knob
{
public:
    explicit SliderKnob(QwtAbstractSlider *slider);
    // Lets go of the slider's signal: the slider may outlive this adapter.
    ~SliderKnob() override;
    SliderKnob(const SliderKnob &) = delete;
    SliderKnob &operator=(const SliderKnob &) = delete;

    double value() const override;
    void setValue(double value) override;

private:
    QwtAbstractSlider *m_slider;
    QMetaObject::Connection m_connection;
};
