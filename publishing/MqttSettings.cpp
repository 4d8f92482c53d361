#include "publishing/MqttSettings.h"

#include "config/ConfigValue.h"
#include "platform/SettingsStore.h"
#include "publishing/HaDiscovery.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <algorithm>

namespace {

const QString Application = QStringLiteral("Kestrom Science DGH Driver");
const QString HostKey = QStringLiteral("broker");
const QString StationIdKey = QStringLiteral("station id");
const QString TlsKey = QStringLiteral("tls");
const QString UserKey = QStringLiteral("user");
const QString PasswordFileKey = QStringLiteral("password file");

// station.conf's names, spelt as the command line's options.
const QString ConfigStationIdKey = QStringLiteral("station-id");
const QString ConfigPasswordFileKey = QStringLiteral("password-file");
const QString DiscoveryKey = QStringLiteral("discovery");

// A host name or address never holds these; a bracket inside one would
// not survive being written back as HOST:PORT.
bool unfitForHost(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control || c == QLatin1Char('[') ||
        c == QLatin1Char(']');
}

// Controls that turn the direction of the text after them: on a dashboard
// they make one station's name read as another's.
bool changesDirection(char32_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
        (c >= 0x2066 && c <= 0x2069);
}

// Code points Unicode keeps out of interchange; libmosquitto refuses them.
bool isNonCharacter(char32_t c)
{
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

QString codePoint(char32_t c)
{
    return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
}

// The first line of a password file, which may be empty; false with the
// reason when it cannot be read. Only a regular file of a sane size is
// opened: a FIFO would block the reader and /dev/zero never ends.
bool readPasswordFile(const QString &path, QString *text, QString *why)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *why = QStringLiteral("the password file %1 cannot be read: it does not exist").arg(path);
        return false;
    }
    if (!info.isFile()) {
        *why = QStringLiteral("the password file %1 is not a regular file").arg(path);
        return false;
    }
    if (info.size() > MqttSettings::MAX_PASSWORD_FILE) {
        *why = QStringLiteral("the password file %1 is too large for a password (%2 bytes)")
                   .arg(path, QString::number(info.size()));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why =
            QStringLiteral("the password file %1 cannot be read: %2").arg(path, file.errorString());
        return false;
    }
    *text = QString::fromUtf8(file.readLine(MqttSettings::MAX_PASSWORD_FILE)).trimmed();
    return true;
}

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
    if (bracket > 0 && (colon < 0 ? trimmed.size() : colon) == bracket + 1)
        *host = trimmed.mid(1, bracket - 1);
    else if (trimmed.startsWith(QLatin1Char('[')))
        host->clear(); // no closing bracket, or more after it than a port
    *port = DEFAULT_PORT;
    if (colon >= 0) {
        bool number = false;
        *port = trimmed.mid(colon + 1).toInt(&number);
        if (!number || *port < 1 || *port > 65535) {
            *why = QStringLiteral("the port in '%1' is not a number from 1 to 65535.").arg(text);
            return false;
        }
    }
    if (host->isEmpty() || std::any_of(host->begin(), host->end(), unfitForHost)) {
        *why = QStringLiteral("'%1' is not HOST or HOST:PORT.").arg(text);
        return false;
    }
    return true;
}

QString MqttSettings::formatBroker(const QString &host, int port)
{
    // One arg() for both: a '%' in the host must not take the port.
    const QString pattern =
        host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]:%2") : QStringLiteral("%1:%2");
    return pattern.arg(host, QString::number(port));
}

