#include "publishing/Publishing.h"

#include "config/StationConfig.h"
#include "events/EventJournal.h"
#include "platform/Clock.h"
#include "platform/qt/ErrorOutput.h"
#include "publishing/HaDiscovery.h"
#include "publishing/MosquittoPublisher.h"
#include "station/StationState.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

std::unique_ptr<Publisher> Publishing::mosquitto(const MqttSettings &settings)
{
    return std::make_unique<MosquittoPublisher>(settings);
}

QLabel *Publishing::addLamp(QStatusBar *statusBar)
{
    auto *lamp = new QLabel(statusBar);
    lamp->setObjectName(QStringLiteral("lblMqtt"));
    statusBar->addPermanentWidget(lamp);
    return lamp;
}

Publishing::Publishing(const StationState &state, const Clock &clock, StationConfig *config,
                       MakePublisher make, QLabel *indicator, QWidget *window)
    : m_state(state)
    , m_clock(clock)
    , m_config(config)
    , m_make(make ? std::move(make) : MakePublisher(&Publishing::mosquitto))
    , m_indicator(indicator)
    , m_window(window)
{
    m_indicator->hide();
}

Publishing::~Publishing()
{
    m_handlers.clear();
}

void Publishing::start(const MqttSettings &settings)
{
    m_handlers.clear();
    m_publisher.reset(); // says "offline" and lets go of the broker first
    m_current = settings;
    m_current.environmentPassword = m_environmentPassword;
    m_told.clear();
    m_refused.clear();
    if (m_current.enabled()) {
        const QString problem = m_current.problem();
        if (!problem.isEmpty()) {
            m_refused = QStringLiteral("MQTT: not publishing: %1").arg(problem);
        } else {
            for (const QString &warning : m_current.warnings())
                ErrorOutput::write(ErrorOutput::Priority::Warning,
                                   QStringLiteral("kestrom-dgh: warning: MQTT: ") + warning);
            m_publisher = m_make(m_current);
            m_handlers.install(m_publisher->linkChanged, [this] { showLink(); });
            m_handlers.install(m_publisher->received,
                               [this](const QString &topic, const QByteArray &payload) {
                                   received.notify(topic, payload);
                               });
        }
    }
    showLink();
    if (m_publisher)
        started.notify();
}

void Publishing::cycleRead(const CycleReads &reads)
{
    if (!m_publisher)
        return;
    const QByteArray message =
        ReadingsMessage::json(m_state, reads, m_clock.currentDateTime(), m_seq + 1);
    if (message.isEmpty())
        return;
    ++m_seq;
    m_publisher->publish(Publisher::READINGS, message);
}

void Publishing::publishState(const QString &subtopic, const QByteArray &payload)
{
    if (m_publisher)
        m_publisher->publish(subtopic, payload, true);
}

void Publishing::publishTopic(const QString &topic, const QByteArray &payload)
{
    if (m_publisher)
        m_publisher->publishTopic(topic, payload, true);
}

void Publishing::subscribe(const QString &topic)
{
    if (m_publisher)
        m_publisher->subscribe(topic);
}

void Publishing::eventRecorded(const StationEvent &event)
{
    if (!m_publisher)
        return;
    m_publisher->publish(Publisher::EVENTS,
                         EventMessage::json(event.time, event.source, event.kind, event.text));
}

void Publishing::showLink()
{
    if (!m_publisher && m_refused.isEmpty()) {
        m_indicator->hide();
        return;
    }
    const Publisher::Link link = m_publisher ? m_publisher->link() : Publisher::Link::Failing;
    const QString linkText = m_publisher ? m_publisher->linkText() : m_refused;
    const QString colour = link == Publisher::Link::Connected ? QStringLiteral("#00a000")
        : link == Publisher::Link::Connecting                 ? QStringLiteral("#c08000")
                                                              : QStringLiteral("#d00000");
    QString text = QStringLiteral("<span style=\"color:%1\">\u25cf</span> MQTT").arg(colour);
    const Publisher::Dropped dropped = m_publisher ? m_publisher->dropped() : Publisher::Dropped();
    QStringList lost;
    if (dropped.readings > 0)
        lost << QStringLiteral("%1 readings").arg(dropped.readings);
    if (dropped.events > 0)
        lost << QStringLiteral("%1 events").arg(dropped.events);
    if (!lost.isEmpty())
        text += QStringLiteral(" (%1 dropped)").arg(lost.join(QStringLiteral(", ")));
    m_indicator->setText(text);
    m_indicator->setToolTip(linkText);
    m_indicator->show();
    if (link == Publisher::Link::Connected) {
        m_told.clear();
    } else if (link == Publisher::Link::Failing && linkText != m_told) {
        m_told = linkText;
        ErrorOutput::write(ErrorOutput::Priority::Warning,
                           QStringLiteral("kestrom-dgh: ") + m_told);
    }
}

