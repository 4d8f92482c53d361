#pragma once

#include <QLocale>
#include <QPointF>
#include <QString>

class ChartStore;

// What the chart shows while both cursors are up: the time and the pH from
// cursor 1 to cursor 2, and each probe's lowest, highest and mean reading
// between them (their ends included).
struct CursorMeasurement
{
    struct Probe
    {
        bool any = false;
        double low = 0;
        double high = 0;
        double mean = 0;
    };

    double days = 0;         // cursor 2's X less cursor 1's
    double phDifference = 0; // cursor 2's Y less cursor 1's
    Probe probes[2];

    // Cursors in the chart's units: X in days, Y in pH.
    static CursorMeasurement between(const ChartStore &store, QPointF cursor1, QPointF cursor2);

    // Three lines: "Cursor 2 − 1: 1:02:03, ΔpH +0.25", then per probe
    // "pH 1: min 6.90, max 7.40, mean 7.12" or "pH 1: no readings". pH to two
    // decimals (halves to even), the time to the second, with a day count
    // ahead of it from one day on.
    QString text(const QLocale &locale = QLocale()) const;
};
