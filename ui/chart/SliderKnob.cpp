#include "ui/chart/SliderKnob.h"

#include <QObject>
#include <qwt_abstract_slider.h>

SliderKnob::SliderKnob(QwtAbstractSlider *slider)
    : m_slider(slider)
{
    m_connection = QObject::connect(slider, &QwtAbstractSlider::valueChanged, slider,
                                    [this](double) { changed.notify(); });
}

SliderKnob::~SliderKnob()
{
    QObject::disconnect(m_connection);
}

double SliderKnob::value() const
{
    return m_slider->value();
}

void SliderKnob::setValue(double value)
{
    m_slider->setValue(value);
}
