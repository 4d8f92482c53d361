#include "logging/Logger.h"

#include "logging/LogHeader.h"
#include "logging/LogRecord.h"
#include "logging/LoggingPanel.h"
#include "platform/Button.h"
#include "platform/Clock.h"
#include "platform/Label.h"
#include "platform/StatusBar.h"
#include "platform/Timer.h"
#include "station/Faults.h"
#include "station/StationState.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {
constexpr int FilePanel = 1;
} // namespace

Logger::Logger(StationState &state, Timer &tmrLogger, StatusBar &statusBar, Button &mnuStop,
               Button &mnuLogSetup, Label &liters, Faults &faults, Clock &clock,
               const QString &programFolder)
    : m_state(state)
    , m_tmrLogger(tmrLogger)
    , m_statusBar(statusBar)
    , m_mnuStop(mnuStop)
    , m_mnuLogSetup(mnuLogSetup)
    , m_liters(liters)
    , m_faults(faults)
    , m_clock(clock)
    , m_programFolder(programFolder)
{
    m_tmrLogger.setInterval(0);
    m_tmrLogger.setEnabled(true);
    m_handlers.install(m_tmrLogger.tick, [this] { WriteLogRecord(); });
    m_handlers.install(m_mnuStop.clicked, [this] { StopLogging(); });
}

QString Logger::dailyFileName(const QString &fileName, const QDate &date)
{
    const QFileInfo file(fileName);
    const QString day = QLocale::c().toString(date, QStringLiteral("yyyy-MM-dd"));
    const QString name = file.suffix().isEmpty()
        ? file.fileName() + QLatin1Char('-') + day
        : file.completeBaseName() + QLatin1Char('-') + day + QLatin1Char('.') + file.suffix();
    return file.dir().filePath(name);
}

bool Logger::beginDailyRun(const QString &fileName, LogFile::Mode mode, QString *message)
{
    const QDate today = m_clock.currentDateTime().date();
    if (!beginRun(dailyFileName(fileName, today), mode, message))
        return false;
    m_dailyFileName = fileName;
    m_fileDate = today;
    return true;
}

// The first record of a new day opens that day's file; the day before's
// ends with its last whole record. Appended to, should it exist, so a
// clock set back loses nothing.
bool Logger::nextDay(const QDate &today)
{
    const QString fileName = dailyFileName(m_dailyFileName, today);
    QString message;
    m_logFile.close();
    if (!beginRun(fileName, LogFile::Mode::Append, &message)) {
        if (m_faults.isUnattended()) {
            m_faults.failed(Faults::LOG, message); // and the next tick tries again
            return false;
        }
        StopLogging();
        m_faults.failed(Faults::LOG, message + QStringLiteral("\nLogging has stopped."));
        return false;
    }
    m_fileDate = today;
    m_statusBar.setPanelText(FilePanel,
                             m_statusBar.panelText(FilePanel) + QStringLiteral("  ") + fileName);
    return true;
}

bool Logger::beginRun(const QString &fileName, LogFile::Mode mode, QString *message)
{
    QString reason;
    if (!m_logFile.open(fileName, mode, &reason)) {
        *message = QStringLiteral("Cannot open the log file \"%1\": %2").arg(fileName, reason);
        return false;
    }
    // The header goes in one write: a run never starts with part of one, and
    // one that cannot be written whole is taken back, so an appended file
    // keeps exactly what it held before.
    const QDate today = m_clock.currentDateTime().date();
    if (!m_logFile.WriteLogLines(LogHeader::lines(m_state, fileName, today), &reason)) {
        m_logFile.close();
        *message = QStringLiteral("Cannot write to the log file \"%1\": %2").arg(fileName, reason);
        return false;
    }
    runBegan.notify(fileName, mode);
    return true;
}

void Logger::setInterval(int ms)
{
    m_tmrLogger.setInterval(ms);
}

void Logger::enterLoggingState(const QString &logFileName)
{
    m_logging = true;
    m_tmrLogger.setEnabled(true);
    m_statusBar.setPanelText(FilePanel,
                             m_statusBar.panelText(FilePanel) + QStringLiteral("  ") + logFileName);
    m_mnuStop.setEnabled(true);
    m_statusBar.setPanelText(LoggingPanel::PANEL, LoggingPanel::LOGGING);
    showLamp(LoggingPanel::GREEN_LAMP);
    m_mnuLogSetup.setEnabled(false);
}

void Logger::WriteLogRecord()
{
    if (!m_dailyFileName.isEmpty()) {
        const QDate today = m_clock.currentDateTime().date();
        if ((today != m_fileDate || !m_logFile.isOpen()) && !nextDay(today))
            return;
    }
    if (!m_logFile.isOpen())
        return;
    const LogLine record =
        LogRecord::line(m_state, m_clock.currentDateTime().time(), m_liters.text());
    QString reason;
    if (m_logFile.WriteLogLine(record, &reason)) {
        m_faults.recovered(Faults::LOG);
        return;
    }
    const QString fileName = m_logFile.fileName();
    const QString text =
        QStringLiteral("Cannot write to the log file \"%1\": %2").arg(fileName, reason);
    if (m_faults.isUnattended()) {
        m_faults.failed(Faults::LOG, text); // and the next tick tries again
        return;
    }
    // Stop before the message: the timer must not tick again while it shows.
    StopLogging();
    m_faults.failed(Faults::LOG, text + QStringLiteral("\nLogging has stopped."));
}

void Logger::StopLogging()
{
    m_tmrLogger.setEnabled(false);
    m_logFile.close();
    m_dailyFileName.clear();
    runEnded.notify();
    m_statusBar.setPanelText(LoggingPanel::PANEL, LoggingPanel::NOT_LOGGING);
    showLamp(LoggingPanel::RED_LAMP);
    m_mnuLogSetup.setEnabled(true);
    m_mnuStop.setEnabled(false);
    m_logging = false;
}

void Logger::showLamp(const QString &lamp)
{
    // A missing lamp is told but changes nothing else: the text of panel 4
    // still says which state the station is in.
    const QString path = LoggingPanel::lampPath(m_programFolder, lamp);
    QString error;
    if (m_statusBar.setPanelPicture(LoggingPanel::PANEL, path, &error))
        return;
    if (error.isEmpty())
        error = QStringLiteral("Cannot load the picture \"%1\".").arg(path);
    m_faults.failed(Faults::LOG, error);
}
