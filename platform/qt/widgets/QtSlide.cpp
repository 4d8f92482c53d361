#include "platform/qt/widgets/QtSlide.h"

#include "platform/qt/widgets/MarkedSlider.h"

QtSlide::QtSlide(QwtSlider *slider)
    : m_slider(slider)
    , m_marked(qobject_cast<MarkedSlider *>(slider))
    , m_value(slider->value())
{
}

void QtSlide::setValue(double value)
{
    m_value = value;
    if (m_marked)
        m_marked->showValue(value);
    else
        m_slider->setValue(value);
}

double QtSlide::value() const
{
    return m_value;
}

void QtSlide::setScaleMinimum(double minimum)
{
    m_slider->setScale(minimum, m_slider->upperBound());
    // The pointer is re-clamped against the new scale from the value given.
    m_slider->setValue(m_value);
}

void QtSlide::setScaleMaximum(double maximum)
{
    m_slider->setScale(m_slider->lowerBound(), maximum);
    m_slider->setValue(m_value);
}

void QtSlide::resetMarkers()
{
    if (m_marked)
        m_marked->resetMarkers();
}
