#include "sim/SimulatorProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
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
}

SimulatorProcess::~SimulatorProcess()
{
    stop();
}

QString SimulatorProcess::defaultProgram()
{
    if (QCoreApplication::instance()) {
        const QFileInfo beside(QCoreApplication::applicationDirPath() + QStringLiteral("/dgh-sim"));
        if (beside.isFile() && beside.isExecutable())
            return beside.filePath();
    }
    return QStringLiteral(DGH_SIM_BUILD_PATH);
}

bool SimulatorProcess::start(const QStringList &arguments, QString *error)
{
    stop();
    m_devicePath.clear();
    m_process.start(m_program, arguments + QStringList{QStringLiteral("--exit-with-parent")},
                    QIODevice::ReadOnly);
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

void SimulatorProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(STOP_TIMEOUT_MS)) {
        m_process.kill();
        m_process.waitForFinished(STOP_TIMEOUT_MS);
    }
}
