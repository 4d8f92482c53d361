#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Follows the log dgh-sim --fast --log writes while it runs: one entry per
// frame it answered, with the fault that shaped the answer and its bytes.
class SimulatorLog
{
public:
    struct Answer
    {
        QByteArray fault; // "clean" or the fault's name
        QByteArray bytes; // as sent, unescaped; empty for no answer
    };

    explicit SimulatorLog(const QString &path) : m_file(path) { }

    // The next answer logged so far; false when none is there yet.
    bool next(Answer *answer);

    // Undoes the simulator's escapes: \r, \n, \\ and \xHH.
    static QByteArray unescaped(const QByteArray &text);

private:
    QFile m_file;
    QByteArray m_partial;
};
