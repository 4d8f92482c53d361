#include "calibration/CalibrationFixture.h"
#include "calibration/CalibrationStore.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSettingsStore.h"
#include "station/ModuleLink.h"
#include "station/StationState.h"

#include <QtTest>

Q_DECLARE_METATYPE(CalibrationItem)

namespace {
// The calibration fields that do not hold what a fresh store gives.
QStringList notDefault(const StationState &state)
{
    const double firstOfJanuary2001 = oleDays(QDate(2001, 1, 1));
    QStringList fields;
    if (state.probe1Offset != 2.5777)
        fields << "probe1Offset";
    if (state.probe1Slope != 4.5427)
        fields << "probe1Slope";
    if (state.probe1Serial != "180312")
        fields << "probe1Serial";
    if (state.probe1CalDate != firstOfJanuary2001)
        fields << "probe1CalDate";
    if (state.probe2Offset != 2.5777)
        fields << "probe2Offset";
    if (state.probe2Slope != 4.5427)
        fields << "probe2Slope";
    if (state.probe2Serial != "180312")
        fields << "probe2Serial";
    if (state.probe2CalDate != firstOfJanuary2001)
        fields << "probe2CalDate";
    return fields;
}
} // namespace

class TestCalibrationStore : public QObject
{
    Q_OBJECT

private slots:
    void firstRunGivesDefaultsAndWritesNothing();
    void keys_data();
    void keys();
    void probe2SavedOnly();
    void storedTextsKeptAsTyped_data();
    void storedTextsKeptAsTyped();
    void readProbeCalibrationAppliesDefaults();
    void unreadableStoredValue_data();
    void unreadableStoredValue();
    void severalUnreadableValuesOneMessage();
    void writeFailureReported();
    void unreadableStoreTold();
};

void TestCalibrationStore::firstRunGivesDefaultsAndWritesNothing()
{
    StoreRig rig;
    auto &[settings, state, messages, store] = rig;
    store.LoadCalibration();

    QCOMPARE(notDefault(state), QStringList());
    QVERIFY(settings.values.isEmpty());
    QCOMPARE(settings.writes, 0);
    QVERIFY(messages.texts.isEmpty());
}

// clang-format off
void TestCalibrationStore::keys_data()
{
    QTest::addColumn<int>("probe");
    QTest::addColumn<CalibrationItem>("item");
    QTest::addColumn<QString>("key");

    QTest::newRow("offset")        << 1 << CalibrationItem::Offset       << "offset";
    QTest::newRow("offset2")       << 2 << CalibrationItem::Offset       << "offset2";
    QTest::newRow("slope")         << 1 << CalibrationItem::Slope        << "slope";
    QTest::newRow("slope2")        << 2 << CalibrationItem::Slope        << "slope2";
    QTest::newRow("serialNumber")  << 1 << CalibrationItem::SerialNumber << "serial number";
    QTest::newRow("serialNumber2") << 2 << CalibrationItem::SerialNumber << "serial number2";
    QTest::newRow("date")          << 1 << CalibrationItem::Date         << "date";
    QTest::newRow("date2")         << 2 << CalibrationItem::Date         << "date2";
}
// clang-format on

void TestCalibrationStore::keys()
{
    QFETCH(int, probe);
    QFETCH(CalibrationItem, item);
    QFETCH(QString, key);

    StoreRig rig;
    auto &[settings, state, messages, store] = rig;
    QVERIFY(store.WriteCalibrationValue(probe, item, QStringLiteral("7.25")));
    QCOMPARE(settings.values.keys(), QStringList{storePath(key)});
    QCOMPARE(settings.values.value(storePath(key)), QStringLiteral("7.25"));
}

void TestCalibrationStore::probe2SavedOnly()
{
    StoreRig rig;
    auto &[settings, state, messages, store] = rig;
    store.WriteCalibrationValue(2, CalibrationItem::Offset, QStringLiteral("2.4530"));
    store.WriteCalibrationValue(2, CalibrationItem::Slope, QStringLiteral("4.5358"));
    store.WriteCalibrationValue(2, CalibrationItem::SerialNumber, QStringLiteral("A-17"));
    store.WriteCalibrationValue(2, CalibrationItem::Date, QStringLiteral("2026-11-30"));

    // The next start-up.
    StationState next;
    CalibrationStore(settings, next, messages).LoadCalibration();
    QCOMPARE(next.probe2Offset, 2.453);
    QCOMPARE(next.probe2Slope, 4.5358);
    QCOMPARE(next.probe2Serial, QStringLiteral("A-17"));
    QCOMPARE(next.probe2CalDate, oleDays(QDate(2026, 11, 30)));
    QCOMPARE(notDefault(next),
             (QStringList{"probe2Offset", "probe2Slope", "probe2Serial", "probe2CalDate"}));
    QCOMPARE(settings.values.size(), 4);
    QVERIFY(messages.texts.isEmpty());
}

