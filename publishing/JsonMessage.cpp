#include "publishing/JsonMessage.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

QByteArray JsonMessage::quoted(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (const char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                out += "\\u00" +
                    QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    out += '"';
    return out;
}

JsonMessage &JsonMessage::member(const char *key, const QByteArray &value)
{
    if (!m_members.isEmpty())
        m_members += ',';
    m_members += quoted(QString::fromUtf8(key)) + ':' + value;
    return *this;
}

JsonMessage &JsonMessage::merge(const JsonMessage &other)
{
    if (!m_members.isEmpty() && !other.m_members.isEmpty())
        m_members += ',';
    m_members += other.m_members;
    return *this;
}

JsonMessage &JsonMessage::add(const char *key, const QString &text)
{
    return member(key, quoted(text));
}

JsonMessage &JsonMessage::add(const char *key, const char *text)
{
    return member(key, quoted(QString::fromUtf8(text)));
}

JsonMessage &JsonMessage::add(const char *key, double number)
{
    return member(key,
                  std::isfinite(number)
                      ? QByteArray::number(number, 'g', QLocale::FloatingPointShortest)
                      : QByteArray("null"));
}

JsonMessage &JsonMessage::add(const char *key, qint64 number)
{
    return member(key, QByteArray::number(number));
}

JsonMessage &JsonMessage::add(const char *key, quint64 number)
{
    return member(key, QByteArray::number(number));
}

JsonMessage &JsonMessage::add(const char *key, bool value)
{
    return member(key, value ? "true" : "false");
}

JsonMessage &JsonMessage::add(const char *key, const JsonMessage &object)
{
    return member(key, object.bytes());
}

JsonMessage &JsonMessage::add(const char *key, const QList<JsonMessage> &objects)
{
    QByteArray list = "[";
    for (const JsonMessage &object : objects)
        list += (list.size() > 1 ? "," : "") + object.bytes();
    return member(key, list + ']');
}

JsonMessage &JsonMessage::add(const char *key, const QStringList &texts)
{
    QByteArray list = "[";
    for (const QString &text : texts)
        list += (list.size() > 1 ? "," : "") + quoted(text);
    return member(key, list + ']');
}
