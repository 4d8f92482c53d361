// Any values in a log line: the encoded line is exactly one line ending in
// CR LF with no other CR or LF in it, a lone text is its UTF-8 between double
// quotes with CR and LF as blanks, and WriteLogLine adds exactly those bytes
// to the file.
//
// Input: a kind byte per value (text, number, date) then its bytes; a text
// runs to the next 0x00.

#include "logging/LogFile.h"
#include "logging/LogValue.h"

#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QByteArray expectedText(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    for (char &byte : bytes)
        if (byte == '\r' || byte == '\n')
            byte = ' ';
    return '"' + bytes + "\"\r\n";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    LogLine values;
    QString lastText;
    for (size_t at = 0; at < size && values.size() < 16;) {
        const uint8_t kind = data[at++] % 3;
        if (kind == 0) {
            const void *zero = std::memchr(data + at, 0, size - at);
            const size_t end =
                zero ? static_cast<size_t>(static_cast<const uint8_t *>(zero) - data) : size;
            lastText = QString::fromUtf8(reinterpret_cast<const char *>(data + at),
                                         static_cast<int>(end - at));
            values << LogValue::text(lastText);
            at = end + 1;
        } else if (kind == 1) {
            double number = 0;
            const size_t n = qMin(sizeof number, size - at);
            std::memcpy(&number, data + at, n); // any bit pattern: NaN and infinities too
            values << LogValue::number(number);
            at += n;
        } else {
            qint32 days = 0;
            const size_t n = qMin(sizeof days, size - at);
            std::memcpy(&days, data + at, n);
            values << LogValue::date(QDate(1899, 12, 30).addDays(days));
            at += n;
        }
    }

    const QByteArray line = LogValue::encodeLine(values);
    check(line.endsWith("\r\n"));
    check(line.indexOf('\r') == line.size() - 2);
    check(line.indexOf('\n') == line.size() - 1);
    if (values.size() == 1 && values.first().kind() == LogValue::Kind::Text)
        check(line == expectedText(lastText));

    // One file for the whole run, started afresh now and then so it stays small.
    static QTemporaryDir dir;
    static LogFile file;
    static int lines = 0;
    QString reason;
    if (lines++ % 4096 == 0) {
        file.close();
        check(
            file.open(dir.filePath(QStringLiteral("fuzz.log")), LogFile::Mode::Overwrite, &reason));
    }
    const qint64 before = file.size();
    check(file.WriteLogLine(values, &reason));
    check(file.size() == before + line.size());
    return 0;
}
