#include "alarms/AlarmSettings.h"

#include "config/ConfigValue.h"
#include "config/StationConfig.h"

#include <QHash>

namespace {

const QString Deadband = QStringLiteral("deadband");
const QString Delay = QStringLiteral("delay");
const QString Deviation = QStringLiteral("deviation");
const QString DeviationKey = QStringLiteral("deviation.ph");
const QString StaleKey = QStringLiteral("stale.seconds");

AlarmCheck limitCheck(int index)
{
    static const AlarmCheck checks[] = {AlarmCheck::LowLow, AlarmCheck::Low, AlarmCheck::High,
                                        AlarmCheck::HighHigh};
    return checks[index];
}

QString sourceOfModule(ReadingAge::Module module)
{
    static const char *const sources[ReadingAge::MODULES] = {"flow",   "ph1",    "ph2",
                                                             "therm1", "therm2", "therm3"};
    return QString::fromLatin1(sources[static_cast<int>(module)]);
}

// The key lines of the section, by key, as read: a number each, or the
// problem it gave.
class Values
{
public:
    Values(const QVector<IniFile::Entry> &entries,
           const std::function<QString(const IniFile::Entry &)> &where, QStringList *problems)
        : m_where(where)
        , m_problems(problems)
    {
        for (const IniFile::Entry &entry : entries)
            m_entries.insert(entry.key, entry);
    }

    bool has(const QString &key) const
    {
        return m_entries.contains(key) && !m_entries[key].value.trimmed().isEmpty();
    }
    const IniFile::Entry &entry(const QString &key) const { return m_entries.find(key).value(); }
    QString text(const QString &key) const { return entry(key).value.trimmed(); }
    QString line(const QString &key) const
    {
        return QStringLiteral("%1: [%2] %3 = \"%4\"")
            .arg(m_where(entry(key)), AlarmSettings::SECTION, key, text(key));
    }

    // The key's number, when it is set and reads as one from minimum up
    // (above it when `above`) to maximum; else a problem saying what of
    // it is not armed.
    bool number(const QString &key, double minimum, bool above, double maximum,
                const QString &notArmed, double *value)
    {
        if (!has(key))
            return false;
        QString why;
        if (!ConfigValue::parseNumber(text(key), value))
            why = QStringLiteral("is not a number");
        else if (above && *value <= minimum)
            why = QStringLiteral("must be above %1").arg(minimum);
        else if (!above && *value < minimum)
            why = minimum == 0 ? QStringLiteral("must not be negative")
                               : QStringLiteral("must be at least %1").arg(minimum);
        else if (*value > maximum)
            why = QStringLiteral("must be at most %1").arg(maximum);
        if (why.isEmpty())
            return true;
        m_problems->append(QStringLiteral("%1 %2; %3").arg(line(key), why, notArmed));
        return false;
    }

    QStringList keys() const { return m_entries.keys(); }

private:
    QHash<QString, IniFile::Entry> m_entries;
    std::function<QString(const IniFile::Entry &)> m_where;
    QStringList *m_problems;
};

QString notArmed(const QStringList &names)
{
    if (names.isEmpty())
        return QStringLiteral("it arms nothing");
    return names.size() == 1
        ? QStringLiteral("%1 is not armed").arg(names.first())
        : QStringLiteral("%1 are not armed").arg(names.join(QStringLiteral(", ")));
}

} // namespace

int AlarmDefinition::rank() const
{
    return check == AlarmCheck::HighHigh || check == AlarmCheck::LowLow ||
            check == AlarmCheck::PortDown
        ? 2
        : 1;
}

QString AlarmDefinition::description() const
{
    switch (check) {
    case AlarmCheck::HighHigh:
        return AlarmSettings::sourceName(source) + QStringLiteral(" high high");
    case AlarmCheck::High: return AlarmSettings::sourceName(source) + QStringLiteral(" high");
    case AlarmCheck::Low: return AlarmSettings::sourceName(source) + QStringLiteral(" low");
    case AlarmCheck::LowLow: return AlarmSettings::sourceName(source) + QStringLiteral(" low low");
    case AlarmCheck::Deviation: return QStringLiteral("pH 1 and pH 2 apart");
    case AlarmCheck::Stale:
        return QStringLiteral("%1 (module %2) stale")
            .arg(AlarmSettings::sourceName(source), ReadingAge::address(module));
    case AlarmCheck::PortDown: return QStringLiteral("Port down");
    }
    return name;
}

QString AlarmDefinition::unit() const
{
    if (check == AlarmCheck::Stale || check == AlarmCheck::PortDown)
        return QStringLiteral("s");
    if (source.startsWith(QLatin1String("ph")) || source == Deviation)
        return QStringLiteral("pH");
    if (source.startsWith(QLatin1String("therm")))
        return QStringLiteral("\u00b0C");
    return source == QLatin1String("flow") ? QStringLiteral("L/min") : QStringLiteral("L");
}

const QStringList &AlarmSettings::limitSources()
{
    static const QStringList sources{QStringLiteral("ph1"),    QStringLiteral("ph2"),
                                     QStringLiteral("therm1"), QStringLiteral("therm2"),
                                     QStringLiteral("therm3"), QStringLiteral("flow"),
                                     QStringLiteral("liters")};
    return sources;
}

const QStringList &AlarmSettings::limitKeys()
{
    static const QStringList keys{QStringLiteral("low_low"), QStringLiteral("low"),
                                  QStringLiteral("high"), QStringLiteral("high_high")};
    return keys;
}

