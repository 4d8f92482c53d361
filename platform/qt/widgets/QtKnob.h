#pragma once

#include "platform/Knob.h"

#include <QMetaObject>

class QwtAbstractSlider;

// Any Qwt knob or slider (the limit knobs, the chart's mode selector) as a
// knob: changed() follows every value change, the operator's turns and the
// program's setValue() alike.
class QtKnob : public Knob
{
public:
    explicit QtKnob(QwtAbstractSlider *knob);
    // Lets go of the widget's signal: the widget may outlive the adapter.
    ~QtKnob() override;
    QtKnob(const QtKnob &) = delete;
    QtKnob &operator=(const QtKnob &) = delete;
    double value() const override;
    void setValue(double value) override;

private:
    QMetaObject::Connection m_connection;
    QwtAbstractSlider *m_knob;
};
