#include "ui/chart/ChartModes.h"

#include "platform/Graph.h"

#include <cmath>

namespace {

double centreOf(const Graph &graph, int axis)
{
    return (graph.axisMinimum(axis) + graph.axisMaximum(axis)) / 2;
}

} // namespace

namespace ChartModes {

void switchTo(Graph &graph, double value)
{
    if (value == 0) {
        graph.setInteractionMode(Graph::ZoomMode);
        graph.setCursorVisible(1, false);
        graph.setCursorVisible(2, false);
    } else if (value == 1) {
        graph.setCursorVisible(1, false);
        graph.setCursorVisible(2, false);
        graph.setInteractionMode(Graph::PanMode);
    } else if (value == 2) {
        graph.setInteractionMode(Graph::CursorMode);
        graph.setCursorVisible(1, true);
        graph.setCursorVisible(2, false);
        graph.setCursorX(1, centreOf(graph, 1));
        graph.setCursorY(1, centreOf(graph, 2));
    } else if (value == 3) {
        graph.setInteractionMode(Graph::CursorMode);
        graph.setCursorVisible(1, true);
        graph.setCursorVisible(2, true);
        graph.setCursorX(2, centreOf(graph, 1));
        graph.setCursorY(2, centreOf(graph, 2));
    }
}

} // namespace ChartModes

namespace ChartModes {

void switchApart(Graph &graph, double value)
{
    switchTo(graph, value);
    if (value != 2 && value != 3)
        return;
    const double left = graph.axisMinimum(1);
    const double width = graph.axisMaximum(1) - left;
    const double third = left + width / 3;
    if (value == 2) {
        graph.setCursorX(1, third);
        return;
    }
    const double twoThirds = left + 2 * width / 3;
    graph.setCursorX(2, twoThirds);
    const double cursor1 = graph.cursorX(1);
    if (cursor1 < left || cursor1 > left + width || std::abs(cursor1 - twoThirds) < width / 10)
        graph.setCursorX(1, third);
}

} // namespace ChartModes
