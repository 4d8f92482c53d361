#include "platform/qt/IniFile.h"

#include <utility>

namespace {

const QByteArray BYTE_ORDER_MARK("\xEF\xBB\xBF");

bool isBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

bool isLineEnd(char ch)
{
    return ch == '\n' || ch == '\r';
}

bool isSpace(char ch)
{
    return isBlank(ch) || isLineEnd(ch);
}

bool isHexDigit(char ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}

uint hexValue(char ch)
{
    return ch <= '9' ? uint(ch - '0') : uint((ch | 0x20) - 'a' + 10);
}

// The text of a run of plain bytes: UTF-8, or where it is not, Latin-1, so
// that a hand-edited file in another encoding still reads as its text.
QString decoded(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    return text.toUtf8() == bytes ? text : QString::fromLatin1(bytes);
}

// What a backslash and the character after it stand for, or 0 when the
// pair is no simple escape.
char simpleEscape(char code)
{
    switch (code) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case '"':
    case '?':
    case '\'':
    case '\\': return code;
    default: return 0;
    }
}

// The name in a section header, "general" being the keys before any header
// as QSettings has it.
QString sectionName(const QByteArray &header)
{
    const QByteArray name = header.trimmed();
    if (qstricmp(name.constData(), "general") == 0)
        return QString();
    if (qstricmp(name.constData(), "%general") == 0)
        return QString::fromLatin1(name.mid(1));
    return IniFile::unescapedKey(name);
}

QByteArray sectionHeader(const QString &section)
{
    QByteArray name = IniFile::escapedKey(section);
    if (name.isEmpty())
        return "[General]";
    if (qstricmp(name.constData(), "general") == 0)
        name.prepend('%');
    return '[' + name + ']';
}

} // namespace

IniFile::IniFile(QByteArray bytes) : m_bytes(std::move(bytes))
{
}

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

