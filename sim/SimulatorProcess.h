#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs dgh-sim as a child process for the station's --simulate, for tests
// and for benchmarks, and learns the terminal it serves from its first line.
// The child gets our environment without the broker password.
class SimulatorProcess
{
public:
    explicit SimulatorProcess(const QString &program = defaultProgram());
    ~SimulatorProcess(); // stops it

    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    // Waits (at most 5 s) for the first line of standard output.
    bool start(const QStringList &arguments, QString *error = nullptr);
    // The pty slave path it printed.
    QString devicePath() const;
    // SIGTERM, wait, then kill.
    void stop();
    // 0 when it does not run.
    qint64 processId() const;

    // dgh-sim beside the running executable, else in the folder it is
    // installed into; never one from a build tree.
    static QString defaultProgram();

private:
    QString m_program;
    QProcess m_process;
    QString m_devicePath;
};
