#pragma once

#include "logging/LogFile.h"
#include "platform/Broadcast.h"
#include "platform/Handlers.h"

#include <QDate>
#include <QString>

class Button;
class Clock;
class Faults;
class Label;
class StatusBar;
class Timer;
struct StationState;

// The main window's side of logging: the open log file, one record per tick
// of tmrLogger, and the switch between the idle and the logging state
// (status panels 1 and 4, "Setup" and "Stop Logging"). It takes over the
// tick of tmrLogger and the click of mnuStop, and starts tmrLogger enabled
// with interval 0, which never ticks until a run sets its interval.
class Logger
{
public:
    Logger(StationState &state, Timer &tmrLogger, StatusBar &statusBar, Button &mnuStop,
           Button &mnuLogSetup, Label &liters, Faults &faults, Clock &clock,
           const QString &programFolder);

    // Opens the file and writes the header of a run. On failure nothing is
    // left open, nothing else has changed and *message names file and reason.
    bool beginRun(const QString &fileName, LogFile::Mode mode, QString *message);
    // The same, in files by day: the run writes FILE's dated name for today
    // (tank.csv: tank-2026-12-09.csv), and the first record after local
    // midnight begins the next day's file, a whole log with its own header.
    // Off unless asked for; a run through the dialog never is.
    bool beginDailyRun(const QString &fileName, LogFile::Mode mode, QString *message);
    static QString dailyFileName(const QString &fileName, const QDate &date);
    // The file the run writes now.
    QString runFileName() const { return m_logFile.fileName(); }
    void setInterval(int ms);
    // Runs the timer and shows the logging state; panel 1 gets two blanks
    // and the file name appended.
    void enterLoggingState(const QString &logFileName);
    bool isLogging() const { return m_logging; }

    // One record of the current values. Without an open file it does
    // nothing. When the line cannot be written, logging stops first, then
    // one message names the file and the reason; unattended, the fault is
    // journaled and the next tick tries again.
    void WriteLogRecord();
    void StopLogging();

    // For the main window at exit or close: the file ends with its last
    // whole record.
    void closeLogFile() { m_logFile.close(); }
    const LogFile &logFile() const { return m_logFile; }

    // A run's file is open with its header written, and the run has ended:
    // for what keeps its own files beside the log (the event journal).
    Broadcast<const QString &, LogFile::Mode> runBegan;
    Broadcast<> runEnded;

private:
    void showLamp(const QString &lamp);
    bool nextDay(const QDate &today);

    StationState &m_state;
    Timer &m_tmrLogger;
    StatusBar &m_statusBar;
    Button &m_mnuStop;
    Button &m_mnuLogSetup;
    Label &m_liters;
    Faults &m_faults;
    Clock &m_clock;
    QString m_programFolder;
    LogFile m_logFile;
    QString m_dailyFileName; // FILE of a run in files by day, else empty
    QDate m_fileDate;        // the day of the file it writes
    bool m_logging = false;
    Handlers m_handlers;
};
