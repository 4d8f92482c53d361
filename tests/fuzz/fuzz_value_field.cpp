// Any value field text: a parse either fails and leaves the value alone, or
// yields a finite number that the field's own digits agree with.

#include "station/NumberText.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString field =
        QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<int>(size));
    double value = 12345.0;
    const bool ok = NumberText::parseValueField(field, &value);
    if (!ok && value != 12345.0)
        std::abort();
    if (ok) {
        if (!std::isfinite(value))
            std::abort();
        bool cOk = false;
        const double again = field.trimmed().toDouble(&cOk);
        if (!cOk || again != value)
            std::abort();
    }
    return 0;
}
