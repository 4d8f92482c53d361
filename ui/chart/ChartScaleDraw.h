#pragma once

#include <QDate>
#include <qwt_date_scale_draw.h>

// Time-of-day labels at every tick spacing; below a second the milliseconds
// tell the ticks apart. Once the date of the chart's first day is known, ticks
// a day or more apart show the date they stand at.
class ChartScaleDraw : public QwtDateScaleDraw
{
public:
    ChartScaleDraw();
    // The date of the axis' 0: from then on midnights say which day begins.
    void setOrigin(QDate date);
    QwtText label(double value) const override;

private:
    double m_originMs = 0;
    bool m_dated = false;
};
