// Any command line (arguments separated by 0x00): reading it never crashes,
// and what it accepts is usable as it is: a log or a review file is
// absolute, a broker has a host and a port, a station id passes its check.

#include "service/CommandLine.h"

#include <QDir>

#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList arguments{QStringLiteral("kestrom-dgh")};
    for (const QByteArray &argument :
         QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size)).split('\0'))
        arguments << QString::fromLocal8Bit(argument);

    const CommandLine::Result result = CommandLine::parse(arguments);
    if (result.action == CommandLine::Action::Fail) {
        check(!result.error.isEmpty());
        return 0;
    }
    const StationOptions &options = result.options;
    if (result.action == CommandLine::Action::Review) {
        check(!options.reviewFiles.isEmpty());
        for (const QString &file : options.reviewFiles)
            check(QDir::isAbsolutePath(file));
    }
    if (options.logMode != StationOptions::LogMode::None)
        check(QDir::isAbsolutePath(options.logFile));
    if (options.mqtt.enabled()) {
        check(!options.mqtt.host.isEmpty() && options.mqtt.port >= 1 && options.mqtt.port <= 65535);
        check(MqttSettings::stationIdProblem(options.mqtt.stationId).isEmpty());
        check(options.mqtt.passwordFile.isEmpty() ||
              (QDir::isAbsolutePath(options.mqtt.passwordFile) && !options.mqtt.user.isEmpty()));
    }
    return 0;
}
