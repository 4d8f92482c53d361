#pragma once

#include <qwt_slider.h>

// A slider that can mark the lowest and highest value shown since the last
// resetMarkers() with two small pointers labelled "min" and "max". After a
// reset the markers stay hidden until the next value arrives.
class MarkedSlider : public QwtSlider
{
    Q_OBJECT

public:
    explicit MarkedSlider(Qt::Orientation orientation, QWidget *parent = nullptr);

    // Moves the pointer to value and lets the markers follow it. Values
    // outside the scale move the markers as given; the drawing clamps them.
    void showValue(double value);
    void resetMarkers();

    bool hasMarkers() const { return m_hasMarkers; }
    double lowest() const { return m_lowest; }
    double highest() const { return m_highest; }

protected:
    void drawSlider(QPainter *painter, const QRect &sliderRect) const override;

private:
    void drawMarker(QPainter *painter, const QRect &sliderRect, double value,
                    const QString &name) const;

    bool m_hasMarkers = false;
    double m_lowest = 0;
    double m_highest = 0;
};
