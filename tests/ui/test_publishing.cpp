#include "fakes/FakeClock.h"
#include "fakes/FakePublisher.h"
#include "fakes/FakeSettingsStore.h"
#include "station/StationState.h"
#include "ui/main/Publishing.h"

#include <QLabel>
#include <QtTest>

#include <memory>

namespace {

// Publishing over fakes; the publisher it made last, if any.
struct Rig
{
    Rig()
        : publishing(
              state, clock, store,
              [this](const MqttSettings &settings) {
                  auto publisher = std::make_unique<FakePublisher>(settings);
                  made = publisher.get();
                  return publisher;
              },
              lamp, &window)
    {
    }

    StationState state;
    FakeClock clock;
    FakeSettingsStore store;
    QWidget window;
    QLabel *lamp = new QLabel(&window);
    FakePublisher *made = nullptr;
    Publishing publishing;
};

} // namespace

class TestPublishing : public QObject
{
    Q_OBJECT

private slots:
    void lampTellsDroppedApart_data();
    void lampTellsDroppedApart();
};

// clang-format off
void TestPublishing::lampTellsDroppedApart_data()
{
    QTest::addColumn<int>("readings");
    QTest::addColumn<int>("events");
    QTest::addColumn<QString>("shown");

    QTest::newRow("readingsOnly") << 676 << 0   << "(676 readings dropped)";
    QTest::newRow("eventsOnly")   << 0   << 3   << "(3 events dropped)";
    QTest::newRow("both")         << 676 << 162 << "(676 readings, 162 events dropped)";
}
// clang-format on

void TestPublishing::lampTellsDroppedApart()
{
    QFETCH(int, readings);
    QFETCH(int, events);
    QFETCH(QString, shown);

    Rig rig;
    MqttSettings settings;
    settings.host = QStringLiteral("broker.lan");
    rig.publishing.start(settings);
    QVERIFY(rig.made);
    rig.made->dropped_ = {quint64(readings), quint64(events)};
    rig.made->linkChanged.notify();
    QVERIFY2(rig.lamp->text().endsWith(shown), qPrintable(rig.lamp->text()));
}

QTEST_MAIN(TestPublishing)
#include "test_publishing.moc"
