#pragma once

#include "platform/Graph.h"

#include <QMap>
#include <QPair>
#include <QPointF>
#include <QVector>

class FakeGraph : public Graph
{
public:
    QMap<int, QVector<QPointF>> points;
    QMap<int, QString> kinds; // per plot, a letter a point: F a new reading, R a repeated one
    QMap<int, QPair<double, double>> ranges{{1, {0, 20}}, {2, {0, 15}}, {3, {0, 15}}};
    int mode = ZoomMode;
    QMap<int, bool> cursorVisible;
    QMap<int, QPointF> cursors;
    QStringList calls; // the order of operations, for sequence checks

    void appendPoint(int plot, double x, double y) override
    {
        points[plot].append(QPointF(x, y));
        kinds[plot] += QLatin1Char('F');
        calls << QStringLiteral("append %1").arg(plot);
    }
    void appendRepeatedPoint(int plot, double x, double y) override
    {
        appendPoint(plot, x, y);
        kinds[plot].back() = QLatin1Char('R');
    }
    void setAxisRange(int axis, double minimum, double maximum) override
    {
        ranges[axis] = {minimum, maximum};
        calls << QStringLiteral("range %1").arg(axis);
    }
    double axisMinimum(int axis) const override { return ranges.value(axis).first; }
    double axisMaximum(int axis) const override { return ranges.value(axis).second; }
    void setInteractionMode(int code) override
    {
        mode = code;
        calls << QStringLiteral("mode %1").arg(code);
    }
    void setCursorVisible(int cursor, bool visible) override
    {
        cursorVisible[cursor] = visible;
        calls << QStringLiteral("%1 cursor %2").arg(visible ? "show" : "hide").arg(cursor);
    }
    void setCursorX(int cursor, double x) override { cursors[cursor].setX(x); }
    void setCursorY(int cursor, double y) override { cursors[cursor].setY(y); }
    double cursorX(int cursor) const override { return cursors.value(cursor).x(); }
    double cursorY(int cursor) const override { return cursors.value(cursor).y(); }
};
