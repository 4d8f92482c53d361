#pragma once

#include <QString>

class Clock;

// Every calibration saved, one CSV line each, so that a lab can show when
// each probe was calibrated and how its slope drifted:
//   Time,Probe,Offset,Slope,Serial Number,Buffers
// Time is ISO 8601 with the UTC offset; offset, slope and serial number are
// the texts saved; Buffers says what the buffer assistant measured, when the
// values came from it. The file is only ever appended to.
class CalibrationHistory
{
public:
    struct Entry
    {
        int probe = 1;
        QString offset;
        QString slope;
        QString serialNumber;
        QString buffers;
    };

    // $XDG_DATA_HOME/kestrom-dgh/calibration-history.csv
    static QString defaultFileName();

    // Entries are stamped with the clock's time; it must outlive the history.
    explicit CalibrationHistory(const Clock &clock, const QString &fileName = defaultFileName());

    QString fileName() const { return m_fileName; }
    // Appends the entry, with the column names first in a new file; an
    // empty text, else why it could not be written.
    QString append(const Entry &entry) const;

private:
    const Clock &m_clock;
    QString m_fileName;
};
