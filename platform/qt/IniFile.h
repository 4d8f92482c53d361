#pragma once

#include <QByteArray>
#include <QMap>
#include <QPair>
#include <QString>
#include <QVector>

// A settings file in the INI form QSettings reads, read and edited as the
// text it is. Lines are split where QSettings splits them: at CR, LF or
// CR LF, at a ";" comment, never inside double quotes or after a backslash;
// a UTF-8 byte-order mark at the start is passed over. Values are taken as
// they stand in the file (a hand-typed "2,4530" is that text, not a list),
// and an edit replaces only the value of the key it writes, leaving every
// other byte as it was, comments included.
class IniFile
{
public:
    explicit IniFile(QByteArray bytes);

    const QByteArray &bytes() const { return m_bytes; }

    // The value of the key in the section: its last line wins, as QSettings
    // reads it; false when the key is not there.
    bool value(const QString &section, const QString &key, QString *text) const;
    // Every key of every section with the value it reads as.
    QMap<QPair<QString, QString>, QString> values() const;
    // Every key line in the order of the file, with the line it begins on
    // (1-based), so that a value that does not do can be named by its line.
    struct Entry
    {
        QString section;
        QString key;
        QString value;
        int line = 0;
    };
    QVector<Entry> entries() const;
    // Sets every line of the key in the section to the text; adds the key to
    // the section's last block (and the section itself) where it is missing.
    void setValue(const QString &section, const QString &key, const QString &text);

    // The line (1-based) where the first thing that is no setting begins: a
    // section header without its "]" or with text after it, a line that is
    // neither a key with a value nor a comment, a quote left open at the
    // end; 0 when there is none.
    int damagedLine() const;

    // The file's spelling of a key and of a value (QSettings' escapes).
    static QByteArray escapedKey(const QString &key);
    static QByteArray escapedValue(const QString &text);
    static QString unescapedKey(const QByteArray &key);
    static QString unescapedValue(const QByteArray &value);

private:
    // A line as QSettings reads it, which may span several lines of text.
    struct Line
    {
        int begin = 0;             // its first byte that is not blank
        int end = 0;               // its end of line, the ";" of its comment, or the end
        int equals = -1;           // its first "=" outside quotes, or -1
        int number = 0;            // the line of text it begins on, 1-based
        bool openQuote = false;    // the data ended inside double quotes
        bool endsInEscape = false; // the data ended in a backslash escape
        bool isSection = false;
        QString section; // the section it belongs to, or names
    };

    QVector<Line> lines() const;
    bool damaged(const Line &line) const;
    QString keyOf(const Line &line) const;
    QByteArray valueOf(const Line &line) const;
    // Where a line may be added after the line, and what must precede it.
    int insertionPoint(const Line &line, QByteArray *prefix) const;
    QByteArray endOfLine() const;

    QByteArray m_bytes;
};
