#include "channels/CycleReads.h"
#include "publishing/ReadingsMessage.h"
#include "station/StationState.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

// The message of one read cycle: only what that cycle read.
class TestReadingsMessage : public QObject
{
    Q_OBJECT

private slots:
    // clang-format off
    void eventTextsReadBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain")     << "NO VALID RETURN FROM pH MODULE";
        QTest::newRow("quotes")    << "Cannot write to the log file \"/data/a \"b\".csv\": Disk full";
        QTest::newRow("backslash") << "C:\\logs\\tank.txt";
        QTest::newRow("controls")  << QString("line\nbreak\ttab\x01\x1f end");
        QTest::newRow("unicode")   << QString::fromUtf8("S/N \xce\xa9-\xc2\xb5 \xe2\x82\xac");
    }
    // clang-format on
    void eventTextsReadBack()
    {
        QFETCH(QString, text);
        const QDateTime time(QDate(2026, 12, 8), QTime(14, 5, 30, 250), Qt::OffsetFromUTC, 3600);
        const QByteArray json = EventMessage::json(
            time, "log", "fault", text, JsonMessage().add("count", qint64(3)).add("rate", qQNaN()));
        QJsonParseError error{};
        const QJsonObject object = QJsonDocument::fromJson(json, &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, json.constData());
        QCOMPARE(object.value("text").toString(), text);
        QCOMPARE(object.value("time").toString(), QStringLiteral("2026-12-08T14:05:30.250+01:00"));
        QCOMPARE(object.value("count").toInt(), 3);
        QVERIFY(object.value("rate").isNull());
        QVERIFY2(json.startsWith("{\"time\":") && json.endsWith(JsonMessage::quoted(text) + '}'),
                 json.constData()); // the text last, as the journal's line has it
    }

    // clang-format off
    void onlyWhatWasRead_data()
    {
        QTest::addColumn<QStringList>("read"); // modules read in the cycle
        QTest::addColumn<QByteArray>("json");

        const QByteArray head = "{\"time\":\"2026-12-08T14:05:30.250+01:00\",\"seq\":42";
        QTest::newRow("nothing")  << QStringList{} << QByteArray();
        QTest::newRow("probe1")   << QStringList{"6"} << head + ",\"ph1_mv\":2545.3,\"ph1\":6.878}";
        QTest::newRow("flow")     << QStringList{"5"}
                                  << head + ",\"flow_hz\":172.5,\"flow_lpm\":1.5,\"liters\":37.25}";
        QTest::newRow("thermTwo") << QStringList{"2", "3"} << head + ",\"therm2\":21.75,\"therm3\":22}";
        QTest::newRow("all")      << QStringList{"1", "2", "3", "5", "6", "7"}
                                  << head + ",\"therm1\":21.5,\"therm2\":21.75,\"therm3\":22,"
                                            "\"ph1_mv\":2545.3,\"ph1\":6.878,\"ph2_mv\":2601.7,"
                                            "\"ph2\":7.0904,\"flow_hz\":172.5,\"flow_lpm\":1.5,"
                                            "\"liters\":37.25}";
    }
    // clang-format on

    void onlyWhatWasRead()
    {
        QFETCH(QStringList, read);
        QFETCH(QByteArray, json);

        // Every value of the log's worked example, as earlier cycles left them.
        StationState state;
        state.therm1Temp = 21.5;
        state.therm2Temp = 21.75;
        state.therm3Temp = 22;
        state.probe1mV = 2545.3;
        state.probe2mV = 2601.7;
        state.probe1pH = 6.878;
        state.probe2pH = 7.0904;
        state.flowHz = 172.5;
        state.flowLpm = 1.5;
        state.totalLiters = 37.25;
        const auto before = ReadCounts::of(state);
        for (const QString &module : read) {
            quint32 *reads[] = {&state.therm1Reads, &state.therm2Reads, &state.therm3Reads, nullptr,
                                &state.flowReads,   &state.probe1Reads, &state.probe2Reads};
            quint32 *pHs[] = {nullptr,
                              nullptr,
                              nullptr,
                              nullptr,
                              nullptr,
                              &state.probe1pHReads,
                              &state.probe2pHReads};
            const int index = module.toInt() - 1;
            ++*reads[index];
            if (pHs[index])
                ++*pHs[index];
        }
        const QDateTime time(QDate(2026, 12, 8), QTime(14, 5, 30, 250), Qt::OffsetFromUTC, 3600);
        QCOMPARE(ReadingsMessage::json(state, {before, ReadCounts::of(state)}, time, 42), json);
    }
};

QTEST_GUILESS_MAIN(TestReadingsMessage)
#include "test_readings_message.moc"
