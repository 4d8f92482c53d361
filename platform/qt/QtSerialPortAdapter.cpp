#include "platform/qt/QtSerialPortAdapter.h"

#include "platform/qt/SerialAdapters.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a write may take to leave: 512 bytes at 19200 baud plus slack.
constexpr int WRITE_TIMEOUT_MS = 500;

bool isCharacterDevice(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISCHR(info.st_mode);
}

bool isReadWritable(const QString &path)
{
    return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
}

// Marks the span of one of our own calls into QSerialPort.
class CallScope
{
public:
    explicit CallScope(int &depth) : m_depth(depth) { ++m_depth; }
    ~CallScope() { --m_depth; }
    CallScope(const CallScope &) = delete;
    CallScope &operator=(const CallScope &) = delete;

private:
    int &m_depth;
};

} // namespace

QtSerialPortAdapter::QtSerialPortAdapter(PortMap ports) : m_ports(std::move(ports))
{
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

QtSerialPortAdapter::~QtSerialPortAdapter()
{
    QObject::disconnect(&m_port, nullptr, nullptr, nullptr);
    if (m_port.isOpen())
        m_port.close();
}

qint16 QtSerialPortAdapter::portNumber() const
{
    return m_number;
}

int QtSerialPortAdapter::setPortNumber(qint16 number)
{
    if (number < 1)
        return InvalidPortError;
    if (m_port.isOpen())
        return OtherOpenError; // the open device would no longer match the number
    m_number = number;
    return NoError;
}

bool QtSerialPortAdapter::isOpen() const
{
    return m_port.isOpen();
}

QString QtSerialPortAdapter::deviceName() const
{
    const QString path = m_ports.devicePath(m_number);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QString QtSerialPortAdapter::pathToOpen() const
{
    if (!m_lostReason.isEmpty() && !m_openedById.isEmpty() && QFileInfo::exists(m_openedById))
        return m_openedById;
    return m_ports.devicePath(m_number);
}

QString QtSerialPortAdapter::adapterNow() const
{
    return SerialAdapters::identityOf(pathToOpen());
}

QStringList QtSerialPortAdapter::presentPorts() const
{
    return SerialAdapters::present(m_ports);
}

int QtSerialPortAdapter::open()
{
    if (m_port.isOpen())
        return PortInUseError;

    const QString path = pathToOpen();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return InvalidPortError;
    // QSerialPort names its lock file after the path it is given: a link and
    // its target must lead to the same lock, so open the resolved device.
    const QString device = info.canonicalFilePath();
    if (!isCharacterDevice(device))
        return InvalidPortError;

    CallScope scope(m_callDepth);
    m_port.setPortName(device);
    m_port.setBaudRate(QSerialPort::Baud19200);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.setReadBufferSize(RECEIVE_BUFFER_BYTES);
    m_failed = false;
    if (m_port.open(QIODevice::ReadWrite)) {
        m_port.clearError();
        m_lostReason.clear();
        m_openedAdapter = SerialAdapters::identityOf(device);
        m_openedById = SerialAdapters::byIdNameOf(device);
        return NoError;
    }

    const QSerialPort::SerialPortError error = m_port.error();
    m_port.clearError();
    m_failed = false;
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::UnsupportedOperationError: // not a tty: /dev/null and the like
        return InvalidPortError;
    case QSerialPort::PermissionError:
        // Either another holder's lock or no access rights to the device.
        return isReadWritable(device) ? PortInUseError : OtherOpenError;
    default: return OtherOpenError;
    }
}

void QtSerialPortAdapter::close()
{
    m_failed = false;
    m_lostReason.clear();
    m_openedAdapter.clear();
    m_openedById.clear();
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

void QtSerialPortAdapter::write(const QByteArray &bytes)
{
    if (!m_port.isOpen() || bytes.isEmpty())
        return;
    CallScope scope(m_callDepth);
    // Without an event loop nothing leaves Qt's buffer until it is pushed.
    m_port.write(bytes);
    m_port.flush();
    while (!m_failed && m_port.isOpen() && m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(WRITE_TIMEOUT_MS))
            break;
    }
    closeIfFailed();
}

int QtSerialPortAdapter::bytesWaiting()
{
    if (!m_port.isOpen())
        return 0;
    CallScope scope(m_callDepth);
    const qint64 buffered = m_port.bytesAvailable();
    const qint64 waiting = buffered + osBytesWaiting();
    closeIfFailed();
    if (!m_port.isOpen())
        return 0;
    return static_cast<int>(qMin<qint64>(waiting, INT_MAX));
}

QByteArray QtSerialPortAdapter::read(int maxBytes)
{
    if (!m_port.isOpen() || maxBytes <= 0)
        return QByteArray();
    CallScope scope(m_callDepth);
    if (m_port.bytesAvailable() == 0 && osBytesWaiting() > 0) {
        // Moves what the OS holds into Qt's buffer without blocking.
        m_port.waitForReadyRead(0);
        if (!m_failed)
            m_port.clearError();
    }
    QByteArray bytes;
    if (!m_failed && m_port.isOpen())
        bytes = m_port.read(maxBytes);
    closeIfFailed();
    return bytes;
}

int QtSerialPortAdapter::osBytesWaiting()
{
    int count = 0;
    if (::ioctl(static_cast<int>(m_port.handle()), FIONREAD, &count) < 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno))); // EIO after a hang-up
        return 0;
    }
    return count;
}

void QtSerialPortAdapter::onError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ReadError && error != QSerialPort::WriteError &&
        error != QSerialPort::ResourceError)
        return; // NoError comes with every open and clearError; timeouts are ours
    fail(m_port.errorString());
    // Inside our own calls the caller closes once QSerialPort has returned.
    // Otherwise an event loop delivered it: close on its next pass, or the
    // read notifier of a vanished device keeps firing at full CPU.
    if (m_callDepth == 0)
        QMetaObject::invokeMethod(
            &m_port, [this] { closeIfFailed(); }, Qt::QueuedConnection);
}

void QtSerialPortAdapter::fail(const QString &reason)
{
    if (!m_failed)
        m_failure = reason;
    m_failed = true;
}

void QtSerialPortAdapter::closeIfFailed()
{
    if (!m_failed)
        return;
    m_failed = false;
    if (m_port.isOpen()) {
        m_port.close();
        m_lostReason = m_failure.isEmpty() ? QStringLiteral("The device went away.") : m_failure;
    }
    m_port.clearError();
}
