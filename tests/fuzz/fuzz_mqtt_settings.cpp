// Any text as a broker address and as a station id: a broker accepted and
// written back as host:port reads back as the same host and port; an id
// accepted is one libmosquitto and a dashboard take as it is: short, whole
// characters, no topic wildcards, nothing that turns the text's direction.

#include "publishing/MqttSettings.h"

#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool turnsDirection(uint c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
        (c >= 0x2066 && c <= 0x2069);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));

    QString host;
    int port = 0;
    QString why;
    if (MqttSettings::parseBroker(text, &host, &port, &why)) {
        check(!host.isEmpty() && port >= 1 && port <= 65535);
        QString again;
        int againPort = 0;
        check(MqttSettings::parseBroker(MqttSettings::formatBroker(host, port), &again, &againPort,
                                        &why));
        check(again == host && againPort == port);
    } else {
        check(!why.isEmpty());
    }

    // The raw UTF-16 too, lone surrogates and all, as a dialog could hand it over.
    QString raw(static_cast<int>(size / 2), Qt::Uninitialized);
    std::memcpy(raw.data(), data, static_cast<size_t>(raw.size()) * sizeof(QChar));
    for (const QString &id : {text, raw}) {
        if (!MqttSettings::stationIdProblem(id).isEmpty())
            continue;
        check(QString::fromUtf8(id.toUtf8()) == id);
        const QVector<uint> points = id.toUcs4();
        check(points.size() <= MqttSettings::MAX_STATION_ID);
        for (const uint c : points)
            check(c != '/' && c != '+' && c != '#' && c >= 0x20 && !turnsDirection(c) &&
                  (c & 0xFFFE) != 0xFFFE && !(c >= 0xFDD0 && c <= 0xFDEF));
    }
    return 0;
}
