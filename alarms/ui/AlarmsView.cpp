#include "alarms/ui/AlarmsView.h"

#include "alarms/AlarmMessage.h"
#include "alarms/ui/AlarmIndicator.h"
#include "events/EventJournal.h"
#include "platform/Clock.h"
#include "publishing/Publishing.h"

#include <QAction>
#include <QStatusBar>

namespace {
const QString Source = QStringLiteral("alarm");
}

AlarmsView::AlarmsView(const StationState &state, const ReadingAge &ages, const SerialPort &port,
                       const Clock &clock, EventJournal &journal, Publishing &publishing,
                       const StationConfig *config, QStatusBar *statusBar, const Menus &menus,
                       QWidget *window)
    : m_journal(journal)
    , m_publishing(publishing)
    , m_clock(clock)
    , m_alarms(state, ages, port, clock)
    , m_command(journal, clock)
    , m_reporter(journal, m_command, clock)
    , m_indicator(new AlarmIndicator(statusBar))
    , m_window([this, window] { return new AlarmsWindow(m_alarms, m_notes, window); })
    , m_limits([this, window] {
        // The file as it stands now: a person may have edited it meanwhile.
        QString ignored;
        m_config.load(m_config.path(), &ignored);
        QHash<QString, QString> values;
        for (const IniFile::Entry &entry : m_config.section(AlarmSettings::SECTION))
            values.insert(entry.key, entry.value.trimmed());
        return new AlarmLimitsDialog(
            values, m_config.path(),
            [this](const QVector<StationConfig::Change> &changes) { return saveLimits(changes); },
            window);
    })
{
    QString unread;
    if (config)
        m_config = *config;
    else
        m_config.load(StationConfig::defaultPath(), &unread);
    statusBar->addPermanentWidget(m_indicator);
    m_connections << QObject::connect(m_indicator, &QToolButton::clicked, m_indicator,
                                      [this] { m_window.show(); })
                  << QObject::connect(menus.alarms, &QAction::triggered, menus.alarms,
                                      [this] { m_window.show(); })
                  << QObject::connect(menus.limits, &QAction::triggered, menus.limits,
                                      [this] { m_limits.show(); });
    m_handlers.install(m_alarms.transitioned, [this](const AlarmTransition &transition) {
        m_reporter.transitioned(transition);
        for (const Alarm &alarm : m_alarms.alarms())
            if (alarm.definition.name == transition.name)
                m_publishing.publishState(AlarmMessage::topic(transition.name),
                                          AlarmMessage::stateJson(alarm, transition.time));
    });
    m_handlers.install(m_reporter.told,
                       [this](const AlarmTransition &transition) { m_desktop.notify(transition); });
    m_handlers.install(m_alarms.changed, [this] { m_indicator->showCounts(m_alarms); });
    m_handlers.install(m_publishing.started, [this] { publishStates(); });
    m_tick.setInterval(1000);
    m_connections << QObject::connect(&m_tick, &QTimer::timeout, &m_tick, [this] {
        m_alarms.tick();
        m_reporter.tick();
    });
    m_tick.start();
    if (config)
        arm(AlarmSettings::read(m_config));
}

AlarmsView::~AlarmsView()
{
    for (const QMetaObject::Connection &connection : qAsConst(m_connections))
        QObject::disconnect(connection);
}

void AlarmsView::setCommandLine(const QString &command)
{
    if (command.trimmed().isEmpty())
        return;
    m_commandFromCommandLine = true;
    m_command.setCommand(command);
}

void AlarmsView::arm(const AlarmSettings &settings)
{
    m_notes = settings.problems;
    for (const QString &problem : settings.problems)
        m_journal.record(Source, QStringLiteral("not armed"), problem);
    if (!m_commandFromCommandLine)
        m_command.setCommand(settings.command);
    const QStringList gone = m_alarms.arm(settings.alarms);
    // A subscriber must not go on seeing the state of an alarm no longer armed.
    for (const QString &name : gone)
        m_publishing.publishState(AlarmMessage::topic(name), QByteArray());
    m_indicator->showCounts(m_alarms);
}

QString AlarmsView::saveLimits(const QVector<StationConfig::Change> &changes)
{
    QString problem;
    if (!m_config.change(changes, &problem))
        return problem;
    const AlarmSettings settings = AlarmSettings::read(m_config);
    arm(settings);
    m_journal.record(Source, QStringLiteral("armed"),
                     QStringLiteral("Alarm Limits: %1 %2 armed from %3")
                         .arg(m_alarms.alarms().size())
                         .arg(m_alarms.alarms().size() == 1 ? "alarm" : "alarms")
                         .arg(m_config.path()));
    if (AlarmsWindow *list = m_window.dialog())
        list->refresh();
    return QString();
}

void AlarmsView::publishStates()
{
    const QDateTime now = m_clock.currentDateTime();
    for (const Alarm &alarm : m_alarms.alarms())
        m_publishing.publishState(AlarmMessage::topic(alarm.definition.name),
                                  AlarmMessage::stateJson(alarm, now));
}
