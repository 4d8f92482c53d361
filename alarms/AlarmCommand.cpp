#include "alarms/AlarmCommand.h"

#include "alarms/AlarmMessage.h"
#include "events/EventJournal.h"
#include "platform/Clock.h"
#include "station/IsoTime.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>

#include <csignal>
#include <unistd.h>

// The command in a process group of its own, so that ending it ends what
// it started too (a script's mail program, say).
class AlarmProcess : public QProcess
{
public:
    using QProcess::QProcess;

protected:
    void setupChildProcess() override { ::setsid(); }
};

namespace {

const QString Source = QStringLiteral("alarm");
const QString Failed = QStringLiteral("command failed");

QString printable(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes).simplified();
    for (QChar &c : text)
        if (!c.isPrint())
            c = QLatin1Char('?');
    return text;
}

} // namespace

AlarmCommand::AlarmCommand(EventJournal &journal, const Clock &clock)
    : m_journal(journal)
    , m_clock(clock)
    , m_station(QSysInfo::machineHostName())
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &AlarmCommand::timedOut);
}

AlarmCommand::~AlarmCommand()
{
    if (m_process) {
        m_process->disconnect(this);
        if (m_process->processId() > 0)
            ::kill(-static_cast<pid_t>(m_process->processId()), SIGKILL);
    }
}

void AlarmCommand::setCommand(const QString &commandLine)
{
    m_commandLine = commandLine.trimmed();
    m_arguments = QProcess::splitCommand(m_commandLine);
}

void AlarmCommand::tell(const QString &kind, const QString &text)
{
    m_journal.record(Source, kind, text);
}

void AlarmCommand::tellTrouble(const QString &key, const QString &kind, const QString &text)
{
    if (m_told.contains(key))
        return;
    m_told.insert(key);
    tell(kind, text + QStringLiteral(" (told once, until a run works again)"));
}

void AlarmCommand::run(const AlarmTransition &transition)
{
    if (m_arguments.isEmpty())
        return;
    const std::chrono::nanoseconds now = m_clock.monotonic();
    while (!m_accepted.empty() && now - m_accepted.front() >= WINDOW)
        m_accepted.pop_front();
    if (static_cast<int>(m_accepted.size()) >= RUNS_PER_WINDOW) {
        ++m_heldBackTotal;
        if (++m_heldBack == 1)
            tell(QStringLiteral("command held back"),
                 QStringLiteral("%1 runs of the alarm command in the last %2 minutes: further "
                                "transitions are counted, not run, until there is room again")
                     .arg(RUNS_PER_WINDOW)
                     .arg(WINDOW.count()));
        return;
    }
    if (m_heldBack > 0) {
        tell(QStringLiteral("command held back"),
             QStringLiteral("%1 %2 held back without running the alarm command; it runs again "
                            "from this one on")
                 .arg(m_heldBack)
                 .arg(m_heldBack == 1 ? "transition was" : "transitions were"));
        m_heldBack = 0;
    }
    if (static_cast<int>(m_queue.size()) >= QUEUE_LIMIT) {
        ++m_dropped;
        tellTrouble(QStringLiteral("queue"), Failed,
                    QStringLiteral("the alarm command is not done with the %1 transitions "
                                   "waiting for it: this one is let go")
                        .arg(QUEUE_LIMIT));
        return;
    }
    m_accepted.push_back(now);
    m_queue.push_back(transition);
    startNext();
}

// Why the program cannot be run, or empty with its path.
QString AlarmCommand::cannotRun(QString *program) const
{
    const QString &name = m_arguments.first();
    if (!name.contains(QLatin1Char('/'))) {
        *program = QStandardPaths::findExecutable(name, PATH.split(QLatin1Char(':')));
        return program->isEmpty() ? QStringLiteral("no program \"%1\" in %2").arg(name, PATH)
                                  : QString();
    }
    const QFileInfo info(name);
    *program = name;
    if (!info.exists())
        return QStringLiteral("\"%1\" does not exist").arg(name);
    if (info.isDir())
        return QStringLiteral("\"%1\" is a folder").arg(name);
    if (!info.isExecutable())
        return QStringLiteral("\"%1\" is not executable").arg(name);
    return QString();
}

