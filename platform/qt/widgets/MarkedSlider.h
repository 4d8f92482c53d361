#pragma once

#include <qwt_slider.h>

// A horizontal slider that can mark the lowest and highest value shown
// since the last resetMarkers() with two pointers labelled "min" and "max":
// "max" between the scale and the groove, pointing down at it, "min" below
// the groove, pointing up, so the two are both seen even where they meet.
// Labels stay inside the widget at the ends of the scale. After a reset the
// markers stay hidden until the next value arrives.
class MarkedSlider : public QwtSlider
{
    Q_OBJECT

public:
    explicit MarkedSlider(QWidget *parent = nullptr);

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
    void drawMarker(QPainter *painter, const QRect &sliderRect, double value, bool isMax) const;
    QFont markerFont() const;

    bool m_hasMarkers = false;
    double m_lowest = 0;
    double m_highest = 0;
};
