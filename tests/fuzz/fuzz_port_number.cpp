// Any text typed as a Comm Port number, under three locales: refused text
// leaves the number alone; an accepted one is one of the text's readings
// (the locale's or the period form) rounded with halves to even.

#include "ui/main/ComPortCommand.h"

#include <QLocale>

#include <cmath>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Rounding to a whole number with exact halves to even, apart from the
// station's helper.
double halfEvenWhole(double value)
{
    double whole = std::floor(value);
    const double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0))
        whole += 1;
    return whole;
}

const QLocale LOCALES[] = {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                           QLocale(QLocale::English, QLocale::UnitedStates)};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    QLocale local = LOCALES[data[0] % std::size(LOCALES)];
    QLocale::setDefault(local);
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));

    QLocale c = QLocale::c();
    local.setNumberOptions(QLocale::RejectGroupSeparator);
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool localOk = false;
    bool cOk = false;
    const double localValue = local.toDouble(text, &localOk);
    const double cValue = c.toDouble(text, &cOk);
    const auto inRange = [](double v) {
        return std::isfinite(v) && halfEvenWhole(v) >= -32768 && halfEvenWhole(v) <= 32767;
    };

    qint16 number = 4321;
    if (!ComPortCommand::toPortNumber(text, &number)) {
        check(number == 4321);
        // A plain period number in range is never refused.
        check(localOk || !cOk || !inRange(cValue));
        return 0;
    }
    const bool asLocal = localOk && inRange(localValue) && number == halfEvenWhole(localValue);
    const bool asC = cOk && inRange(cValue) && number == halfEvenWhole(cValue);
    check(asLocal || asC);
    const double read = asLocal ? localValue : cValue;
    if (read - std::floor(read) == 0.5)
        check(number % 2 == 0);
    return 0;
}
