#pragma once

// A gauge with a pointer and a scale. Slides that carry "min" and "max"
// markers let them follow the lowest and highest value since resetMarkers().
class Slide
{
public:
    virtual ~Slide() = default;
    virtual void setValue(double value) = 0;
    virtual double value() const = 0;
    virtual void setScaleMinimum(double minimum) = 0;
    virtual void setScaleMaximum(double maximum) = 0;
    virtual void resetMarkers() = 0;
};
