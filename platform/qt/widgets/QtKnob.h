#pragma once

#include "platform/Knob.h"

#include <QMetaObject>

class QwtKnob;

// changed() follows every value change of the knob, the operator's turns and
// the program's setValue() alike.
class QtKnob : public Knob
{
public:
    explicit QtKnob(QwtKnob *knob);
    // Lets go of the widget's signal: the widget may outlive the adapter.
    ~QtKnob() override;
    QtKnob(const QtKnob &) = delete;
    QtKnob &operator=(const QtKnob &) = delete;
    double value() const override;
    void setValue(double value) override;

private:
    QMetaObject::Connection m_connection;
    QwtKnob *m_knob;
};
