#pragma once

#include <QByteArray>
#include <QString>

// Every line the station writes on standard error goes out through here.
// Started by systemd with standard error on the journal (the stream that
// $JOURNAL_STREAM names by device and inode), each line begins with its
// syslog priority, so that `journalctl -p warning` finds the faults;
// anywhere else a line is written as it is.
namespace ErrorOutput {

enum class Priority { Error = 3, Warning = 4, Info = 6 };

// Writes the text, one or more lines (a final line end is added where it
// is missing), in one write, and flushes it: a text in the user's locale's
// encoding, or bytes already encoded (the event journal's UTF-8 lines).
void write(Priority priority, const QString &text);
void write(Priority priority, QByteArray bytes);

// The bytes write() puts out, with or without the priority prefixes.
QByteArray lines(Priority priority, QByteArray bytes, bool journal);

// Whether a $JOURNAL_STREAM value ("DEVICE:INODE" in decimal) names the
// stream with this device and inode.
bool namesStream(const QByteArray &journalStream, quint64 device, quint64 inode);

// Whether this process's standard error is the journal's stream; found
// once, at the first call.
bool toJournal();

} // namespace ErrorOutput