QProcessEnvironment AlarmCommand::environment(const AlarmTransition &t) const
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), PATH);
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    if (qEnvironmentVariableIsSet("HOME"))
        env.insert(QStringLiteral("HOME"), qEnvironmentVariable("HOME"));
    env.insert(QStringLiteral("KESTROM_DGH_STATION"), m_station);
    env.insert(QStringLiteral("KESTROM_DGH_ALARM"), t.name);
    env.insert(QStringLiteral("KESTROM_DGH_DESCRIPTION"), t.description);
    env.insert(QStringLiteral("KESTROM_DGH_EVENT"), t.kind);
    env.insert(QStringLiteral("KESTROM_DGH_STATE"), AlarmStates::name(t.state));
    env.insert(QStringLiteral("KESTROM_DGH_VALUE"), AlarmMessage::number(t.value));
    env.insert(QStringLiteral("KESTROM_DGH_LIMIT"), AlarmMessage::number(t.limit));
    env.insert(QStringLiteral("KESTROM_DGH_UNIT"), t.unit);
    env.insert(QStringLiteral("KESTROM_DGH_TIME"), IsoTime::withOffset(t.time));
    env.insert(QStringLiteral("KESTROM_DGH_MESSAGE"), t.text);
    return env;
}

void AlarmCommand::startNext()
{
    while (!m_process && !m_queue.empty()) {
        const AlarmTransition transition = std::move(m_queue.front());
        m_queue.pop_front();
        QString program;
        const QString reason = cannotRun(&program);
        if (!reason.isEmpty()) {
            ++m_finishedRuns;
            ++m_failedRuns;
            tellTrouble(QStringLiteral("cannot run"), Failed,
                        QStringLiteral("the alarm command cannot be run: %1").arg(reason));
            continue;
        }
        m_running = QStringLiteral("%1 %2").arg(transition.name, transition.kind);
        m_output.clear();
        m_outputBytes = 0;
        m_timedOut = false;
        m_process = new AlarmProcess(this);
        m_process->setProcessEnvironment(environment(transition));
        m_process->setProcessChannelMode(QProcess::MergedChannels);
        m_process->setStandardInputFile(QProcess::nullDevice());
        connect(m_process, &QProcess::readyReadStandardOutput, this, &AlarmCommand::readOutput);
        connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
                [this](int code, QProcess::ExitStatus status) {
                    readOutput();
                    if (m_timedOut)
                        finished(QStringLiteral("time"),
                                 QStringLiteral("was still running after %1 s and was ended")
                                     .arg(std::chrono::duration<double>(m_timeLimit).count()));
                    else if (status == QProcess::CrashExit)
                        finished(QStringLiteral("crash"), QStringLiteral("was ended by a signal"));
                    else if (code != 0)
                        finished(QStringLiteral("status"),
                                 QStringLiteral("ended with exit status %1").arg(code));
                    else
                        finished(QString(), QString());
                });
        connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            // Only a start that failed goes without a finished().
            if (error == QProcess::FailedToStart)
                finished(QStringLiteral("cannot run"),
                         QStringLiteral("could not be started: %1").arg(m_process->errorString()));
        });
        m_process->start(program, m_arguments.mid(1));
        m_timer.start(m_timeLimit);
    }
}

void AlarmCommand::readOutput()
{
    // Read as it comes and thrown away: a flood costs time, never memory.
    while (m_process->bytesAvailable() > 0) {
        const QByteArray chunk = m_process->read(64 * 1024);
        if (chunk.isEmpty())
            break;
        if (m_output.size() < OUTPUT_KEPT)
            m_output += chunk.left(OUTPUT_KEPT - m_output.size());
        m_outputBytes += chunk.size();
    }
}

void AlarmCommand::timedOut()
{
    if (!m_process)
        return;
    m_timedOut = true;
    if (m_process->processId() > 0)
        ::kill(-static_cast<pid_t>(m_process->processId()), SIGKILL);
    m_process->kill();
}

void AlarmCommand::finished(const QString &problemKind, const QString &problem)
{
    m_timer.stop();
    ++m_finishedRuns;
    const QString what =
        QStringLiteral("the alarm command \"%1\" (for %2)").arg(m_commandLine, m_running);
    if (m_outputBytes > OUTPUT_TOLD_AFTER)
        tellTrouble(QStringLiteral("output"), QStringLiteral("command output"),
                    QStringLiteral("%1 printed %2 bytes; the station reads and drops what a "
                                   "command prints")
                        .arg(what)
                        .arg(m_outputBytes));
    if (!problemKind.isEmpty()) {
        ++m_failedRuns;
        QString text = QStringLiteral("%1 %2").arg(what, problem);
        if (!m_output.isEmpty())
            text += QStringLiteral("; it printed: %1").arg(printable(m_output));
        tellTrouble(problemKind, Failed, text);
    } else if (m_failedRuns > 0) {
        tell(QStringLiteral("command works again"),
             QStringLiteral("%1 ran as it should, after %2 failed %3")
                 .arg(what)
                 .arg(m_failedRuns)
                 .arg(m_failedRuns == 1 ? "run" : "runs"));
        m_failedRuns = 0;
        m_told.clear();
    }
    m_process->disconnect(this);
    m_process->deleteLater();
    m_process = nullptr;
    startNext();
}
