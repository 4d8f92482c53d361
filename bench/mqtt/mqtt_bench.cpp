// Prints what publishing costs the station's window thread, measured on the
// real publisher against a real mosquitto on a free port of 127.0.0.1: the
// time one publish() takes while the broker is connected and while it is
// away (the message then waits in the queue), and the memory an hour of
// read-cycle messages takes in that queue. The last line sums it up.

#include "e2e/MosquittoBroker.h"
#include "publishing/MosquittoPublisher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// A read cycle's message with every value, as the station publishes it.
QByteArray message(quint64 seq)
{
    return "{\"time\":\"2026-12-08T14:05:30.250+01:00\",\"seq\":" + QByteArray::number(seq) +
        ",\"therm1\":21.5,\"therm2\":21.75,\"therm3\":22,\"ph1_mv\":2545.3,\"ph1\":6.878,"
        "\"ph2_mv\":2601.7,\"ph2\":7.0904,\"flow_hz\":172.5,\"flow_lpm\":1.5,\"liters\":37.25}";
}

// Microseconds per publish(): median and 99th percentile.
std::pair<double, double> timePublishes(MosquittoPublisher &publisher, int count, quint64 *seq)
{
    std::vector<double> times;
    times.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QByteArray payload = message(++*seq);
        QElapsedTimer timer;
        timer.start();
        publisher.publish(QStringLiteral("readings"), payload);
        times.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() * 99 / 100]};
}

bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return done();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const int port = freePort();
    MosquittoBroker broker(QStringLiteral(MOSQUITTO_PATH), folder.path(), port);
    if (!broker.start()) {
        std::fprintf(stderr, "mqtt-bench: mosquitto does not start\n");
        return 1;
    }

    MqttSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = port;
    settings.stationId = QStringLiteral("bench");
    MosquittoPublisher publisher(settings);
    if (!waitFor([&] { return publisher.link() == Publisher::Link::Connected; }, 30000)) {
        std::fprintf(stderr, "mqtt-bench: no connection: %s\n", qPrintable(publisher.linkText()));
        return 1;
    }

    quint64 seq = 0;
    constexpr int Connected = 20000;
    const auto [connectedMedian, connectedP99] = timePublishes(publisher, Connected, &seq);
    QElapsedTimer draining;
    draining.start();
    waitFor([&] { return publisher.waiting() == 0; }, 60000);
    const double drainedPerSecond = Connected / (draining.nsecsElapsed() / 1e9);

    broker.stop();
    waitFor([&] { return publisher.link() != Publisher::Link::Connected; }, 10000);
    constexpr int Hour = 3600; // one read cycle a second
    const auto [queuedMedian, queuedP99] = timePublishes(publisher, Hour, &seq);
    const double hourKb = publisher.waitingBytes() / 1024.0;

    std::printf("connected: publish_us median=%.2f p99=%.2f over %d messages; broker took "
                "%.0f messages/s\n",
                connectedMedian, connectedP99, Connected, drainedPerSecond);
    std::printf("broker away: publish_us median=%.2f p99=%.2f; an hour of messages (%d) waits in "
                "%.0f KB\n",
                queuedMedian, queuedP99, Hour, hourKb);
    std::printf("mqtt_publish_us=%.2f mqtt_publish_p99_us=%.2f queued_publish_us=%.2f "
                "queue_hour_kb=%.0f\n",
                connectedMedian, connectedP99, queuedMedian, hourKb);
    return 0;
}