QString AlarmSettings::sourceName(const QString &source)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("ph1"), QStringLiteral("pH 1")},
        {QStringLiteral("ph2"), QStringLiteral("pH 2")},
        {QStringLiteral("therm1"), QStringLiteral("Thermistor 1")},
        {QStringLiteral("therm2"), QStringLiteral("Thermistor 2")},
        {QStringLiteral("therm3"), QStringLiteral("Thermistor 3")},
        {QStringLiteral("flow"), QStringLiteral("Flow")},
        {QStringLiteral("liters"), QStringLiteral("Total litres")},
        {QStringLiteral("port"), QStringLiteral("Port")},
        {Deviation, QStringLiteral("pH 1 and pH 2")}};
    return names.value(source, source);
}

AlarmSettings AlarmSettings::read(const StationConfig &config)
{
    return read(config.section(SECTION),
                [&config](const IniFile::Entry &entry) { return config.where(entry); });
}

AlarmSettings AlarmSettings::read(const QVector<IniFile::Entry> &entries,
                                  const std::function<QString(const IniFile::Entry &)> &where)
{
    AlarmSettings settings;
    Values values(entries, where, &settings.problems);
    QStringList known{COMMAND, DeviationKey, StaleKey, Deviation + QStringLiteral(".") + Deadband,
                      Deviation + QStringLiteral(".") + Delay};

    // The shared deadband and delay of a source's alarms: without them as
    // asked, none of them is armed.
    const auto sharedSettings = [&](const QString &source, const QStringList &names,
                                    double *deadband, std::chrono::milliseconds *delay) {
        double value = 0;
        bool fine = true;
        const QString deadbandKey = source + QLatin1Char('.') + Deadband;
        const QString delayKey = source + QLatin1Char('.') + Delay;
        if (values.number(deadbandKey, 0, false, qInf(), notArmed(names), &value))
            *deadband = value;
        else
            fine = fine && !values.has(deadbandKey);
        if (values.number(delayKey, 0, false, MAX_SECONDS, notArmed(names), &value))
            *delay = std::chrono::milliseconds(qRound64(value * 1000));
        else
            fine = fine && !values.has(delayKey);
        return fine;
    };

    for (const QString &source : limitSources()) {
        QStringList keys;
        QStringList names;
        for (const QString &limit : limitKeys()) {
            keys << source + QLatin1Char('.') + limit;
            if (values.has(keys.last()))
                names << keys.last();
        }
        known << keys << source + QLatin1Char('.') + Deadband << source + QLatin1Char('.') + Delay;
        double deadband = 0;
        std::chrono::milliseconds delay{0};
        if (!sharedSettings(source, names, &deadband, &delay))
            continue;
        // Each limit that reads, then each that stands in order with the
        // one configured below it.
        double limits[4] = {};
        bool armed[4] = {};
        for (int i = 0; i < 4; ++i)
            armed[i] =
                values.number(keys[i], -qInf(), false, qInf(), notArmed({keys[i]}), &limits[i]);
        int below = -1;
        for (int i = 0; i < 4; ++i) {
            if (!armed[i])
                continue;
            if (below >= 0 && limits[below] >= limits[i]) {
                settings.problems.append(
                    QStringLiteral("%1 is not above %2 = %3 (%4); %5")
                        .arg(values.line(keys[i]), keys[below], values.text(keys[below]),
                             where(values.entry(keys[below])), notArmed({keys[below], keys[i]})));
                armed[below] = false;
                armed[i] = false;
                below = -1;
                continue;
            }
            below = i;
        }
        for (int i = 3; i >= 0; --i) {
            if (!armed[i])
                continue;
            AlarmDefinition alarm;
            alarm.name = keys[i];
            alarm.source = source;
            alarm.check = limitCheck(i);
            alarm.limit = limits[i];
            alarm.deadband = deadband;
            alarm.delay = delay;
            settings.alarms.append(alarm);
        }
    }

    double limit = 0;
    double deadband = 0;
    std::chrono::milliseconds delay{0};
    const QStringList deviation =
        values.has(DeviationKey) ? QStringList{DeviationKey} : QStringList();
    if (sharedSettings(Deviation, deviation, &deadband, &delay) &&
        values.number(DeviationKey, 0, true, qInf(), notArmed(deviation), &limit)) {
        AlarmDefinition alarm;
        alarm.name = DeviationKey;
        alarm.source = Deviation;
        alarm.check = AlarmCheck::Deviation;
        alarm.limit = limit;
        alarm.deadband = deadband;
        alarm.delay = delay;
        settings.alarms.append(alarm);
    }

    if (values.number(StaleKey, 0, true, MAX_SECONDS,
                      QStringLiteral("no stale or port alarm is armed"), &limit)) {
        for (int m = 0; m < ReadingAge::MODULES; ++m) {
            AlarmDefinition alarm;
            alarm.module = static_cast<ReadingAge::Module>(m);
            alarm.source = sourceOfModule(alarm.module);
            alarm.name = alarm.source + QStringLiteral(".stale");
            alarm.check = AlarmCheck::Stale;
            alarm.limit = limit;
            settings.alarms.append(alarm);
        }
        AlarmDefinition port;
        port.name = QStringLiteral("port");
        port.source = QStringLiteral("port");
        port.check = AlarmCheck::PortDown;
        port.limit = limit;
        settings.alarms.append(port);
    }

    if (values.has(COMMAND))
        settings.command = values.text(COMMAND);

    for (const IniFile::Entry &entry : entries)
        if (!known.contains(entry.key))
            settings.problems.append(
                QStringLiteral("%1: [%2] %3 is not a setting the station knows; it is left alone")
                    .arg(where(entry), SECTION, entry.key));
    return settings;
}
