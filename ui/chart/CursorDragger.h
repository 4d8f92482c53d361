#pragma once

#include <QObject>

#include <functional>

class QwtPlot;
class QwtPlotMarker;

// Drags the chart's crosshair cursors with the left mouse button: a press
// takes the visible cursor whose lines lie nearest and moves it to the
// pointer; it follows until the release. Positions stay inside the canvas.
class CursorDragger : public QObject
{
    Q_OBJECT

public:
    // moved(cursor from 1, still dragging) runs after each move of a cursor.
    using MovedHandler = std::function<void(int, bool)>;

    CursorDragger(QwtPlot *plot, QwtPlotMarker *cursor1, QwtPlotMarker *cursor2,
                  MovedHandler moved);

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int nearestVisibleCursor(const QPoint &position) const;
    void moveTo(int cursor, const QPoint &position, bool dragging);

    QwtPlot *m_plot;
    QwtPlotMarker *m_cursors[2];
    MovedHandler m_moved;
    bool m_enabled = false;
    int m_dragging = 0; // cursor being dragged, 0 for none
};
