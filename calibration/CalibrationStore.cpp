#include "calibration/CalibrationStore.h"

#include "calibration/CalibrationText.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "station/LocaleTexts.h"
#include "station/StationState.h"

#include <QStringList>

CalibrationStore::CalibrationStore(SettingsStore &store, StationState &state, MessageBox &messages)
    : m_store(store)
    , m_state(state)
    , m_messages(messages)
{
}

QString CalibrationStore::key(int probe, CalibrationItem item)
{
    QString name;
    switch (item) {
    case CalibrationItem::Offset: name = QStringLiteral("offset"); break;
    case CalibrationItem::Slope: name = QStringLiteral("slope"); break;
    case CalibrationItem::SerialNumber: name = QStringLiteral("serial number"); break;
    case CalibrationItem::Date: name = QStringLiteral("date"); break;
    }
    return probe == 2 ? name + QLatin1Char('2') : name;
}

QString CalibrationStore::defaultText(CalibrationItem item)
{
    switch (item) {
    case CalibrationItem::Offset: return DEFAULT_OFFSET;
    case CalibrationItem::Slope: return DEFAULT_SLOPE;
    case CalibrationItem::SerialNumber: return DEFAULT_SERIAL_NUMBER;
    case CalibrationItem::Date: break;
    }
    return DEFAULT_DATE;
}

QDate CalibrationStore::dateOrDefault(const QString &text)
{
    const QDate date = CalibrationText::toDate(text);
    return date.isValid() ? date : CalibrationText::toDate(DEFAULT_DATE);
}

QString CalibrationStore::read(int probe, CalibrationItem item) const
{
    return m_store.value(APPLICATION, SECTION, key(probe, item), defaultText(item));
}

QString CalibrationStore::storeProblem() const
{
    return m_store.readProblem(APPLICATION);
}

void CalibrationStore::LoadCalibration()
{
    QStringList problems;
    if (const QString problem = storeProblem(); !problem.isEmpty())
        problems << problem;
    const auto number = [&](int probe, CalibrationItem item) {
        const QString text = read(probe, item);
        double value = 0;
        if (CalibrationText::toNumber(text, &value))
            return value;
        problems << QStringLiteral(
                        "The stored value of \"%1\" is \"%2\", which is not a number; %3 is used.")
                        .arg(key(probe, item), text, defaultText(item));
        CalibrationText::toNumber(defaultText(item), &value);
        return value;
    };
    const auto date = [&](int probe) {
        const QString text = read(probe, CalibrationItem::Date);
        QDate value = CalibrationText::toDate(text);
        if (!value.isValid()) {
            value = dateOrDefault(DEFAULT_DATE);
            problems
                << QStringLiteral(
                       "The stored value of \"%1\" is \"%2\", which is not a date; %3 is used.")
                       .arg(key(probe, CalibrationItem::Date), text,
                            QLocale().toString(value, LocaleTexts::shortDateFormat()));
        }
        return OleDates::fromDate(value);
    };

    // The order of the keys is the order they are read in.
    m_state.probe1Offset = number(1, CalibrationItem::Offset);
    m_state.probe2Offset = number(2, CalibrationItem::Offset);
    m_state.probe1Slope = number(1, CalibrationItem::Slope);
    m_state.probe2Slope = number(2, CalibrationItem::Slope);
    m_state.probe1Serial = read(1, CalibrationItem::SerialNumber);
    m_state.probe2Serial = read(2, CalibrationItem::SerialNumber);
    m_state.probe1CalDate = date(1);
    m_state.probe2CalDate = date(2);

    if (!problems.isEmpty())
        m_messages.show(problems.join(QLatin1Char('\n')));
}

ProbeCalibrationTexts CalibrationStore::ReadProbeCalibration(int probe) const
{
    return {read(probe, CalibrationItem::Offset), read(probe, CalibrationItem::Slope),
            read(probe, CalibrationItem::SerialNumber), read(probe, CalibrationItem::Date)};
}

bool CalibrationStore::WriteCalibrationValue(int probe, CalibrationItem item, const QString &text,
                                             QString *problem)
{
    return m_store.setValue(APPLICATION, SECTION, key(probe, item), text, problem);
}