void Publishing::showDialog()
{
    QDialog dialog(m_window);
    dialog.setObjectName(QStringLiteral("frmMqtt"));
    dialog.setWindowTitle(QStringLiteral("MQTT Publishing"));
    auto *broker = new QLineEdit(m_current.host.isEmpty()
                                     ? QString()
                                     : MqttSettings::formatBroker(m_current.host, m_current.port));
    broker->setObjectName(QStringLiteral("txtBroker"));
    broker->setPlaceholderText(QStringLiteral("host or host:port"));
    auto *stationId = new QLineEdit(m_current.stationId);
    stationId->setObjectName(QStringLiteral("txtStationId"));
    stationId->setPlaceholderText(m_current.stationIdOrHostName());
    auto *tls = new QCheckBox(QStringLiteral("over TLS"));
    tls->setObjectName(QStringLiteral("chkTls"));
    tls->setChecked(m_current.tls);
    auto *user = new QLineEdit(m_current.user);
    user->setObjectName(QStringLiteral("txtUser"));
    auto *passwordFile = new QLineEdit(m_current.passwordFile);
    passwordFile->setObjectName(QStringLiteral("txtPasswordFile"));
    passwordFile->setPlaceholderText(
        QStringLiteral("else $%1").arg(MqttSettings::PASSWORD_VARIABLE));
    auto *discovery = new QLineEdit(m_current.discoveryPrefix);
    discovery->setObjectName(QStringLiteral("txtDiscovery"));
    discovery->setPlaceholderText(QStringLiteral("discovery prefix (%1); empty: not announced")
                                      .arg(HaDiscovery::DEFAULT_PREFIX));
    auto *state = new QLabel(m_publisher               ? m_publisher->linkText()
                                 : m_refused.isEmpty() ? QStringLiteral("Not publishing.")
                                                       : m_refused);
    state->setWordWrap(true);
    auto *problem = new QLabel;
    problem->setObjectName(QStringLiteral("lblMqttProblem"));
    problem->setStyleSheet(QStringLiteral("color: #b00000;"));
    problem->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Broker:"), broker);
    form->addRow(QStringLiteral("Station id:"), stationId);
    form->addRow(QString(), tls);
    form->addRow(QStringLiteral("User:"), user);
    form->addRow(QStringLiteral("Password file:"), passwordFile);
    form->addRow(QStringLiteral("Home Assistant:"), discovery);
    auto *buttons = new QDialogButtonBox;
    QPushButton *save =
        buttons->addButton(QStringLiteral("Save and Publish"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("cmdMqttSave"));
    QPushButton *stop =
        buttons->addButton(QStringLiteral("Stop Publishing"), QDialogButtonBox::DestructiveRole);
    stop->setObjectName(QStringLiteral("cmdMqttStop"));
    stop->setEnabled(isPublishing() || !m_refused.isEmpty());
    buttons->addButton(QDialogButtonBox::Cancel);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral(
        "Each read cycle's readings go to kestrom-dgh/<station id>/readings on the broker.")));
    layout->addLayout(form);
    layout->addWidget(state);
    layout->addWidget(problem);
    layout->addWidget(buttons);

    const auto keep = [&](const MqttSettings &settings) {
        QString why = QStringLiteral("The station was started without a settings file.");
        if (!m_config || !m_config->change(settings.toConfigChanges(), &why)) {
            problem->setText(why);
            return;
        }
        start(settings);
        dialog.accept();
    };
    QObject::connect(save, &QPushButton::clicked, &dialog, [&] {
        MqttSettings settings;
        QString why;
        if (!MqttSettings::parseBroker(broker->text(), &settings.host, &settings.port, &why)) {
            problem->setText(QStringLiteral("Broker: %1").arg(why));
            return;
        }
        settings.stationId = stationId->text();
        settings.tls = tls->isChecked();
        settings.user = user->text().trimmed();
        settings.passwordFile = passwordFile->text().trimmed();
        settings.discoveryPrefix = discovery->text().trimmed();
        why = settings.problem();
        if (!why.isEmpty()) {
            problem->setText(why);
            return;
        }
        keep(settings);
    });
    QObject::connect(stop, &QPushButton::clicked, &dialog, [&] {
        MqttSettings off = m_current;
        off.host.clear();
        off.invalid.clear();
        keep(off);
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    dialog.exec();
}
