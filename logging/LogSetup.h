#pragma once

#include "logging/LogFile.h"
#include "platform/Handlers.h"

#include <QString>

#include <functional>

class Button;
class DropDownList;
class FileChooser;
class Logger;
class MessageBox;
class OptionGroup;

// The controls of one showing of the setup dialog. They belong to the
// dialog window; hide() hides it without discarding it.
struct LogSetupControls
{
    OptionGroup *optDatafile = nullptr; // 0 "No Save", 1 "Write to File"
    OptionGroup *optAppend = nullptr;   // 0 "Append", 1 "Overwrite"
    DropDownList *cmbInterval = nullptr;
    FileChooser *cdlDataFiles = nullptr;
    Button *cmdSelect = nullptr;
    Button *cmdExit = nullptr;
    std::function<void()> hide;
};

// What the log setup dialog decides: whether and where a run is written,
// in which mode and at which interval, and the start of the run. It lives
// as long as the main window, so the chosen logFileName outlives the
// dialog's widgets, which attach on each creation and detach when discarded.
class LogSetup
{
public:
    static inline const QString FILE_FILTER = QStringLiteral("All Files (*.*) |*.*");
    static inline const QString NO_INTERVAL_MESSAGE =
        QStringLiteral("Please enter a time interval for the log file");

    LogSetup(Logger &logger, MessageBox &messages);

    // Takes the controls of a newly created dialog and runs the load step.
    void attach(const LogSetupControls &controls);
    void detach();
    bool isAttached() const { return m_controls.optDatafile != nullptr; }

    QString logFileName() const { return m_logFileName; }

    // Starts logging without the dialog, as "OK" would with "Write to File",
    // the given mode and interval: header first. An interval that is not in
    // the list, a file that cannot be opened, or a run already going gives
    // false and the reason, and nothing has changed.
    // With `daily`, in files by day (Logger::beginDailyRun).
    bool startWithoutDialog(const QString &fileName, LogFile::Mode mode, double seconds,
                            QString *error, bool daily = false);

    // The dialog's handlers.
    void datafileChanged();
    void SelectFile();
    void StartLogging();

private:
    Logger &m_logger;
    MessageBox &m_messages;
    LogSetupControls m_controls;
    QString m_logFileName;
    Handlers m_handlers; // on the attached dialog's controls
};
