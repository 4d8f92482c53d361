#include "logging/LogValue.h"

#include "station/NumberText.h"

#include <QLocale>

LogValue LogValue::text(const QString &text)
{
    LogValue value;
    value.m_kind = Kind::Text;
    value.m_text = text;
    return value;
}

LogValue LogValue::number(double number)
{
    LogValue value;
    value.m_kind = Kind::Number;
    value.m_number = number;
    return value;
}

LogValue LogValue::date(const QDate &date)
{
    LogValue value;
    value.m_kind = Kind::Date;
    value.m_date = date;
    return value;
}

void LogValue::appendTo(QByteArray &line) const
{
    switch (m_kind) {
    case Kind::Text: {
        QByteArray bytes = m_text.toUtf8();
        bytes.replace('\r', ' ').replace('\n', ' ');
        line += '"';
        line += bytes;
        line += '"';
        break;
    }
    case Kind::Number: line += NumberText::plain(m_number).toLatin1(); break;
    case Kind::Date:
        line += '#';
        // ASCII digits whatever the system's locale (QDate::toString uses its digits).
        line += QLocale::c().toString(m_date, QStringLiteral("yyyy-MM-dd")).toLatin1();
        line += '#';
        break;
    }
}

QByteArray LogValue::encodeLine(const QVector<LogValue> &values)
{
    QByteArray line;
    line.reserve(16 * values.size() + 2);
    for (int i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += ',';
        values.at(i).appendTo(line);
    }
    line += "\r\n";
    return line;
}
