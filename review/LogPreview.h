#pragma once

#include "review/LogChunk.h"

#include <QDate>

class ChartStore;

// A first picture of a file too large to read at once: a few kilobytes read
// at even steps through it, their records placed by the last run header seen
// in what was read and the midnights their times step back across. A file of
// any size is sampled in milliseconds; a run that begins between two samples
// goes unseen, and a sample may then stand a day off: it is a picture to look
// at while the file is read, not one to measure on.
namespace LogPreview {

// Adds the records of about `samples` places in the open file of that size
// to the store: the columns wanted, at their places from origin. firstRun
// is the file's first run's date, where the first sample may not reach it.
void sample(int fd, qint64 size, int samples, QDate origin, QDate firstRun,
            const LogChunk::Options &options, ChartStore *store);

} // namespace LogPreview