QString MqttSettings::stationIdProblem(const QString &id)
{
    const QVector<uint> points = id.toUcs4();
    if (points.size() > MAX_STATION_ID)
        return QStringLiteral("The station id is %1 characters long; at most %2 are allowed.")
            .arg(points.size())
            .arg(MAX_STATION_ID);
    for (const QChar c : {QLatin1Char('/'), QLatin1Char('+'), QLatin1Char('#')})
        if (id.contains(c))
            return QStringLiteral("The station id '%1' may not hold '/', '+' or '#': they have "
                                  "a meaning of their own in MQTT topics.")
                .arg(id);
    if (id.trimmed() != id)
        return QStringLiteral("The station id '%1' may not begin or end with a blank.").arg(id);
    for (int i = 0; i < id.size(); ++i) {
        const QChar c = id.at(i);
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("The station id may not hold control characters.");
        char32_t point = c.unicode();
        if (c.isHighSurrogate() && i + 1 < id.size() && id.at(i + 1).isLowSurrogate())
            point = QChar::surrogateToUcs4(c, id.at(++i));
        else if (c.isSurrogate())
            return QStringLiteral("The station id holds half of a character (%1).")
                .arg(codePoint(point));
        if (changesDirection(point))
            return QStringLiteral("The station id may not hold %1, which turns the direction of "
                                  "the text after it: a dashboard would show a different name.")
                .arg(codePoint(point));
        // A UTF-8 reader drops a leading one as a byte-order mark, so the id
        // would come back from the settings file as a different station.
        if (point == 0xFEFF)
            return QStringLiteral("The station id may not hold U+FEFF, an invisible mark that "
                                  "some readers drop: the id would not read back as written.");
        if (isNonCharacter(point))
            return QStringLiteral("The station id may not hold %1, which is not a character.")
                .arg(codePoint(point));
    }
    return {};
}

QString MqttSettings::stationIdOrHostName() const
{
    return stationId.isEmpty() ? QSysInfo::machineHostName() : stationId;
}

QString MqttSettings::problem() const
{
    if (!invalid.isEmpty())
        return invalid;
    const QString idProblem = stationIdProblem(stationId);
    if (!idProblem.isEmpty())
        return idProblem;
    if (!passwordFile.isEmpty() && user.isEmpty())
        return QStringLiteral("A password file is given without a user: a broker takes a "
                              "password only with a user name. Give the user too.");
    QString text;
    QString why;
    if (!passwordFile.isEmpty() && readPasswordFile(passwordFile, &text, &why) && text.isEmpty())
        return QStringLiteral("The password file %1 holds no password on its first line.")
            .arg(passwordFile);
    if (!discoveryPrefix.isEmpty()) {
        const QString prefixProblem = HaDiscovery::prefixProblem(discoveryPrefix);
        if (!prefixProblem.isEmpty())
            return prefixProblem;
        return HaDiscovery::stationIdProblem(stationIdOrHostName());
    }
    return {};
}

QStringList MqttSettings::warnings() const
{
    QStringList found;
    const QFileInfo file(passwordFile);
    if (!passwordFile.isEmpty() && file.isFile() &&
        (file.permissions() & (QFile::ReadGroup | QFile::ReadOther)))
        found << QStringLiteral("the password file %1 can be read by other users; "
                                "make it yours alone (chmod 600).")
                     .arg(passwordFile);
    const bool sendsPassword = !passwordFile.isEmpty() || !environmentPassword.isEmpty();
    if (!user.isEmpty() && sendsPassword && !tls)
        found << QStringLiteral("the password of %1 goes to %2 unencrypted: without TLS anyone "
                                "on the way can read it.")
                     .arg(user, formatBroker(host, port));
    return found;
}

bool MqttSettings::password(QString *text, QString *why) const
{
    if (passwordFile.isEmpty()) {
        *text = environmentPassword;
        return true;
    }
    if (!readPasswordFile(passwordFile, text, why))
        return false;
    if (text->isEmpty()) {
        *why = QStringLiteral("the password file %1 holds no password").arg(passwordFile);
        return false;
    }
    return true;
}

QString MqttSettings::takePasswordFromEnvironment()
{
    const QByteArray name = PASSWORD_VARIABLE.toLatin1();
    const QString password = qEnvironmentVariable(name.constData());
    qunsetenv(name.constData());
    return password;
}

QStringList MqttSettings::configKeys()
{
    return {HostKey, ConfigStationIdKey, TlsKey, UserKey, ConfigPasswordFileKey, DiscoveryKey};
}

