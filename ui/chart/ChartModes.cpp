#include "ui/chart/ChartModes.h"

#include "platform/Graph.h"

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