// As QSettings reads a key: "%XX" and "%UXXXX" in hexadecimal, a backslash
// for a slash, and a "%" that starts no such escape kept as it is.
QString IniFile::unescapedKey(const QByteArray &key)
{
    QString result;
    const int size = key.size();
    int i = 0;
    while (i < size) {
        const char ch = key.at(i);
        if (ch == '\\') {
            result += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch != '%' || i == size - 1) {
            result += QLatin1Char(ch);
            ++i;
            continue;
        }
        const int digits = key.at(i + 1) == 'U' ? 4 : 2;
        const int first = digits == 4 ? i + 2 : i + 1;
        bool ok = false;
        const int code = first + digits <= size ? key.mid(first, digits).toInt(&ok, 16) : 0;
        if (!ok) {
            result += QLatin1Char('%');
            ++i;
            continue;
        }
        result += QChar(code);
        i = first + digits;
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

// The text as QSettings reads it, but a comma is a comma, never a list:
// blanks around it dropped unless quoted, double quotes and backslash
// escapes (C's, octal, \x in hexadecimal, a backslash before an end of line
// joining the next line) undone, any other escaped character dropped.
QString IniFile::unescapedValue(const QByteArray &raw)
{
    const int size = raw.size();
    QString result;
    int i = 0;
    int keepUpTo = 0; // blanks before this length of the result stay
    bool quoted = false;
    bool anyQuote = false;
    const auto skipBlanks = [&] {
        while (i < size && isBlank(raw.at(i)))
            ++i;
        keepUpTo = result.size();
    };
    // QSettings keeps trailing blanks when the text ends inside an escape.
    const auto finish = [&](bool dropTrailingBlanks) {
        if (dropTrailingBlanks && !anyQuote) {
            int length = result.size();
            while (length > keepUpTo &&
                   (result.at(length - 1) == QLatin1Char(' ') ||
                    result.at(length - 1) == QLatin1Char('\t')))
                --length;
            result.truncate(length);
        }
        if (result.startsWith(QLatin1String("@@")))
            result.remove(0, 1);
        return result;
    };

    skipBlanks();
    while (i < size) {
        const char ch = raw.at(i);
        if (ch == '"') {
            ++i;
            anyQuote = true;
            quoted = !quoted;
            if (!quoted)
                skipBlanks();
            continue;
        }
        if (ch != '\\') {
            int end = i + 1;
            while (end < size && raw.at(end) != '\\' && raw.at(end) != '"')
                ++end;
            result += decoded(raw.mid(i, end - i));
            i = end;
            continue;
        }
        if (++i >= size)
            return finish(false);
        const char code = raw.at(i++);
        if (const char plain = simpleEscape(code)) {
            result += QLatin1Char(plain);
        } else if ((code == 'x' && i < size && isHexDigit(raw.at(i))) ||
                   (code >= '0' && code <= '7')) {
            const bool hex = code == 'x';
            uint number = hex ? 0 : uint(code - '0');
            while (i < size && (hex ? isHexDigit(raw.at(i)) : raw.at(i) >= '0' && raw.at(i) <= '7'))
                number = hex ? number * 16 + hexValue(raw.at(i++))
                             : number * 8 + uint(raw.at(i++) - '0');
            result += QChar(ushort(number & 0xFFFF));
            if (i >= size)
                return finish(false);
        } else if (code == 'x' && i >= size) {
            return finish(false);
        } else if ((code == '\n' || code == '\r') && i < size &&
                   (raw.at(i) == '\n' || raw.at(i) == '\r') && raw.at(i) != code) {
            ++i; // CR LF or LF CR after the backslash: one end of line
        }
        keepUpTo = result.size();
    }
    return finish(true);
}

QVector<IniFile::Line> IniFile::lines() const
{
    QVector<Line> result;
    const int size = m_bytes.size();
    int pos = m_bytes.startsWith(BYTE_ORDER_MARK) ? BYTE_ORDER_MARK.size() : 0;
    int counted = 0; // line ends are counted up to here
    int number = 1;
    QString section;
    for (;;) {
        Line line;
        line.begin = pos;
        while (line.begin < size && isSpace(m_bytes.at(line.begin)))
            ++line.begin;
        bool inQuotes = false;
        int i = line.begin;
        while (i < size) {
            const char ch = m_bytes.at(i++);
            if (ch == '=') {
                if (!inQuotes && line.equals < 0)
                    line.equals = i - 1;
            } else if (ch == '\n' || ch == '\r') {
                if (i == line.begin + 1) {
                    ++line.begin;
                } else if (!inQuotes) {
                    --i;
                    break;
                }
            } else if (ch == '\\') {
                // It escapes the next character, CR LF and LF CR whole.
                const char escaped = i < size ? m_bytes.at(i++) : 0;
                if (i < size && isLineEnd(escaped) && isLineEnd(m_bytes.at(i)) &&
                    m_bytes.at(i) != escaped)
                    ++i;
                // An end of line added after the data could be taken into the escape.
                line.endsInEscape = i >= size && (escaped == 0 || isLineEnd(escaped));
            } else if (ch == '"') {
                inQuotes = !inQuotes;
            } else if (ch == ';') {
                if (i == line.begin + 1) {
                    // A comment line: passed over, the next line read in its place.
                    while (i < size && m_bytes.at(i) != '\n' && m_bytes.at(i) != '\r')
                        ++i;
                    while (i < size && isSpace(m_bytes.at(i)))
                        ++i;
                    line.begin = i;
                } else if (!inQuotes) {
                    --i;
                    break;
                }
            }
        }
        pos = i;
        if (i <= line.begin)
            break;
        line.end = i;
        line.openQuote = inQuotes;
        for (; counted < line.begin; ++counted) {
            const char ch = m_bytes.at(counted);
            if (ch == '\n' ||
                (ch == '\r' && (counted + 1 >= size || m_bytes.at(counted + 1) != '\n')))
                ++number;
        }
        line.number = number;
        line.isSection = m_bytes.at(line.begin) == '[';
        if (line.isSection) {
            const int close = m_bytes.indexOf(']', line.begin);
            const int nameEnd = close < 0 || close >= line.end ? line.end : close;
            section = sectionName(m_bytes.mid(line.begin + 1, nameEnd - line.begin - 1));
        }
        line.section = section;
        result.append(line);
    }
    return result;
}

bool IniFile::damaged(const Line &line) const
{
    if (line.openQuote)
        return true;
    if (line.isSection) {
        const int close = m_bytes.indexOf(']', line.begin);
        return close < 0 || close >= line.end ||
            !m_bytes.mid(close + 1, line.end - close - 1).trimmed().isEmpty();
    }
    if (line.equals < 0)
        return m_bytes.at(line.begin) != '#';
    return keyOf(line).isEmpty();
}

QString IniFile::keyOf(const Line &line) const
{
    int end = line.equals;
    while (end > line.begin && isBlank(m_bytes.at(end - 1)))
        --end;
    return unescapedKey(m_bytes.mid(line.begin, end - line.begin));
}

QByteArray IniFile::valueOf(const Line &line) const
{
    return m_bytes.mid(line.equals + 1, line.end - line.equals - 1);
}

int IniFile::damagedLine() const
{
    for (const Line &line : lines())
        if (damaged(line))
            return line.number;
    return 0;
}

bool IniFile::value(const QString &section, const QString &key, QString *text) const
{
    bool found = false;
    for (const Line &line : lines()) {
        if (line.isSection || line.equals < 0 || line.section != section || keyOf(line) != key)
            continue;
        *text = unescapedValue(valueOf(line));
        found = true;
    }
    return found;
}

QMap<QPair<QString, QString>, QString> IniFile::values() const
{
    QMap<QPair<QString, QString>, QString> result;
    for (const Entry &entry : entries())
        result.insert({entry.section, entry.key}, entry.value);
    return result;
}

QVector<IniFile::Entry> IniFile::entries() const
{
    QVector<Entry> result;
    for (const Line &line : lines())
        if (!line.isSection && line.equals >= 0)
            result.append({line.section, keyOf(line), unescapedValue(valueOf(line)), line.number});
    return result;
}

QByteArray IniFile::endOfLine() const
{
    if (m_bytes.contains("\r\n"))
        return "\r\n";
    if (m_bytes.contains('\r') && !m_bytes.contains('\n'))
        return "\r";
    return "\n";
}

int IniFile::insertionPoint(const Line &line, QByteArray *prefix) const
{
    const int size = m_bytes.size();
    int at = line.end;
    if (at < size && m_bytes.at(at) == ';') {
        while (at < size && m_bytes.at(at) != '\n' && m_bytes.at(at) != '\r')
            ++at;
    }
    if (at < size)
        return at + (m_bytes.mid(at, 2) == "\r\n" ? 2 : 1);
    // The line ends the data: it needs an end of line first, two where a
    // backslash at the very end could take the first into its escape.
    *prefix = endOfLine();
    if (line.end == size && line.endsInEscape)
        *prefix += endOfLine();
    return at;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &text)
{
    const QVector<Line> all = lines();
    const QByteArray newValue = escapedValue(text);
    QVector<QPair<int, int>> values; // where the key's values stand, blanks around them excluded
    int lastOfSection = -1;
    for (int n = 0; n < all.size(); ++n) {
        const Line &line = all.at(n);
        if (line.section != section)
            continue;
        lastOfSection = n;
        if (line.isSection || line.equals < 0 || keyOf(line) != key)
            continue;
        int from = line.equals + 1;
        while (from < line.end && isBlank(m_bytes.at(from)))
            ++from;
        int to = line.end;
        while (to > from && isBlank(m_bytes.at(to - 1)))
            --to;
        values.append({from, to});
    }
    for (int n = values.size() - 1; n >= 0; --n)
        m_bytes.replace(values.at(n).first, values.at(n).second - values.at(n).first, newValue);
    if (!values.isEmpty())
        return;

    const QByteArray added = escapedKey(key) + '=' + newValue + endOfLine();
    QByteArray prefix;
    if (lastOfSection >= 0) {
        const int at = insertionPoint(all.at(lastOfSection), &prefix);
        m_bytes.insert(at, prefix + added);
        return;
    }
    if (!all.isEmpty())
        insertionPoint(all.last(), &prefix);
    const int start = m_bytes.startsWith(BYTE_ORDER_MARK) ? BYTE_ORDER_MARK.size() : 0;
    if (prefix.isEmpty() && m_bytes.size() > start && !m_bytes.endsWith('\n') &&
        !m_bytes.endsWith('\r'))
        prefix = endOfLine(); // a comment or blanks without an end of line
    m_bytes += prefix + sectionHeader(section) + endOfLine() + added;
}
