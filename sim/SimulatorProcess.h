#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

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
    // From now on, when it ends by itself it is started again with the same
    // arguments, without waiting for it, and the link it serves through
    // (--link PATH) is taken away meanwhile: the pty it left may soon be
    // another program's, and nothing must reach that through the link. Said
    // to `tell` (true when it is left ended: after RESTARTS_IN_A_ROW quick
    // ends in a row).
    void restartWhenItEnds(const QString &linkPath,
                           std::function<void(const QString &, bool)> tell);
    static constexpr int RESTARTS_IN_A_ROW = 5;
    // 0 when it does not run.
    qint64 processId() const;

    // dgh-sim beside the running executable, else in the folder it is
    // installed into; never one from a build tree.
    static QString defaultProgram();

private:
    void ended();

    QString m_program;
    QProcess m_process;
    QString m_devicePath;
    QStringList m_arguments;
    QString m_linkPath;
    bool m_restarting = false;
    int m_quickEnds = 0;
    std::function<void(const QString &, bool)> m_tell;
    QElapsedTimer m_running;
};
