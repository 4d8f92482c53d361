#include "platform/qt/IniFile.h"

#include <QList>

#include <cctype>

namespace {

// One line of the file and where it lies in the bytes, its end of line excluded.
struct Line
{
    int begin = 0;
    int end = 0;
};

QList<Line> linesOf(const QByteArray &bytes)
{
    QList<Line> lines;
    int begin = 0;
    while (begin < bytes.size()) {
        int end = bytes.indexOf('\n', begin);
        const int next = end < 0 ? bytes.size() : end + 1;
        if (end < 0)
            end = bytes.size();
        if (end > begin && bytes.at(end - 1) == '\r')
            --end;
        lines.append({begin, end});
        begin = next;
    }
    return lines;
}

QByteArray trimmed(const QByteArray &text)
{
    return text.trimmed();
}

bool isComment(const QByteArray &line)
{
    return line.startsWith(';') || line.startsWith('#');
}

bool isSection(const QByteArray &line)
{
    return line.startsWith('[') && line.endsWith(']');
}

// The text of a line: UTF-8, or where it is not, Latin-1, so that a
// hand-edited file in another encoding still reads as its text.
QString decoded(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    return text.toUtf8() == bytes ? text : QString::fromLatin1(bytes);
}

} // namespace

QByteArray IniFile::escapedKey(const QString &key)
{
    QByteArray result;
    for (const QChar c : key) {
        const ushort ch = c.unicode();
        if (ch == '/')
            result += '\\';
        else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
                 ch == '_' || ch == '-' || ch == '.')
            result += static_cast<char>(ch);
        else if (ch <= 0xFF)
            result += '%' + QByteArray::number(ch, 16).toUpper().rightJustified(2, '0');
        else
            result += "%U" + QByteArray::number(ch, 16).toUpper().rightJustified(4, '0');
    }
    return result;
}

QString IniFile::unescapedKey(const QByteArray &key)
{
    QString result;
    for (int i = 0; i < key.size(); ++i) {
        const char ch = key.at(i);
        if (ch == '\\') {
            result += QLatin1Char('/');
        } else if (ch == '%' && i + 5 < key.size() && key.at(i + 1) == 'U') {
            result += QChar(key.mid(i + 2, 4).toUShort(nullptr, 16));
            i += 5;
        } else if (ch == '%' && i + 2 < key.size()) {
            result += QChar(key.mid(i + 1, 2).toUShort(nullptr, 16));
            i += 2;
        } else {
            result += QLatin1Char(ch);
        }
    }
    return result;
}

