#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// The one serial line to the modules, as the module link and the port
// selection use it. The real port is QtSerialPortAdapter; tests script a fake.
class SerialPort
{
public:
    // Error numbers of a failed open, as the operator messages distinguish them.
    static constexpr int NoError = 0;
    static constexpr int InvalidPortError = 8002; // no such or invalid port
    static constexpr int PortInUseError = 8005;   // held by this or another process
    static constexpr int OtherOpenError = 8010;   // any other failure, reported to nobody
    // The receive buffer of the line: one answer never consumes more, and a
    // flood of bytes cannot grow memory beyond it.
    static constexpr int RECEIVE_BUFFER_BYTES = 1024;

    virtual ~SerialPort() = default;

    virtual qint16 portNumber() const = 0;
    // The device the current port number stands for, for messages; empty
    // where there is nothing more to say than the number.
    virtual QString deviceName() const = 0;
    // Returns an error number; a number the platform cannot map keeps the previous one.
    virtual int setPortNumber(qint16 number) = 0;

    virtual bool isOpen() const = 0;
    // Opens the current port number at 19200 8N1; returns NoError or an error number.
    virtual int open() = 0;
    virtual void close() = 0;
    // Why the port closed itself (the device went away, a read or write
    // failed); empty while it is open, never opened, or closed by close().
    virtual QString lostReason() const = 0;

    // What tells one adapter from another: "usb VID:PID SERIAL" for a USB
    // adapter, "device PATH" for anything else (an on-board port, a pty),
    // empty for nothing. The one the port last opened, and the one now behind
    // its number (a lost adapter's own /dev/serial/by-id name first).
    virtual QString openedAdapter() const { return QString(); }
    virtual QString adapterNow() const { return QString(); }
    // The serial ports present, one line each: device, its by-id name, what
    // it is and the port number it has, for the operator choosing one.
    virtual QStringList presentPorts() const { return {}; }

    // Writes all bytes and hands them to the line before returning.
    virtual void write(const QByteArray &bytes) = 0;
    // Received bytes not yet read, without waiting for more.
    virtual int bytesWaiting() = 0;
    // Up to maxBytes of the waiting bytes, without waiting for more.
    virtual QByteArray read(int maxBytes) = 0;
};
