#pragma once

#include "publishing/MqttSettings.h"
#include "publishing/Publisher.h"

#include <QList>
#include <QPair>

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
    Link link() const override { return link_; }
    QString linkText() const override { return linkText_; }
    Dropped dropped() const override { return dropped_; }
};
