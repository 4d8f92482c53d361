#pragma once

// Places time-of-day X values (fractions of a day) on a running time base so
// that points after midnight land after the points before it instead of
// jumping back across the whole day.
class ContinuousTimeBase
{
public:
    // A step back in the time of day larger than this is taken as midnight
    // having passed; smaller steps back (a clock set back for daylight saving)
    // stay on the same day.
    static constexpr double NewDayStepBack = 2.0 / 24;

    // The continuous X (days since the first day plotted) of a time of day.
    // Values beyond one day count by their time-of-day part only.
    double place(double timeOfDay);

private:
    double m_dayOffset = 0;
    double m_last = 0;
    bool m_placedAny = false;
};
