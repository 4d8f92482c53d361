#include "alarms/ui/ModuleLamps.h"

#include "platform/SerialPort.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVariant>

namespace {

struct Look
{
    const char *glyph;
    const char *colour;
};

Look look(ReadingAge::Freshness freshness)
{
    switch (freshness) {
    case ReadingAge::Freshness::Fresh: return {"\u25cf", "#00a000"};
    case ReadingAge::Freshness::Stale: return {"\u25d0", "#d08000"};
    case ReadingAge::Freshness::Failing: return {"\u2716", "#d00000"};
    case ReadingAge::Freshness::Off: return {"\u25cb", "#808080"};
    }
    return {"?", "#000000"};
}

QString lampText(const Look &shown, const QString &name)
{
    return QStringLiteral("<span style=\"color:%1\">%2</span>&nbsp;%3")
        .arg(QLatin1String(shown.colour), QString::fromUtf8(shown.glyph), name.toHtmlEscaped());
}

const char *const LampNames[ReadingAge::MODULES] = {"lampFlow", "lampPh1", "lampPh2",
                                                    "lampT1",   "lampT2",  "lampT3"};

} // namespace

ModuleLamps::ModuleLamps(const ReadingAge &ages, const SerialPort &port, QWidget *parent)
    : QWidget(parent)
    , m_ages(ages)
    , m_port(port)
    , m_portLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("moduleLamps"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->setSpacing(10);
    layout->addStretch(); // packed to the right, beside the window's edge
    m_portLabel->setObjectName(QStringLiteral("lblPort"));
    m_portLabel->setTextFormat(Qt::RichText);
    layout->addWidget(m_portLabel);
    for (int m = 0; m < ReadingAge::MODULES; ++m) {
        m_lamps[m] = new QLabel(this);
        m_lamps[m]->setObjectName(QString::fromLatin1(LampNames[m]));
        m_lamps[m]->setTextFormat(Qt::RichText);
        layout->addWidget(m_lamps[m]);
    }
    refresh();
}

QString ModuleLamps::stateName(ReadingAge::Freshness freshness)
{
    switch (freshness) {
    case ReadingAge::Freshness::Fresh: return QStringLiteral("fresh");
    case ReadingAge::Freshness::Stale: return QStringLiteral("stale");
    case ReadingAge::Freshness::Failing: return QStringLiteral("failing");
    case ReadingAge::Freshness::Off: return QStringLiteral("off");
    }
    return QString();
}

QString ModuleLamps::ageText(std::optional<std::chrono::nanoseconds> age)
{
    if (!age)
        return QStringLiteral("no reading yet");
    const long long seconds = std::chrono::duration_cast<std::chrono::seconds>(*age).count();
    if (seconds < 60)
        return QStringLiteral("read %1 s ago").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("read %1 min %2 s ago").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("read %1 h %2 min ago").arg(seconds / 3600).arg(seconds / 60 % 60);
}

void ModuleLamps::refresh()
{
    for (int m = 0; m < ReadingAge::MODULES; ++m) {
        const auto module = static_cast<ReadingAge::Module>(m);
        const ReadingAge::Freshness freshness = m_ages.freshness(module);
        const QString state = stateName(freshness);
        const QString text = lampText(look(freshness), ReadingAge::shortName(module));
        if (m_lamps[m]->text() != text) {
            m_lamps[m]->setText(text);
            m_lamps[m]->setProperty("freshness", state);
        }
        m_lamps[m]->setToolTip(QStringLiteral("%1 (module %2): %3, %4")
                                   .arg(ReadingAge::shortName(module), ReadingAge::address(module),
                                        state, ageText(m_ages.age(ReadingAge::readingOf(module)))));
    }

    // The device is looked up only when the port changes.
    const bool open = m_port.isOpen();
    const QString key = QStringLiteral("%1 %2").arg(m_port.portNumber()).arg(open);
    if (key == m_portShown)
        return;
    m_portShown = key;
    QString device = m_port.deviceName();
    if (device.startsWith(QLatin1String("/dev/")))
        device = device.mid(5);
    const QString name = device.isEmpty()
        ? QStringLiteral("Port %1").arg(m_port.portNumber())
        : QStringLiteral("Port %1 (%2)").arg(m_port.portNumber()).arg(device);
    const Look shown = open ? Look{"\u25cf", "#00a000"} : Look{"\u2716", "#d00000"};
    // A long device path must not push the menus off the bar: cut in its middle.
    const int room = fontMetrics().horizontalAdvance(QStringLiteral("Port 88 (ttyUSB88) closed"));
    m_portLabel->setText(
        lampText(shown,
                 fontMetrics().elidedText(open ? name : name + QStringLiteral(" closed"),
                                          Qt::ElideMiddle, room)));
    m_portLabel->setProperty("open", open);
    m_portLabel->setToolTip(open ? QStringLiteral("The modules' line: port %1, %2")
                                       .arg(m_port.portNumber())
                                       .arg(m_port.deviceName())
                                 : QStringLiteral("Port %1 is closed%2")
                                       .arg(m_port.portNumber())
                                       .arg(m_port.lostReason().isEmpty()
                                                ? QString()
                                                : QStringLiteral(": ") + m_port.lostReason()));
}
