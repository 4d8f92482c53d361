#pragma once

#include "platform/MessageBox.h"

#include <QString>

// Where a fault goes. The attended station tells the operator in a message
// box, and the operator expects what the design does next (a group switched
// off, logging stopped); the unattended one journals it and goes on by
// itself. A source is a module's address ("5", "6", "7", "1", "2", "3"),
// "port", "log" or "settings".
class Faults
{
public:
    inline static const QString PORT = QStringLiteral("port");
    inline static const QString LOG = QStringLiteral("log");
    inline static const QString SETTINGS = QStringLiteral("settings");
    // The message of a port that is not open, and its box's title.
    inline static const QString PORT_NOT_OPEN = QStringLiteral("Port Not open");
    inline static const QString PORT_FAILURE = QStringLiteral("Port Failure");

    virtual ~Faults() = default;

    virtual bool isUnattended() const = 0;
    // Reports a fault with its message text and the title of its box. True
    // when an operator was told, false when the station goes on by itself.
    virtual bool failed(const QString &source, const QString &text, const QString &title) = 0;
    bool failed(const QString &source, const QString &text)
    {
        return failed(source, text, MessageBox::APP_TITLE);
    }
    bool portNotOpen() { return failed(PORT, PORT_NOT_OPEN, PORT_FAILURE); }
    // The source works again; detail says how, where there is more to say.
    virtual void recovered(const QString &source, const QString &detail = QString()) = 0;
};

// The messages of one source, for a part that only ever shows messages.
class FaultMessageBox : public MessageBox
{
public:
    FaultMessageBox(Faults &faults, const QString &source) : m_faults(faults), m_source(source) { }
    using MessageBox::show;
    void show(const QString &text, const QString &title) override
    {
        m_faults.failed(m_source, text, title);
    }

private:
    Faults &m_faults;
    QString m_source;
};
