// Any settings file the writer accepts (one without a damaged line): a value
// written into it reads back exactly, every other key keeps the value it
// read as before, and the file is still undamaged.
//
// Input: a byte choosing the section and key, a byte giving the value's
// length in UTF-16 units, those units (two bytes each, low byte first),
// then the file's bytes.

#include "platform/qt/IniFile.h"

#include <cstdlib>
#include <iterator>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

const QPair<QString, QString> KEYS[] = {
    {QStringLiteral("Coefficients"), QStringLiteral("offset")},
    {QStringLiteral("Coefficients"), QStringLiteral("serial number2")},
    {QStringLiteral("Other Section"), QStringLiteral("a/b")},
    {QStringLiteral("general"), QStringLiteral("x")},
    {QString(), QStringLiteral("top")},
    {QStringLiteral("Coefficients"), QString::fromUtf8("Sonde \u00e4 \u4e2d %U")},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const auto &[section, key] = KEYS[data[0] % std::size(KEYS)];
    const size_t units = qMin<size_t>(data[1], (size - 2) / 2);
    QString text;
    for (size_t n = 0; n < units; ++n)
        text += QChar(ushort(data[2 + 2 * n] | data[3 + 2 * n] << 8));
    const size_t at = 2 + 2 * units;
    IniFile file(QByteArray(reinterpret_cast<const char *>(data + at), int(size - at)));
    if (file.damagedLine() != 0)
        return 0;

    auto expected = file.values();
    expected.insert({section, key}, text);
    file.setValue(section, key, text);

    const IniFile written(file.bytes());
    check(written.damagedLine() == 0);
    QString read;
    check(written.value(section, key, &read) && read == text);
    check(written.values() == expected);
    return 0;
}
