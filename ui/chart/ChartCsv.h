#pragma once

class ChartStore;
class QIODevice;

// The chart's points as CSV for a spreadsheet: a header line
// "Time,pH 1,pH 2,Kind", then one line per moment in time order. Time is
// ISO 8601 local wall-clock time to the millisecond; the two probes' points
// of one plot tick (taken microseconds apart) share a line, and a probe
// without a point there leaves its field empty. Kind is "reading" for points
// as they were plotted and "envelope" for the first, lowest, highest and
// last point of an older bucket, where the store keeps no readings.
namespace ChartCsv {

// The points with X in [x0, x1]; false when the device refuses to write.
// A store whose first point has no date yet gives only the header.
bool write(const ChartStore &store, double x0, double x1, QIODevice &out);

} // namespace ChartCsv
