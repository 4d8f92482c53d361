#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVector>

// One typed value of a log line and the line encoding of the log file.
class LogValue
{
public:
    enum class Kind { Text, Number, Date };

    static LogValue text(const QString &text);
    static LogValue number(double number);
    static LogValue date(const QDate &date);

    Kind kind() const { return m_kind; }

    // The values joined by single commas and ended by CR LF; an empty list is
    // an empty line. Texts go between double quotes unescaped, except that a
    // CR or LF inside a text becomes a blank so the line stays one line.
    // Numbers are locale-independent, dates #yyyy-mm-dd#. UTF-8.
    static QByteArray encodeLine(const QVector<LogValue> &values);

private:
    void appendTo(QByteArray &line) const;

    Kind m_kind = Kind::Text;
    QString m_text;
    double m_number = 0;
    QDate m_date;
};

using LogLine = QVector<LogValue>;
