#pragma once

#include <qwt_slider.h>

// The chart mode selector GraphMode: a slide reaching 0 to 3 in whole steps,
// labelled "Zoom", "Pan" and "Cursor " at 0, 1 and 2 (3, both cursors, has no
// label). A click on a label moves the slide there.
class GraphModeSelector : public QwtSlider
{
    Q_OBJECT

public:
    explicit GraphModeSelector(Qt::Orientation orientation = Qt::Vertical,
                               QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    // The labelled position at a point beside the slide, or -1.
    int labelAt(const QPoint &position) const;
};
