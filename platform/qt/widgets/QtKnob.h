#pragma once

#include "platform/Knob.h"

class QwtKnob;

// changed() follows every value change of the knob, the operator's turns and
// the program's setValue() alike.
class QtKnob : public Knob
{
public:
    explicit QtKnob(QwtKnob *knob);
    double value() const override;
    void setValue(double value) override;

private:
    QwtKnob *m_knob;
};
