#pragma once

#include "platform/Notifier.h"

#include <QByteArray>
#include <QString>

// Where the station's messages go beyond its window and its log: a broker
// that any number of subscribers read. publish() only hands the message
// over and returns at once; it never waits for the network.
class Publisher
{
public:
    enum class Link { Connecting, Connected, Failing };
    // Messages let go because the broker could not be reached for so long:
    // readings, and the rest (journal events).
    struct Dropped
    {
        quint64 readings = 0;
        quint64 events = 0;
        quint64 total() const { return readings + events; }
    };

    // The station's topics under "kestrom-dgh/ID/", and what "status" says:
    // "online" while connected, "offline" as the last will and on leaving.
    inline static const QString READINGS = QStringLiteral("readings");
    inline static const QString EVENTS = QStringLiteral("events");
    inline static const QByteArray STATUS = QByteArrayLiteral("status");
    inline static const QByteArray ONLINE = QByteArrayLiteral("online");
    inline static const QByteArray OFFLINE = QByteArrayLiteral("offline");

    virtual ~Publisher() = default;

    // A message on the station's topic `subtopic` ("readings", "events").
    // A retained one is what the broker gives every subscriber that comes
    // later, until the next on that topic: a state, not an event.
    virtual void publish(const QString &subtopic, const QByteArray &payload,
                         bool retained = false) = 0;
    // The same on a topic outside the station's own (another program's
    // convention, such as Home Assistant's discovery).
    virtual void publishTopic(const QString &topic, const QByteArray &payload, bool retained) = 0;
    // Messages on the topic are heard from now on, over every connection
    // to come (received).
    virtual void subscribe(const QString &topic) = 0;

    virtual Link link() const = 0;
    // For the operator: where it publishes, and what is wrong if anything.
    virtual QString linkText() const = 0;
    virtual Dropped dropped() const = 0;

    // The link or the dropped count changed; raised on the window's thread.
    Notifier<> linkChanged;
    // A message on a topic subscribed to; raised on the window's thread.
    Notifier<const QString &, const QByteArray &> received;
};
