#pragma once

#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeWidgets.h"
#include "fakes/FaultsOver.h"
#include "logging/LogSetup.h"
#include "logging/Logger.h"
#include "station/StationState.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

// Sets a file size limit for the life of the guard; writing past it fails.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    struct rlimit m_saved
    {
    };
    void (*m_handler)(int) = nullptr;
};

// The main window's logging controls in their state right after start-up,
// the Logger over them, and one showing of the setup dialog attached.
struct LoggingFixture
{
    StationState state;
    FakeTimer tmrLogger;
    FakeStatusBar statusBar;
    FakeButton mnuStop;
    FakeButton mnuLogSetup;
    FakeLabel liters;
    FakeMessageBox messages;
    FakeClock clock;
    FaultsOver faults{messages, clock};
    Logger logger{state,  tmrLogger,       statusBar, mnuStop,           mnuLogSetup,
                  liters, faults.reporter, clock,     "/opt/kestrom-dgh"};
    LogSetup setup{logger, messages};

    FakeOptionGroup optDatafile;
    FakeOptionGroup optAppend;
    FakeDropDownList cmbInterval;
    FakeFileChooser cdlDataFiles;
    FakeButton cmdSelect;
    FakeButton cmdExit;
    int hides = 0;

    LoggingFixture()
    {
        tmrLogger.m_enabled = true; // interval 0: it never ticks
        statusBar.texts[4] = QStringLiteral("Not Logging");
        statusBar.pictures[4] = QStringLiteral("/opt/kestrom-dgh/icons/redlight.bmp");
        mnuStop.m_enabled = false;
        attachDialog();
    }

    void attachDialog()
    {
        optDatafile = FakeOptionGroup();
        optAppend = FakeOptionGroup();
        cmbInterval = FakeDropDownList();
        cmdSelect = FakeButton();
        cmdExit = FakeButton();
        LogSetupControls controls;
        controls.optDatafile = &optDatafile;
        controls.optAppend = &optAppend;
        controls.cmbInterval = &cmbInterval;
        controls.cdlDataFiles = &cdlDataFiles;
        controls.cmdSelect = &cmdSelect;
        controls.cmdExit = &cmdExit;
        controls.hide = [this] { ++hides; };
        setup.attach(controls);
    }

    // The operator's way to a run that writes fileName: "Write to File",
    // Select File, a mode (0 Append, 1 Overwrite, -1 none), an interval
    // position (-1 none) and OK.
    void startWriting(const QString &fileName, int mode, int position)
    {
        optDatafile.select(1);
        cdlDataFiles.answer = fileName;
        cmdSelect.press();
        if (mode >= 0)
            optAppend.select(mode);
        cmbInterval.position = position;
        cmdExit.press();
    }

    void loadWorkedExample()
    {
        state.probe1Offset = state.probe2Offset = 2.5777;
        state.probe1Slope = state.probe2Slope = 4.5427;
        state.probe1Serial = state.probe2Serial = QStringLiteral("180312");
        state.probe1CalDate = 36892; // 1 January 2001
        state.therm1Temp = 21.5;
        state.therm2Temp = 21.75;
        state.therm3Temp = 22;
        state.probe1mV = 2545.3;
        state.probe2mV = 2601.7;
        state.probe1pH = 6.878;
        state.probe2pH = 7.0904;
        state.flowHz = 172.5;
        state.flowLpm = 1.5;
        clock.wallClock = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 30));
    }

    // A file this process may not write, and the system's reason for it.
    // Root passes file modes, so it gets a read-only kernel attribute.
    static QPair<QString, QString> unwritableFile(const QString &folder)
    {
        QString fileName = QStringLiteral("/sys/kernel/notes");
        if (::geteuid() != 0) {
            fileName = folder + QStringLiteral("/read-only.txt");
            QFile file(fileName);
            if (file.open(QIODevice::WriteOnly))
                file.close();
            QFile::setPermissions(fileName, QFile::ReadOwner);
        }
        const int fd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_APPEND);
        const int error = errno;
        if (fd >= 0) {
            ::close(fd);
            return {fileName, QStringLiteral("<writable after all>")};
        }
        return {fileName, QString::fromLocal8Bit(std::strerror(error))};
    }

    static QByteArray contents(const QString &fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    // An earlier file's content, written whole; false if it could not be.
    static bool writeFile(const QString &fileName, const QByteArray &bytes)
    {
        QFile file(fileName);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            file.write(bytes) == bytes.size();
    }
};
