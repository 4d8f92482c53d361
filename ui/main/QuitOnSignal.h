#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into an orderly end: the handler only writes the
// signal's number to a pipe; the event loop then runs the given exit with
// it, which closes the log file and lets the port and the simulator go, as
// File > Exit does.
class QuitOnSignal : public QObject
{
public:
    explicit QuitOnSignal(std::function<void(int signal)> exit, QObject *parent = nullptr);
    ~QuitOnSignal() override;

private:
    static void handle(int signal);

    std::function<void(int signal)> m_exit;
    QSocketNotifier *m_notifier = nullptr;
};
