// Any stored offset, slope or date text, under three locales: a number is
// either refused with the value left alone, or finite and read back from its
// own log form; a date is either invalid or survives the trip through the
// stored ISO text and the day count of the record unchanged.

#include "calibration/CalibrationText.h"
#include "station/NumberText.h"
#include "station/OleDate.h"

#include <cmath>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

const QLocale LOCALES[] = {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                           QLocale(QLocale::English, QLocale::UnitedStates),
                           QLocale(QLocale::English, QLocale::UnitedKingdom)};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QLocale &locale = LOCALES[data[0] % std::size(LOCALES)];
    QLocale::setDefault(locale);
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));

    double value = -12345.678;
    if (!CalibrationText::toNumber(text, &value)) {
        check(value == -12345.678);
    } else {
        check(std::isfinite(value));
        // Its 15-digit form with a period reads back as (nearly) itself in any locale.
        double again = 0;
        check(CalibrationText::toNumber(NumberText::plain(value), &again));
        check(std::fabs(again - value) <= 1e-14 * std::fabs(value));
    }

    const QDate date = CalibrationText::toDate(text, locale);
    if (date.isValid()) {
        check(date.year() >= 1 && date.year() <= 9999);
        const QString stored = CalibrationText::fromDate(date);
        check(CalibrationText::toDate(stored, locale) == date);
        check(CalibrationText::toDate(stored, QLocale::c()) == date);
        check(OleDates::toDate(OleDates::fromDate(date)) == date);
    }
    return 0;
}
