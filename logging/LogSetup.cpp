#include "logging/LogSetup.h"

#include "logging/LogIntervals.h"
#include "logging/Logger.h"
#include "platform/Button.h"
#include "platform/DropDownList.h"
#include "platform/FileChooser.h"
#include "platform/MessageBox.h"
#include "platform/OptionGroup.h"

namespace {
constexpr int NoSave = 0;
constexpr int WriteToFile = 1;
constexpr int Append = 0;
constexpr int Overwrite = 1;
} // namespace

LogSetup::LogSetup(Logger &logger, MessageBox &messages) : m_logger(logger), m_messages(messages)
{
}

void LogSetup::attach(const LogSetupControls &controls)
{
    detach();
    m_controls = controls;
    m_handlers.install(m_controls.optDatafile->clicked, [this](int) { datafileChanged(); });
    m_handlers.install(m_controls.cmdSelect->clicked, [this] { SelectFile(); });
    m_handlers.install(m_controls.cmdExit->clicked, [this] { StartLogging(); });

    m_controls.optDatafile->select(NoSave);
    m_controls.cmbInterval->setEntries(LogIntervals::entries());
}

void LogSetup::detach()
{
    if (!isAttached())
        return;
    m_handlers.clear();
    m_controls = LogSetupControls();
}

void LogSetup::datafileChanged()
{
    const bool writeToFile = m_controls.optDatafile->selected() != NoSave;
    m_controls.optAppend->setMemberEnabled(Append, writeToFile);
    m_controls.optAppend->setMemberEnabled(Overwrite, writeToFile);
    m_controls.cmdSelect->setEnabled(writeToFile);
    m_controls.cmdExit->setEnabled(!writeToFile);
}

void LogSetup::SelectFile()
{
    const QString chosen =
        m_controls.cdlDataFiles->choose(FILE_FILTER, m_logFileName, FileChooser::PromptToCreate);
    if (chosen.isEmpty())
        return;
    m_logFileName = chosen;
    m_controls.cmdExit->setEnabled(true);
}

void LogSetup::StartLogging()
{
    // One run at a time: a second would close the first run's file unseen.
    if (m_logger.isLogging())
        return;
    if (m_controls.optDatafile->selected() == WriteToFile) {
        const int mode = m_controls.optAppend->selected();
        if (mode != Append && mode != Overwrite)
            return;
        QString message;
        if (!m_logger.beginRun(m_logFileName,
                               mode == Append ? LogFile::Mode::Append : LogFile::Mode::Overwrite,
                               &message)) {
            // Still idle, the dialog stays open for another choice.
            m_messages.show(message);
            return;
        }
    }
    const int position = m_controls.cmbInterval->currentPosition();
    if (position >= 0 && position < static_cast<int>(LOG_INTERVALS_MS.size()))
        m_logger.setInterval(LOG_INTERVALS_MS[position]);
    else
        m_messages.show(NO_INTERVAL_MESSAGE);
    if (m_controls.hide)
        m_controls.hide();
    m_logger.enterLoggingState(m_logFileName);
}

bool LogSetup::startWithoutDialog(const QString &fileName, LogFile::Mode mode, double seconds,
                                  QString *error, bool daily)
{
    const int position = LogIntervals::positionOfSeconds(seconds);
    if (position < 0) {
        *error = QStringLiteral("The log interval must be one of %1 seconds.")
                     .arg(LogIntervals::choicesText());
        return false;
    }
    if (m_logger.isLogging()) {
        *error = QStringLiteral("Logging is already running.");
        return false;
    }
    if (!(daily ? m_logger.beginDailyRun(fileName, mode, error)
                : m_logger.beginRun(fileName, mode, error)))
        return false;
    m_logFileName = m_logger.runFileName();
    m_logger.setInterval(LOG_INTERVALS_MS[position]);
    if (isAttached() && m_controls.hide)
        m_controls.hide();
    m_logger.enterLoggingState(m_logFileName);
    return true;
}
