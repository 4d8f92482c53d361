#pragma once

#include <QByteArray>
#include <QString>

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

// The far end of a pseudo-terminal, played by a test: it sees what the port
// under test writes and puts bytes on the line for it, and can vanish like a
// pulled USB adapter.
class PtyPair
{
public:
    PtyPair()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        char name[256];
        if (::ptsname_r(m_master, name, sizeof name) == 0)
            m_slavePath = QString::fromLocal8Bit(name);
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0 && !m_slavePath.isEmpty(); }
    QString slavePath() const { return m_slavePath; }

    bool send(const QByteArray &bytes)
    {
        return ::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size())) ==
            bytes.size();
    }
    // What has reached the master within timeoutMs.
    QByteArray receive(int timeoutMs)
    {
        QByteArray bytes;
        pollfd fd{m_master, POLLIN, 0};
        while (::poll(&fd, 1, timeoutMs) > 0 && (fd.revents & POLLIN)) {
            char buffer[256];
            const ssize_t count = ::read(m_master, buffer, sizeof buffer);
            if (count <= 0)
                break;
            bytes.append(buffer, static_cast<int>(count));
            timeoutMs = 0;
        }
        return bytes;
    }
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    QString m_slavePath;
};