// As QSettings escapes a string: backslash escapes for quotes, backslashes
// and control characters, \x for everything beyond ASCII, double quotes
// around a text with a comma, semicolon or equals sign or with a blank at
// either end, and a second "@" before a leading one.
QByteArray IniFile::escapedValue(const QString &text)
{
    const QString value = text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text;
    QByteArray result;
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (const QChar c : value) {
        const ushort ch = c.unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        const bool hexDigit =
            (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
        if (escapeNextIfDigit && hexDigit) {
            result += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case '\0':
            result += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a': result += "\\a"; break;
        case '\b': result += "\\b"; break;
        case '\f': result += "\\f"; break;
        case '\n': result += "\\n"; break;
        case '\r': result += "\\r"; break;
        case '\t': result += "\\t"; break;
        case '\v': result += "\\v"; break;
        case '"':
        case '\\':
            result += '\\';
            result += static_cast<char>(ch);
            break;
        default:
            if (ch <= 0x1F || ch >= 0x7F) {
                result += "\\x" + QByteArray::number(ch, 16);
                escapeNextIfDigit = true;
            } else {
                result += static_cast<char>(ch);
            }
        }
    }
    if (needsQuotes || result.startsWith(' ') || result.endsWith(' '))
        result = '"' + result + '"';
    return result;
}

// The text as it stands in the file: blanks around it dropped, double quotes
// and backslash escapes undone, but a comma is a comma, never a list.
QString IniFile::unescapedValue(const QByteArray &raw)
{
    const QString value = decoded(trimmed(raw));
    QString result;
    for (int i = 0; i < value.size(); ++i) {
        const QChar ch = value.at(i);
        if (ch == QLatin1Char('"'))
            continue;
        if (ch != QLatin1Char('\\') || i + 1 >= value.size()) {
            result += ch;
            continue;
        }
        const char kind = value.at(++i).toLatin1();
        switch (kind) {
        case '0': result += QChar(0); break;
        case 'a': result += QLatin1Char('\a'); break;
        case 'b': result += QLatin1Char('\b'); break;
        case 'f': result += QLatin1Char('\f'); break;
        case 'n': result += QLatin1Char('\n'); break;
        case 'r': result += QLatin1Char('\r'); break;
        case 't': result += QLatin1Char('\t'); break;
        case 'v': result += QLatin1Char('\v'); break;
        case 'x': {
            uint code = 0;
            int digits = 0;
            while (i + 1 < value.size() && digits < 4 &&
                   std::isxdigit(static_cast<unsigned char>(value.at(i + 1).toLatin1()))) {
                code = code * 16 + QString(value.at(++i)).toUInt(nullptr, 16);
                ++digits;
            }
            result += QChar(code);
            break;
        }
        default: result += value.at(i); break;
        }
    }
    if (result.startsWith(QLatin1String("@@")))
        result.remove(0, 1);
    return result;
}

int IniFile::damagedLine() const
{
    const QList<Line> lines = linesOf(m_bytes);
    for (int n = 0; n < lines.size(); ++n) {
        const QByteArray line = trimmed(m_bytes.mid(lines[n].begin, lines[n].end - lines[n].begin));
        if (line.isEmpty() || isComment(line) || isSection(line))
            continue;
        if (line.startsWith('[') || line.indexOf('=') <= 0)
            return n + 1;
    }
    return 0;
}

bool IniFile::value(const QString &section, const QString &key, QString *text) const
{
    bool found = false;
    QString current;
    for (const Line &at : linesOf(m_bytes)) {
        const QByteArray line = trimmed(m_bytes.mid(at.begin, at.end - at.begin));
        if (isSection(line)) {
            current = unescapedKey(line.mid(1, line.size() - 2));
            continue;
        }
        const int equals = line.indexOf('=');
        if (current != section || equals <= 0 || isComment(line))
            continue;
        if (unescapedKey(trimmed(line.left(equals))) != key)
            continue;
        *text = unescapedValue(line.mid(equals + 1));
        found = true;
    }
    return found;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &text)
{
    const QByteArray newValue = escapedValue(text);
    const QByteArray eol = m_bytes.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    QList<QByteArray> lines; // each with its own end of line, as it stands
    for (const Line &at : linesOf(m_bytes)) {
        const int next = m_bytes.indexOf('\n', at.end);
        lines.append(m_bytes.mid(at.begin, (next < 0 ? m_bytes.size() : next + 1) - at.begin));
    }

    QString current;
    int lastOfSection = -1; // the section's last line that is not blank
    bool replaced = false;
    for (int n = 0; n < lines.size(); ++n) {
        QByteArray &raw = lines[n];
        const QByteArray line = trimmed(raw);
        if (isSection(line))
            current = unescapedKey(line.mid(1, line.size() - 2));
        if (current != section || line.isEmpty())
            continue;
        lastOfSection = n;
        const int equals = raw.indexOf('=');
        if (isSection(line) || isComment(line) || equals <= 0 ||
            unescapedKey(trimmed(raw.left(equals))) != key)
            continue;
        // The key as it was spelt, its spacing, the new value, the same end of line.
        int valueStart = equals + 1;
        while (valueStart < raw.size() && (raw.at(valueStart) == ' ' || raw.at(valueStart) == '\t'))
            ++valueStart;
        const int lineEnd = raw.endsWith("\r\n") ? raw.size() - 2
            : raw.endsWith('\n')                 ? raw.size() - 1
                                                 : raw.size();
        raw = raw.left(valueStart) + newValue + raw.mid(lineEnd);
        replaced = true;
    }
    if (!replaced) {
        const QByteArray added = escapedKey(key) + '=' + newValue + eol;
        if (lastOfSection < 0) {
            if (!lines.isEmpty() && !lines.last().endsWith('\n'))
                lines.last() += eol;
            lines.append('[' + escapedKey(section) + ']' + eol);
            lines.append(added);
        } else {
            if (!lines[lastOfSection].endsWith('\n'))
                lines[lastOfSection] += eol;
            lines.insert(lastOfSection + 1, added);
        }
    }
    m_bytes = lines.join();
}
