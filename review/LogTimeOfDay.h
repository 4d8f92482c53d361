#pragma once

#include <QHash>
#include <QLocale>
#include <QString>
#include <QTime>

// Reads the time of day of a record's Time text in any form the station
// writes: the long time form of every locale Qt knows, whatever its digits
// (Arabic-Indic, Persian, ...), its AM/PM words ("PM", "오후", "下午") and
// where they stand, so that a log written under other regional settings
// still reads. Blanks of any kind count as one blank, and letter case does
// not matter.
class LogTimeOfDay
{
public:
    // Longer texts are refused unread: no locale's time comes near it.
    static constexpr int LongestText = 64;

    // Where two locales read one form differently, the given locale decides.
    explicit LogTimeOfDay(const QLocale &locale = QLocale());

    // Invalid when the text is no time of day in any of those forms.
    QTime read(const QString &text) const;
    // The same from the bytes of a record's time field (UTF-8): its place in
    // the day in seconds, or -1. The forms nearly every log holds
    // ("14:05:30", "2:05:30 PM") are read from the bytes themselves. Safe
    // to call from several threads at once.
    int secondOfDay(const char *text, int size) const;

    enum class Clock { Hours24, Am, Pm, Ambiguous };
    // The form of a time text: each run of digits as '#', blanks as one
    // blank, case folded; false when it does not hold hours, minutes and
    // seconds, each one or two digits. digits receives them.
    static bool shapeOf(const QString &text, QString *shape, int digits[3]);

private:
    QHash<QString, Clock> m_forms;
};
