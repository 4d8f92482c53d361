#pragma once

#include "platform/Notifier.h"

#include <QObject>

class QwtPlot;
class QwtPlotMarker;

// Drags the chart's crosshair cursors with the left mouse button: a press
// takes the visible cursor whose lines lie nearest and moves it to the
// pointer; it follows until the release. Positions stay inside the canvas.
class CursorDragger : public QObject
{
    Q_OBJECT

public:
    CursorDragger(QwtPlot *plot, QwtPlotMarker *cursor1, QwtPlotMarker *cursor2);

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    // After each move of a cursor: its index from 1, and whether the drag goes on.
    Notifier<int, bool> moved;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int nearestVisibleCursor(const QPoint &position) const;
    void moveTo(int cursor, const QPoint &position, bool dragging);

    QwtPlot *m_plot;
    QwtPlotMarker *m_cursors[2];
    bool m_enabled = false;
    int m_dragging = 0; // cursor being dragged, 0 for none
};
