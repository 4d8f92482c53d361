#pragma once

#include "platform/Slide.h"

class MarkedSlider;
class QwtSlider;

// A display slide. value() returns what was set, also beyond the scale,
// where the pointer stops at the scale's end.
class QtSlide : public Slide
{
public:
    explicit QtSlide(QwtSlider *slider);
    void setValue(double value) override;
    double value() const override;
    void setScaleMinimum(double minimum) override;
    void setScaleMaximum(double maximum) override;
    // Only slides drawn with markers have any to reset.
    void resetMarkers() override;

private:
    QwtSlider *m_slider;
    MarkedSlider *m_marked;
    double m_value;
};
