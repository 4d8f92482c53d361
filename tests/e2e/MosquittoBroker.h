#pragma once

// A mosquitto broker of our own on a free port of 127.0.0.1, for the tests
// and the benchmarks that need a real one.

#include <QFile>
#include <QProcess>
#include <QString>

#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

// A port of 127.0.0.1 that nothing listens on just now.
inline int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(s, reinterpret_cast<sockaddr *>(&address), size);
    ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &size);
    ::close(s);
    return ntohs(address.sin_port);
}

class MosquittoBroker
{
public:
    // Keeps its sessions in `folder` across a stop and a start. With a
    // password file, only its users may connect; else anybody may.
    MosquittoBroker(const QString &program, const QString &folder, int port,
                    const QString &passwords = {})
        : m_program(program)
        , m_config(folder + QStringLiteral("/broker.conf"))
    {
        QFile config(m_config);
        config.open(QIODevice::WriteOnly);
        // Started by root, mosquitto would become "mosquitto", which may not
        // write its database to our folder: it stays who started it.
        config.write(QStringLiteral("listener %1 127.0.0.1\npersistence true\n"
                                    "persistence_location %2/\nuser %3\n")
                         .arg(port)
                         .arg(folder, QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name))
                         .toUtf8());
        config.write(passwords.isEmpty()
                         ? QByteArray("allow_anonymous true\n")
                         : "allow_anonymous false\npassword_file " + passwords.toUtf8() + '\n');
    }
    ~MosquittoBroker() { stop(); }

    // A second listener, over TLS with this certificate; before start().
    void addTlsListener(int port, const QString &certificate, const QString &key)
    {
        QFile config(m_config);
        config.open(QIODevice::Append);
        config.write(QStringLiteral("listener %1 127.0.0.1\ncertfile %2\nkeyfile %3\n")
                         .arg(port)
                         .arg(certificate, key)
                         .toUtf8());
    }

    // True once it runs and has not ended at once.
    bool start()
    {
        m_process.start(m_program, {QStringLiteral("-c"), m_config});
        return m_process.waitForStarted() && !m_process.waitForFinished(500);
    }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate(); // saves its sessions and their waiting messages
        m_process.waitForFinished(5000);
    }

private:
    QString m_program;
    QString m_config;
    QProcess m_process;
};
