#pragma once

#include "platform/SerialPort.h"
#include "platform/qt/PortMap.h"

#include <QSerialPort>

// The module line on a real serial device through QSerialPort, 19200 8N1,
// used without an event loop: writes are flushed at once, and bytes that
// arrived while the caller slept are counted and read straight from the OS.
// A read, write or resource error closes the port, so later transactions see
// a closed port instead of a device that is gone (and no busy event loop).
class QtSerialPortAdapter : public SerialPort
{
public:
    explicit QtSerialPortAdapter(PortMap ports = PortMap());
    ~QtSerialPortAdapter() override;

    QtSerialPortAdapter(const QtSerialPortAdapter &) = delete;
    QtSerialPortAdapter &operator=(const QtSerialPortAdapter &) = delete;

    qint16 portNumber() const override;
    int setPortNumber(qint16 number) override;

    bool isOpen() const override;
    int open() override;
    void close() override;
    QString lostReason() const override { return m_lostReason; }

    void write(const QByteArray &bytes) override;
    int bytesWaiting() override;
    QByteArray read(int maxBytes) override;

    // The device the current port number maps to, links resolved when it exists.
    QString deviceName() const override;

    QString openedAdapter() const override { return m_openedAdapter; }
    QString adapterNow() const override;
    QStringList presentPorts() const override;

private:
    // Where open() looks: after a loss the lost adapter's own by-id name
    // while it is there, so the same adapter is found under a new ttyUSB
    // number; otherwise the device of the port number.
    QString pathToOpen() const;
    int osBytesWaiting();
    void onError(QSerialPort::SerialPortError error);
    void fail(const QString &reason);
    void closeIfFailed();

    PortMap m_ports;
    QSerialPort m_port;
    qint16 m_number = 1;
    // Set by the error handler; a failure inside our own calls is acted on
    // once QSerialPort has returned, not from inside its handler.
    bool m_failed = false;
    QString m_failure;
    QString m_lostReason;
    QString m_openedAdapter;
    QString m_openedById;
    int m_callDepth = 0;
};
