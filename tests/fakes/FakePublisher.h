#pragma once

#include "publishing/MqttSettings.h"
#include "publishing/Publisher.h"

#include <QList>
#include <QPair>
#include <QStringList>

// Keeps what it is given; its link and dropped counts are the test's to set.
class FakePublisher : public Publisher
{
public:
    explicit FakePublisher(const MqttSettings &madeWith) : settings(madeWith) { }

    MqttSettings settings; // as it was made with
    QList<QPair<QString, QByteArray>> published;
    QList<bool> retained; // of each published, in order
    Link link_ = Link::Connecting;
    QString linkText_;
    Dropped dropped_;

    void publish(const QString &subtopic, const QByteArray &payload, bool retain = false) override
    {
        published.append({subtopic, payload});
        retained.append(retain);
    }
    // Topics of their own are kept with a leading "/", apart from subtopics.
    void publishTopic(const QString &topic, const QByteArray &payload, bool retain) override
    {
        published.append({'/' + topic, payload});
        retained.append(retain);
    }
    QStringList subscriptions;
    void subscribe(const QString &topic) override { subscriptions << topic; }
    Link link() const override { return link_; }
    QString linkText() const override { return linkText_; }
    Dropped dropped() const override { return dropped_; }
};
