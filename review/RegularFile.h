#pragma once

#include <QString>

#include <sys/types.h>

// Reading a file a user names without ever waiting on it: only a regular
// file is opened, looked at before it is opened (opening a FIFO can wait for
// ever, opening a device can start it) and again once it is open.
namespace RegularFile {

// A descriptor open for reading, or -1 with *failure saying why in the
// operator's words ("it is not a regular file: a FIFO (named pipe)").
int open(const QString &fileName, QString *failure);

// Reads until size bytes or the end of the file; -1 on an error (errno).
qint64 readFully(int fd, char *into, qint64 size);
// The same from a place in the file.
qint64 readAt(int fd, qint64 offset, char *into, qint64 size);

// The file a path names now, to tell it from one put in its place: false
// when there is none. *size gets its size.
bool identify(const QString &fileName, dev_t *device, ino_t *inode, qint64 *size);

QString systemError(int error);

} // namespace RegularFile
