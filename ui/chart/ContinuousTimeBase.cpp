#include "ui/chart/ContinuousTimeBase.h"

#include <cmath>

double ContinuousTimeBase::place(double timeOfDay)
{
    const double fraction = timeOfDay - std::floor(timeOfDay);
    double x = m_dayOffset + fraction;
    if (m_placedAny && x < m_last - NewDayStepBack) {
        m_dayOffset += 1;
        x += 1;
    }
    m_last = x;
    m_placedAny = true;
    return x;
}
