#pragma once

#include "platform/SerialPort.h"

#include <QByteArrayList>
#include <QHash>
#include <QList>

// A scripted serial line: records every write and, when a command frame is
// written, puts the scripted answer for that frame into the receive buffer.
class FakeSerialPort : public SerialPort
{
public:
    // Bytes that arrive after each write of the frame. Several queued answers
    // are used one per write; the last one is kept for all further writes.
    void script(const QByteArray &frame, const QByteArray &answer)
    {
        m_answers[frame].append(answer);
    }
    void scriptAddress(const QString &address, const QByteArray &answer)
    {
        script(QByteArray("$") + address.toLatin1() + "RD\r", answer);
    }

    QByteArrayList writes;
    QByteArray received; // waiting to be read
    int openResult = NoError;
    int setNumberResult = NoError;
    int openCalls = 0;
    int closeCalls = 0;
    bool open_ = true;
    bool closeOnRead = false;
    QString lost; // why the port closed itself
    qint16 number = 1;

    qint16 portNumber() const override { return number; }
    QString device; // what the number stands for
    QString deviceName() const override { return device; }
    QString opened;     // the adapter it last opened
    QString behindName; // the one its number leads to now
    QString openedAdapter() const override { return opened; }
    QStringList present;
    QStringList presentPorts() const override { return present; }
    QString adapterNow() const override { return behindName; }
    int setPortNumber(qint16 n) override
    {
        if (setNumberResult == NoError)
            number = n;
        return setNumberResult;
    }
    bool isOpen() const override { return open_; }
    int open() override
    {
        ++openCalls;
        open_ = openResult == NoError;
        if (open_)
            lost.clear();
        return openResult;
    }
    void close() override
    {
        ++closeCalls;
        open_ = false;
        lost.clear();
    }
    QString lostReason() const override { return lost; }
    void write(const QByteArray &bytes) override
    {
        writes.append(bytes);
        auto it = m_answers.find(bytes);
        if (it == m_answers.end() || it->isEmpty())
            return;
        received += it->size() > 1 ? it->takeFirst() : it->first();
    }
    // A line that babbles: each look at it finds these bytes more, the
    // given number of times (for ever while negative).
    QByteArray babble;
    int babbleTimes = 0;
    int bytesWaiting() override
    {
        if (babbleTimes != 0) {
            received += babble;
            babbleTimes -= babbleTimes > 0 ? 1 : 0;
        }
        return received.size();
    }
    QByteArray read(int maxBytes) override
    {
        if (closeOnRead) { // a read error, as a vanished device gives
            open_ = false;
            lost = QStringLiteral("Input/output error");
            return QByteArray();
        }
        const QByteArray out = received.left(maxBytes);
        received.remove(0, out.size());
        return out;
    }

    // The addresses polled so far, in order ("5", "6", ...).
    QStringList polledAddresses() const
    {
        QStringList addresses;
        for (const QByteArray &w : writes)
            addresses << QString::fromLatin1(w.mid(1, w.size() - 4));
        return addresses;
    }

private:
    QHash<QByteArray, QList<QByteArray>> m_answers;
};
