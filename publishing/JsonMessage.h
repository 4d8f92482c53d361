#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The one way the station writes JSON: an object whose members stand in the
// order they were added (a subscriber reading by eye sees "time" first),
// compact, strings escaped as JSON wants and sent as UTF-8, numbers in
// their shortest exact form and null where they are not finite.
class JsonMessage
{
public:
    JsonMessage &add(const char *key, const QString &text);
    JsonMessage &add(const char *key, const char *text);
    JsonMessage &add(const char *key, double number);
    JsonMessage &add(const char *key, qint64 number);
    JsonMessage &add(const char *key, quint64 number);
    JsonMessage &add(const char *key, int number) { return add(key, qint64(number)); }
    JsonMessage &add(const char *key, bool value);
    JsonMessage &add(const char *key, const JsonMessage &object);
    JsonMessage &add(const char *key, const QList<JsonMessage> &objects);
    JsonMessage &add(const char *key, const QStringList &texts);
    // The members of another object, after these.
    JsonMessage &merge(const JsonMessage &other);

    bool isEmpty() const { return m_members.isEmpty(); }
    QByteArray bytes() const { return '{' + m_members + '}'; }

    static QByteArray quoted(const QString &text);

private:
    JsonMessage &member(const char *key, const QByteArray &value);

    QByteArray m_members;
};
