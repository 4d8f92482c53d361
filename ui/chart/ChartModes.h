#pragma once

class Graph;

namespace ChartModes {

// The chart mode for a selector value: 0 zoom, 1 pan, 2 cursor 1 (placed at
// the centre of the view), 3 both cursors (cursor 2 placed at the centre).
// Any other value is ignored.
void switchTo(Graph &graph, double value);

// The same, but the cursors never start on top of each other: cursor 1 at a
// third of the time in view, cursor 2 at two thirds, and cursor 1 kept where
// it was only while it is in view and apart from cursor 2.
void switchApart(Graph &graph, double value);

} // namespace ChartModes
