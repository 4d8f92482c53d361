#pragma once

class Graph;

namespace ChartModes {

// The chart mode for a selector value: 0 zoom, 1 pan, 2 cursor 1 (placed at
// the centre of the view), 3 both cursors (cursor 2 placed at the centre).
// Any other value is ignored.
void switchTo(Graph &graph, double value);

} // namespace ChartModes
