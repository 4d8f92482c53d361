#include "platform/qt/widgets/QtKnob.h"

#include <QObject>
#include <qwt_abstract_slider.h>

QtKnob::QtKnob(QwtAbstractSlider *knob)
    : m_knob(knob)
    , m_connection(QObject::connect(knob, &QwtAbstractSlider::valueChanged, knob,
                                    [this](double) { changed.notify(); }))
{
}

double QtKnob::value() const
{
    return m_knob->value();
}

void QtKnob::setValue(double value)
{
    m_knob->setValue(value);
}