// clang-format off
void TestCalibrationStore::storedTextsKeptAsTyped_data()
{
    QTest::addColumn<CalibrationItem>("item");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number"); // the field's value after start-up

    QTest::newRow("offsetTrailingZeros") << CalibrationItem::Offset << "2.45300" << 2.453;
    QTest::newRow("slopeTrailingZeros")  << CalibrationItem::Slope  << "4.5000"  << 4.5;
    QTest::newRow("slopeBlanks")         << CalibrationItem::Slope  << " 4.4 "   << 4.4;
    QTest::newRow("serialLikeNumber")    << CalibrationItem::SerialNumber << "000.0" << 0.0;
}
// clang-format on

void TestCalibrationStore::storedTextsKeptAsTyped()
{
    QFETCH(CalibrationItem, item);
    QFETCH(QString, text);
    QFETCH(double, number);

    StoreRig rig;
    auto &[settings, state, messages, store] = rig;
    store.WriteCalibrationValue(1, item, text);

    const ProbeCalibrationTexts texts = store.ReadProbeCalibration(1);
    const QString readBack = item == CalibrationItem::Offset ? texts.offset
        : item == CalibrationItem::Slope                     ? texts.slope
                                                             : texts.serialNumber;
    QCOMPARE(readBack, text);

    store.LoadCalibration();
    if (item == CalibrationItem::Offset)
        QCOMPARE(state.probe1Offset, number);
    else if (item == CalibrationItem::Slope)
        QCOMPARE(state.probe1Slope, number);
    else
        QCOMPARE(state.probe1Serial, text);
}

void TestCalibrationStore::readProbeCalibrationAppliesDefaults()
{
    StoreRig rig;
    auto &[settings, state, messages, store] = rig;
    settings.values[storePath("slope2")] = QStringLiteral("4.1");

    const ProbeCalibrationTexts probe2 = store.ReadProbeCalibration(2);
    QCOMPARE(probe2.offset, QStringLiteral("2.5777"));
    QCOMPARE(probe2.slope, QStringLiteral("4.1"));
    QCOMPARE(probe2.serialNumber, QStringLiteral("180312"));
    QCOMPARE(probe2.date, QStringLiteral("01/01/01"));
    QCOMPARE(store.ReadProbeCalibration(1).slope, QStringLiteral("4.5427"));
    QCOMPARE(settings.writes, 0);
}

// clang-format off
void TestCalibrationStore::unreadableStoredValue_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");

    QTest::newRow("offsetLetters")   << "offset"  << "abc";
    QTest::newRow("offset2Empty")    << "offset2" << "";
    QTest::newRow("slopeTwoPoints")  << "slope"   << "4.5.4";
    QTest::newRow("slope2Infinite")  << "slope2"  << "inf";
    QTest::newRow("dateWords")       << "date"    << "last spring";
    QTest::newRow("date2NoSuchDay")  << "date2"   << "02/30/01";
}
// clang-format on

void TestCalibrationStore::unreadableStoredValue()
{
    QFETCH(QString, key);
    QFETCH(QString, text);

    StoreRig rig;
    auto &[settings, state, messages, store] = rig;
    settings.values[storePath(key)] = text;
    const QMap<QString, QString> before = settings.values;
    store.LoadCalibration();

    // Every field, the broken one included, holds its default.
    QCOMPARE(notDefault(state), QStringList());

    QCOMPARE(messages.texts.size(), 1);
    QVERIFY2(messages.texts.first().contains(QLatin1Char('"') + key + QLatin1Char('"')),
             qPrintable(messages.texts.first()));
    QVERIFY2(messages.texts.first().contains(QLatin1Char('"') + text + QLatin1Char('"')),
             qPrintable(messages.texts.first()));
    QCOMPARE(messages.titles.first(), QStringLiteral("Kestrom dgh "));
    QCOMPARE(settings.values, before);
    QCOMPARE(settings.writes, 0);
}

void TestCalibrationStore::severalUnreadableValuesOneMessage()
{
    StoreRig rig;
    auto &[settings, state, messages, store] = rig;
    settings.values[storePath("offset")] = QStringLiteral("x1");
    settings.values[storePath("slope2")] = QStringLiteral("y2");
    settings.values[storePath("offset2")] = QStringLiteral("1.25");
    store.LoadCalibration();

    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts.first().contains(QStringLiteral("\"x1\"")));
    QVERIFY(messages.texts.first().contains(QStringLiteral("\"y2\"")));
    QCOMPARE(state.probe2Offset, 1.25); // a good neighbour is still used
}

void TestCalibrationStore::writeFailureReported()
{
    StoreRig rig;
    auto &[settings, state, messages, store] = rig;
    settings.writable = false;
    QVERIFY(!store.WriteCalibrationValue(1, CalibrationItem::Offset, QStringLiteral("2.5")));
    QVERIFY(settings.values.isEmpty());
}

void TestCalibrationStore::unreadableStoreTold()
{
    StoreRig rig;
    auto &[settings, state, messages, store] = rig;
    settings.problem = QStringLiteral("The settings file \"x.ini\" is damaged.");
    settings.values[storePath("slope")] = QStringLiteral("bad");
    store.LoadCalibration();

    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts.first().contains(settings.problem));
    QVERIFY(messages.texts.first().contains(QStringLiteral("\"bad\"")));
    QCOMPARE(state.probe1Slope, 4.5427);
    QCOMPARE(settings.writes, 0);
}

QTEST_GUILESS_MAIN(TestCalibrationStore)
#include "test_calibration_store.moc"
