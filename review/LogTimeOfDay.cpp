#include "review/LogTimeOfDay.h"

#include "station/LocaleTexts.h"

#include <cstring>

namespace {

using Clock = LogTimeOfDay::Clock;

// A locale's forms: one for the afternoon and one for the small hours, or a
// single one where the locale counts 24 hours. Where the table already reads
// a form otherwise, it becomes ambiguous, unless this locale decides.
void addForms(const QLocale &locale, bool decides, QHash<QString, Clock> *forms)
{
    QString afternoon;
    QString night;
    int digits[3] = {};
    if (!LogTimeOfDay::shapeOf(LocaleTexts::timeText(QTime(15, 4, 5), locale), &afternoon,
                               digits) ||
        !LogTimeOfDay::shapeOf(LocaleTexts::timeText(QTime(3, 4, 5), locale), &night, digits))
        return;
    const auto add = [&](const QString &shape, Clock clock) {
        const auto known = forms->find(shape);
        if (known == forms->end() || decides)
            forms->insert(shape, clock);
        else if (*known != clock)
            *known = Clock::Ambiguous;
    };
    if (afternoon == night) {
        add(afternoon, Clock::Hours24);
    } else {
        add(afternoon, Clock::Pm);
        add(night, Clock::Am);
    }
}

const QHash<QString, Clock> &everyLocalesForms()
{
    static const QHash<QString, Clock> forms = [] {
        QHash<QString, Clock> all;
        for (const QLocale &locale : QLocale::matchingLocales(
                 QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyCountry))
            addForms(locale, false, &all);
        return all;
    }();
    return forms;
}

// "14:05:30" or "2:05:30 PM", the forms of nearly every log, at the least cost.
QTime commonTime(const QString &text)
{
    const int size = text.size();
    const int first = size > 1 && text.at(1) == QLatin1Char(':') ? 1 : 2;
    if (size < first + 6 || text.at(first) != QLatin1Char(':') ||
        text.at(first + 3) != QLatin1Char(':'))
        return {};
    const auto digit = [&text](int at) { return text.at(at).unicode() - '0'; };
    for (const int at : {0, first - 1, first + 1, first + 2, first + 4, first + 5})
        if (digit(at) < 0 || digit(at) > 9)
            return {};
    int hour = first == 1 ? digit(0) : digit(0) * 10 + digit(1);
    const int minute = digit(first + 1) * 10 + digit(first + 2);
    const int second = digit(first + 4) * 10 + digit(first + 5);
    const QStringRef rest = text.midRef(first + 6);
    if (!rest.isEmpty()) {
        const bool pm = rest == QLatin1String(" PM");
        if ((!pm && rest != QLatin1String(" AM")) || hour < 1 || hour > 12)
            return {};
        hour = pm ? (hour % 12) + 12 : hour % 12;
    }
    return QTime(hour, minute, second);
}

// The same on bytes, without making a text of them: the second of the day, or -1.
int commonSecond(const char *text, int size)
{
    const int first = size > 1 && text[1] == ':' ? 1 : 2;
    if (size < first + 6 || text[first] != ':' || text[first + 3] != ':')
        return -1;
    const auto digit = [text](int at) { return text[at] - '0'; };
    for (const int at : {0, first - 1, first + 1, first + 2, first + 4, first + 5})
        if (digit(at) < 0 || digit(at) > 9)
            return -1;
    int hour = first == 1 ? digit(0) : digit(0) * 10 + digit(1);
    const int minute = digit(first + 1) * 10 + digit(first + 2);
    const int second = digit(first + 4) * 10 + digit(first + 5);
    const int rest = size - (first + 6);
    if (rest != 0) {
        const char *marker = text + first + 6;
        const bool pm = rest == 3 && std::memcmp(marker, " PM", 3) == 0;
        if ((!pm && (rest != 3 || std::memcmp(marker, " AM", 3) != 0)) || hour < 1 || hour > 12)
            return -1;
        hour = pm ? (hour % 12) + 12 : hour % 12;
    }
    if (hour > 23 || minute > 59 || second > 59)
        return -1;
    return hour * 3600 + minute * 60 + second;
}

} // namespace

int LogTimeOfDay::secondOfDay(const char *text, int size) const
{
    const int common = commonSecond(text, size);
    if (common >= 0)
        return common;
    if (size > 4 * LongestText)
        return -1; // more bytes than any time's characters
    const QTime time = read(QString::fromUtf8(text, size));
    return time.isValid() ? time.msecsSinceStartOfDay() / 1000 : -1;
}

LogTimeOfDay::LogTimeOfDay(const QLocale &locale) : m_forms(everyLocalesForms())
{
    addForms(locale, true, &m_forms);
}

bool LogTimeOfDay::shapeOf(const QString &text, QString *shape, int digits[3])
{
    shape->clear();
    int groups = 0;
    int width = 0; // of the run of digits being read
    bool blank = false;
    const auto token = [&] {
        if (blank && !shape->isEmpty())
            *shape += QLatin1Char(' ');
        blank = false;
    };
    for (const uint c : text.toUcs4()) {
        if (QChar::isDigit(c)) {
            if (width == 0) {
                if (groups == 3)
                    return false;
                token();
                *shape += QLatin1Char('#');
                digits[groups++] = 0;
            }
            if (++width > 2)
                return false;
            digits[groups - 1] = digits[groups - 1] * 10 + QChar::digitValue(c);
            continue;
        }
        width = 0;
        if (QChar::isSpace(c)) {
            blank = true;
        } else if (QChar::category(c) != QChar::Other_Format) { // direction marks
            token();
            *shape += QString::fromUcs4(&c, 1);
        }
    }
    *shape = shape->toCaseFolded();
    return groups == 3;
}

QTime LogTimeOfDay::read(const QString &text) const
{
    if (text.size() > LongestText)
        return {};
    const QTime common = commonTime(text);
    if (common.isValid())
        return common;
    QString shape;
    int digits[3] = {};
    if (!shapeOf(text, &shape, digits))
        return {};
    const auto form = m_forms.constFind(shape);
    if (form == m_forms.cend() || *form == Clock::Ambiguous)
        return {};
    int hour = digits[0];
    if (*form != Clock::Hours24) {
        if (hour < 1 || hour > 12)
            return {};
        hour = hour % 12 + (*form == Clock::Pm ? 12 : 0);
    }
    return QTime(hour, digits[1], digits[2]);
}
