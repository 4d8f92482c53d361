#include "station/MqttSettings.h"

#include "platform/SettingsStore.h"

#include <QFile>
#include <QStringList>
#include <QSysInfo>

#include <algorithm>

namespace {

const QString Application = QStringLiteral("Kestrom Science DGH Driver");
const QString HostKey = QStringLiteral("broker");
const QString StationIdKey = QStringLiteral("station id");
const QString TlsKey = QStringLiteral("tls");
const QString UserKey = QStringLiteral("user");
const QString PasswordFileKey = QStringLiteral("password file");

} // namespace

bool MqttSettings::parseBroker(const QString &text, QString *host, int *port, QString *why)
{
    const QString trimmed = text.trimmed();
    // An IPv6 address takes a port only in brackets: [::1]:1883.
    const int bracket =
        trimmed.startsWith(QLatin1Char('[')) ? trimmed.indexOf(QLatin1Char(']')) : -1;
    const bool bareIpv6 = bracket < 0 && trimmed.count(QLatin1Char(':')) > 1;
    const int colon = bareIpv6 ? -1 : trimmed.indexOf(QLatin1Char(':'), std::max(bracket, 0));
    *host = colon < 0 ? trimmed : trimmed.left(colon);
    if (bracket > 0)
        *host = trimmed.mid(1, bracket - 1);
    else if (trimmed.startsWith(QLatin1Char('[')))
        host->clear(); // no closing bracket
    *port = DEFAULT_PORT;
    if (colon >= 0) {
        bool number = false;
        *port = trimmed.mid(colon + 1).toInt(&number);
        if (!number || *port < 1 || *port > 65535) {
            *why = QStringLiteral("the port in '%1' is not a number from 1 to 65535.").arg(text);
            return false;
        }
    }
    if (host->isEmpty() || host->contains(QLatin1Char(' '))) {
        *why = QStringLiteral("'%1' is not HOST or HOST:PORT.").arg(text);
        return false;
    }
    return true;
}

QString MqttSettings::stationIdProblem(const QString &id)
{
    for (const QChar c : {QLatin1Char('/'), QLatin1Char('+'), QLatin1Char('#')})
        if (id.contains(c))
            return QStringLiteral("The station id '%1' may not hold '/', '+' or '#': they have "
                                  "a meaning of their own in MQTT topics.")
                .arg(id);
    if (id.trimmed() != id)
        return QStringLiteral("The station id '%1' may not begin or end with a blank.").arg(id);
    if (std::any_of(id.begin(), id.end(),
                    [](QChar c) { return c.category() == QChar::Other_Control; }))
        return QStringLiteral("The station id may not hold control characters.");
    return {};
}

QString MqttSettings::stationIdOrHostName() const
{
    return stationId.isEmpty() ? QSysInfo::machineHostName() : stationId;
}

bool MqttSettings::password(QString *text, QString *why) const
{
    if (passwordFile.isEmpty()) {
        *text = qEnvironmentVariable(PASSWORD_VARIABLE.toLatin1().constData());
        return true;
    }
    QFile file(passwordFile);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("the password file %1 cannot be read: %2")
                   .arg(passwordFile, file.errorString());
        return false;
    }
    *text = QString::fromUtf8(file.readLine()).trimmed();
    return true;
}

MqttSettings MqttSettings::load(const SettingsStore &store)
{
    MqttSettings settings;
    QString why;
    const QString broker = store.value(Application, SECTION, HostKey, QString());
    if (!broker.isEmpty() && !parseBroker(broker, &settings.host, &settings.port, &why))
        settings.host.clear();
    settings.stationId = store.value(Application, SECTION, StationIdKey, QString());
    if (!stationIdProblem(settings.stationId).isEmpty())
        settings.host.clear();
    settings.tls =
        store.value(Application, SECTION, TlsKey, QStringLiteral("no")) == QLatin1String("yes");
    settings.user = store.value(Application, SECTION, UserKey, QString());
    settings.passwordFile = store.value(Application, SECTION, PasswordFileKey, QString());
    return settings;
}

bool MqttSettings::save(SettingsStore &store, QString *why) const
{
    const QString broker = host.isEmpty() ? QString() : QStringLiteral("%1:%2").arg(host).arg(port);
    const QStringList keys{HostKey, StationIdKey, TlsKey, UserKey, PasswordFileKey};
    const QStringList values{broker, stationId, tls ? QStringLiteral("yes") : QStringLiteral("no"),
                             user, passwordFile};
    for (int i = 0; i < keys.size(); ++i)
        if (!store.setValue(Application, SECTION, keys[i], values[i], why))
            return false;
    return true;
}
