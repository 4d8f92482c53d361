#include "sim/SimulatorProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int START_TIMEOUT_MS = 5000;
constexpr int STOP_TIMEOUT_MS = 3000;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

SimulatorProcess::SimulatorProcess(const QString &program) : m_program(program)
{
    // Its log goes where ours goes, rather than piling up unread in memory.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The station's broker password is none of the simulator's business.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("KESTROM_DGH_MQTT_PASSWORD"));
    m_process.setProcessEnvironment(environment);
}

SimulatorProcess::~SimulatorProcess()
{
    stop();
}

QString SimulatorProcess::defaultProgram()
{
    if (!QCoreApplication::instance())
        return QStringLiteral("dgh-sim");
    const QString folder = QCoreApplication::applicationDirPath();
    const QFileInfo beside(folder + QStringLiteral("/dgh-sim"));
    // The program folder packaging/ installs both programs into, seen from
    // a program in bin/.
    const QFileInfo installed(folder + QStringLiteral("/../lib/kestrom-dgh/dgh-sim"));
    for (const QFileInfo &candidate : {beside, installed})
        if (candidate.isFile() && candidate.isExecutable())
            return QDir::cleanPath(candidate.absoluteFilePath());
    return beside.filePath(); // named in the error when it cannot be started
}

qint64 SimulatorProcess::processId() const
{
    return m_process.processId();
}

bool SimulatorProcess::start(const QStringList &arguments, QString *error)
{
    stop();
    m_devicePath.clear();
    m_arguments = arguments + QStringList{QStringLiteral("--exit-with-parent")};
    m_process.start(m_program, m_arguments, QIODevice::ReadOnly);
    if (!m_process.waitForStarted(START_TIMEOUT_MS)) {
        setError(error,
                 QStringLiteral("cannot start %1: %2").arg(m_program, m_process.errorString()));
        return false;
    }
    const QDeadlineTimer deadline(START_TIMEOUT_MS);
    while (!m_process.canReadLine()) {
        if (m_process.state() != QProcess::Running || deadline.hasExpired()) {
            // An option it refused makes it exit at once with its reason on stderr.
            const bool exited = m_process.state() != QProcess::Running;
            stop();
            setError(error,
                     exited ? QStringLiteral("%1 exited without naming its terminal").arg(m_program)
                            : QStringLiteral("%1 named no terminal within %2 ms")
                                  .arg(m_program)
                                  .arg(START_TIMEOUT_MS));
            return false;
        }
        m_process.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
    }
    m_devicePath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return true;
}

QString SimulatorProcess::devicePath() const
{
    return m_devicePath;
}

void SimulatorProcess::restartWhenItEnds(const QString &linkPath,
                                         std::function<void(const QString &, bool)> tell)
{
    m_linkPath = linkPath;
    m_tell = std::move(tell);
    m_restarting = true;
    m_running.start();
    QObject::connect(&m_process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished),
                     &m_process, [this] { ended(); });
}

void SimulatorProcess::ended()
{
    if (!m_restarting)
        return;
    if (QFileInfo(m_linkPath).isSymLink())
        QFile::remove(m_linkPath);
    m_quickEnds = m_running.elapsed() < 2000 ? m_quickEnds + 1 : 0;
    if (m_quickEnds > RESTARTS_IN_A_ROW) {
        m_restarting = false;
        m_tell(QStringLiteral("the module simulator %1 keeps ending; it is not started again")
                   .arg(m_program),
               true);
        return;
    }
    m_tell(QStringLiteral("the module simulator ended; it is started again"), false);
    m_running.start();
    m_process.start(m_program, m_arguments, QIODevice::ReadOnly);
}

void SimulatorProcess::stop()
{
    m_restarting = false;
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(STOP_TIMEOUT_MS)) {
        m_process.kill();
        m_process.waitForFinished(STOP_TIMEOUT_MS);
    }
}
