#include "alarms/ui/LiveView.h"

#include "alarms/Alarms.h"
#include "alarms/ui/ModuleLamps.h"

#include <QLabel>
#include <QMenuBar>

LiveView::LiveView(const ReadingAge &ages, const SerialPort &port, Alarms &alarms, const Labels &l,
                   QMenuBar *menuBar)
    : m_ages(ages)
    , m_alarms(alarms)
    , m_lamps(new ModuleLamps(ages, port, menuBar))
{
    using R = ReadingAge::Reading;
    using M = ReadingAge::Module;
    m_displays = {
        {l.lblHz, R::Flow, M::Flow, {}},
        {l.lblLitersPerMin, R::Flow, M::Flow, {QStringLiteral("flow")}},
        {l.liters, R::Flow, M::Flow, {QStringLiteral("liters")}},
        {l.lblmV, R::Ph1mV, M::Ph1, {}},
        {l.lblpH, R::Ph1, M::Ph1, {QStringLiteral("ph1"), QStringLiteral("deviation")}},
        {l.lblmV1, R::Ph2mV, M::Ph2, {}},
        {l.lblpH1, R::Ph2, M::Ph2, {QStringLiteral("ph2"), QStringLiteral("deviation")}},
        {l.lblTherm1, R::Therm1, M::Therm1, {QStringLiteral("therm1")}},
        {l.lblTherm2, R::Therm2, M::Therm2, {QStringLiteral("therm2")}},
        {l.lblTherm3, R::Therm3, M::Therm3, {QStringLiteral("therm3")}},
    };
    for (const Display &display : qAsConst(m_displays))
        m_marks.add(display.label);
    menuBar->setCornerWidget(m_lamps, Qt::TopRightCorner);
    m_lamps->show();
    m_timer.setInterval(500);
    m_ticks = QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { refresh(); });
    m_timer.start();
    m_handlers.install(m_alarms.changed, [this] { showAlarms(); });
}

LiveView::~LiveView()
{
    QObject::disconnect(m_ticks);
}

void LiveView::refresh()
{
    m_lamps->refresh();
    for (const Display &display : qAsConst(m_displays)) {
        const auto age = m_ages.age(display.reading);
        // A value is stale once it is old, or while its group is on and
        // nothing has been read: the "000" of the start is no reading.
        const bool on = m_ages.freshness(display.module) != ReadingAge::Freshness::Off;
        const bool stale = !m_ages.isFresh(display.reading) && (age || on);
        m_marks.setStale(display.label, stale,
                         stale ? QStringLiteral("Not fresh: %1").arg(ModuleLamps::ageText(age))
                               : QString());
    }
}

void LiveView::showAlarms()
{
    for (const Display &display : qAsConst(m_displays)) {
        ValueMarks::Frame frame = ValueMarks::Frame::None;
        QStringList texts;
        for (const Alarm &alarm : m_alarms.alarms()) {
            const AlarmDefinition &d = alarm.definition;
            const bool onValue = display.sources.contains(d.source) && d.check != AlarmCheck::Stale;
            const bool onModule = d.check == AlarmCheck::Stale && d.module == display.module;
            if (!(onValue || onModule) || alarm.state == AlarmState::Normal ||
                alarm.state == AlarmState::Shelved)
                continue;
            texts << QStringLiteral("%1: %2").arg(d.description(), AlarmStates::name(alarm.state));
            // The one that most wants the operator shows.
            const ValueMarks::Frame own = alarm.state == AlarmState::Active
                ? ValueMarks::Frame::Active
                : alarm.state == AlarmState::Returned ? ValueMarks::Frame::Returned
                                                      : ValueMarks::Frame::Acknowledged;
            if (frame == ValueMarks::Frame::None || own == ValueMarks::Frame::Active ||
                (own == ValueMarks::Frame::Returned && frame == ValueMarks::Frame::Acknowledged))
                frame = own;
        }
        m_marks.setAlarm(display.label, frame, texts.join(QLatin1Char('\n')));
    }
}
