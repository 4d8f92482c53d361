#pragma once

#include "platform/Notifier.h"

// The strip chart as the chart logic drives it. Axes, plots and cursors are
// numbered from 1: axis 1 time of day (fractions of a day), axes 2 and 3 pH.
class Graph
{
public:
    // Interaction mode codes of a drag in the plot area.
    static constexpr int ZoomMode = 6;
    static constexpr int PanMode = 3;
    static constexpr int CursorMode = 2;

    virtual ~Graph() = default;

    virtual void appendPoint(int plot, double x, double y) = 0;
    // A point that repeats the plot's last reading, no new one: drawn so it
    // can be told apart where the graph can.
    virtual void appendRepeatedPoint(int plot, double x, double y) { appendPoint(plot, x, y); }

    virtual void setAxisRange(int axis, double minimum, double maximum) = 0;
    virtual double axisMinimum(int axis) const = 0;
    virtual double axisMaximum(int axis) const = 0;

    virtual void setInteractionMode(int code) = 0;
    virtual void setCursorVisible(int cursor, bool visible) = 0;
    virtual void setCursorX(int cursor, double x) = 0;
    virtual void setCursorY(int cursor, double y) = 0;
    virtual double cursorX(int cursor) const = 0;
    virtual double cursorY(int cursor) const = 0;

    // Cursor index, X, Y and whether the drag is still going on.
    Notifier<int, double, double, bool> cursorMoved;
};