MqttSettings MqttSettings::fromConfig(const StationConfig &config, QStringList *problems)
{
    MqttSettings settings;
    const QString &section = CONFIG_SECTION;
    const auto refuse = [&](const QString &key, const QString &why) {
        problems->append(
            QStringLiteral("%1: [%2] %3 = \"%4\": %5")
                .arg(config.where(section, key), section, key, config.text(section, key), why));
    };
    const QString broker = config.text(section, HostKey);
    QString why;
    if (!broker.isEmpty() && !parseBroker(broker, &settings.host, &settings.port, &why)) {
        settings.host.clear();
        refuse(HostKey, why);
    }
    settings.stationId = config.text(section, ConfigStationIdKey);
    const QString idProblem = stationIdProblem(settings.stationId);
    if (!idProblem.isEmpty())
        refuse(ConfigStationIdKey, idProblem);
    config.boolean(section, TlsKey, &settings.tls, problems);
    settings.user = config.text(section, UserKey);
    settings.passwordFile = config.text(section, ConfigPasswordFileKey);
    if (!settings.passwordFile.isEmpty()) {
        settings.passwordFile = QFileInfo(settings.passwordFile).absoluteFilePath();
        if (settings.user.isEmpty())
            refuse(ConfigPasswordFileKey,
                   QStringLiteral("a broker takes a password only with a user name; give "
                                  "user too."));
    }
    settings.discoveryPrefix = config.text(section, DiscoveryKey);
    if (!settings.discoveryPrefix.isEmpty()) {
        const QString prefixProblem = HaDiscovery::prefixProblem(settings.discoveryPrefix);
        if (!prefixProblem.isEmpty())
            refuse(DiscoveryKey, prefixProblem);
    }
    return settings;
}

QVector<StationConfig::Change> MqttSettings::toConfigChanges() const
{
    const QString &section = CONFIG_SECTION;
    return {{section, HostKey, host.isEmpty() ? QString() : formatBroker(host, port)},
            {section, ConfigStationIdKey, stationId},
            {section, TlsKey, ConfigValue::booleanText(tls)},
            {section, UserKey, user},
            {section, ConfigPasswordFileKey, passwordFile},
            {section, DiscoveryKey, discoveryPrefix}};
}

MqttSettings MqttSettings::load(const SettingsStore &store)
{
    MqttSettings settings;
    const QString broker = store.value(Application, SECTION, HostKey, QString());
    if (broker.isEmpty())
        return settings; // publishing is off; the rest does not matter
    QString why;
    if (!parseBroker(broker, &settings.host, &settings.port, &why))
        settings.invalid = QStringLiteral("The broker in the settings: %1").arg(why);
    settings.stationId = store.value(Application, SECTION, StationIdKey, QString());
    if (settings.invalid.isEmpty())
        settings.invalid = stationIdProblem(settings.stationId);
    const QString tls = store.value(Application, SECTION, TlsKey, QString());
    if (!tls.trimmed().isEmpty() && !ConfigValue::parseBoolean(tls, &settings.tls) &&
        settings.invalid.isEmpty())
        settings.invalid = QStringLiteral("The setting tls=%1 is neither yes nor no (true or "
                                          "false, 1 or 0): not connecting rather than guess.")
                               .arg(tls);
    settings.user = store.value(Application, SECTION, UserKey, QString());
    settings.passwordFile = store.value(Application, SECTION, PasswordFileKey, QString());
    return settings;
}

bool MqttSettings::save(SettingsStore &store, QString *why) const
{
    const QString broker = host.isEmpty() ? QString() : formatBroker(host, port);
    const QStringList keys{HostKey, StationIdKey, TlsKey, UserKey, PasswordFileKey};
    const QStringList values{broker, stationId, tls ? QStringLiteral("yes") : QStringLiteral("no"),
                             user, passwordFile};
    for (int i = 0; i < keys.size(); ++i)
        if (!store.setValue(Application, SECTION, keys[i], values[i], why))
            return false;
    return true;
}
