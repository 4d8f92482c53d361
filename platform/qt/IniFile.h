#pragma once

#include <QByteArray>
#include <QString>

// A settings file in the INI form QSettings writes ("[section]" lines,
// "key=value" lines with percent-escaped keys), read and edited as the text
// it is: values are taken as they stand in the file (a hand-typed "2,4530"
// is that text, not a list), and an edit replaces only the lines of the key
// it writes, leaving every other byte as it was, comments included.
class IniFile
{
public:
    explicit IniFile(QByteArray bytes) : m_bytes(std::move(bytes)) { }

    const QByteArray &bytes() const { return m_bytes; }

    // The value of the key in the section: its last line wins, as QSettings
    // reads it; false when the key is not there.
    bool value(const QString &section, const QString &key, QString *text) const;
    // Sets every line of the key in the section to the text; adds the key to
    // the section's last block (and the section itself) where it is missing.
    void setValue(const QString &section, const QString &key, const QString &text);

    // The first line that is neither blank, nor a comment, nor a section,
    // nor a key with a value (1-based), or 0 when every line is one of them.
    int damagedLine() const;

    // The file's spelling of a key and of a value (QSettings' escapes).
    static QByteArray escapedKey(const QString &key);
    static QByteArray escapedValue(const QString &text);
    static QString unescapedKey(const QByteArray &key);
    static QString unescapedValue(const QByteArray &value);

private:
    QByteArray m_bytes;
};
