#pragma once

#include "platform/Knob.h"
#include "platform/qt/widgets/ScopedConnection.h"

class QwtAbstractSlider;

// Any Qwt knob or slider (the limit knobs, the chart's mode selector) as a
// knob: changed() follows every value change, the operator's turns and the
// program's setValue() alike.
class QtKnob : public Knob
{
public:
    explicit QtKnob(QwtAbstractSlider *knob);
    double value() const override;
    void setValue(double value) override;

private:
    QwtAbstractSlider *m_knob;
    ScopedConnection m_connection;
};
