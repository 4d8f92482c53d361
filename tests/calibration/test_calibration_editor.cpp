#include "calibration/CalibrationEditor.h"
#include "calibration/CalibrationFixture.h"
#include "calibration/CalibrationHistory.h"
#include "calibration/CalibrationStore.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWidgets.h"
#include "station/StationState.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Notes, at each write, which of probe 2's fields StationState already holds.
class OrderRecordingStore : public FakeSettingsStore
{
public:
    const StationState *watched = nullptr;
    QStringList log;
    bool setValue(const QString &a, const QString &s, const QString &k, const QString &text,
                  QString *why) override
    {
        log << QStringLiteral("%1 offset=%2 slope=%3 serial=%4 date=%5")
                   .arg(k)
                   .arg(watched->probe2Offset)
                   .arg(watched->probe2Slope)
                   .arg(watched->probe2Serial)
                   .arg(watched->probe2CalDate);
        return FakeSettingsStore::setValue(a, s, k, text, why);
    }
};

struct OwnState
{
    StationState state;
};

// The editor with a station record of its own.
struct Dialog : OwnState, EditorRig
{
    explicit Dialog(SettingsStore &settings) : EditorRig(settings, state) { }
};
} // namespace

class TestCalibrationEditor : public QObject
{
    Q_OBJECT

private slots:
    void saveOrderKeepsFieldsInStep();
    void probeChoiceSetsThatProbesDate();
    void dateChange_data();
    void dateChange();
    void notANumberRefused_data();
    void notANumberRefused();
    void storeFailureReported();
    void historyOfSaves_data();
    void historyOfSaves();
    void historyOnlyInARegularFile_data();
    void historyOnlyInARegularFile();
};

void TestCalibrationEditor::saveOrderKeepsFieldsInStep()
{
    OrderRecordingStore settings;
    Dialog d(settings);
    settings.watched = &d.state;
    d.probe.select(1);
    // Start from zero to see each field follow its own key.
    d.state.probe2Offset = 0;
    d.state.probe2Slope = 0;
    d.state.probe2Serial.clear();
    d.state.probe2CalDate = 0;
    d.offset.setText(QStringLiteral("2.5"));
    d.slope.setText(QStringLiteral("4.25"));
    d.serialNumber.setText(QStringLiteral("S9"));
    d.date.setDate(QDate(2026, 1, 2));
    d.editor.save();

    const QStringList expected{
        QStringLiteral("offset2 offset=0 slope=0 serial= date=0"),
        QStringLiteral("slope2 offset=2.5 slope=0 serial= date=0"),
        QStringLiteral("serial number2 offset=2.5 slope=4.25 serial= date=0"),
        QStringLiteral("date2 offset=2.5 slope=4.25 serial=S9 date=0"),
    };
    QCOMPARE(settings.log, expected);
    QCOMPARE(d.state.probe2CalDate, oleDays(QDate(2026, 1, 2)));
    QCOMPARE(settings.values.value(storePath("date2")), QStringLiteral("2026-01-02"));
}

void TestCalibrationEditor::probeChoiceSetsThatProbesDate()
{
    FakeSettingsStore settings;
    settings.values[storePath("date2")] = QStringLiteral("2025-07-08");
    Dialog d(settings);
    d.state.probe2CalDate = 0;
    d.probe.select(1);
    QCOMPARE(d.date.date(), QDate(2025, 7, 8));
    QCOMPARE(d.state.probe2CalDate, oleDays(QDate(2025, 7, 8)));
    QCOMPARE(d.state.probe1CalDate, oleDays(QDate(2001, 1, 1)));
}

// clang-format off
void TestCalibrationEditor::dateChange_data()
{
    QTest::addColumn<int>("member");
    QTest::addColumn<bool>("probe1Follows");

    QTest::newRow("noProbe")   << int(OptionGroup::None) << true;
    QTest::newRow("probe1")    << 0                      << true;
    QTest::newRow("probe2")    << 1                      << false;
}
// clang-format on

void TestCalibrationEditor::dateChange()
{
    QFETCH(int, member);
    QFETCH(bool, probe1Follows);

    FakeSettingsStore settings;
    Dialog d(settings);
    if (member != OptionGroup::None)
        d.probe.select(member);
    const StationState before = d.state;
    d.date.pick(QDate(2026, 12, 1));

    QCOMPARE(d.state.probe1CalDate,
             probe1Follows ? oleDays(QDate(2026, 12, 1)) : before.probe1CalDate);
    QCOMPARE(d.state.probe2CalDate, before.probe2CalDate);
    QCOMPARE(settings.writes, 0);
}

// clang-format off
void TestCalibrationEditor::notANumberRefused_data()
{
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("slope");
    QTest::addColumn<QStringList>("named"); // what the message must quote

    QTest::newRow("offsetLetters") << "abc"   << "4.5"  << QStringList{"offset \"abc\""};
    QTest::newRow("slopeEmpty")    << "2.5"   << ""     << QStringList{"slope \"\""};
    QTest::newRow("slopeBlank")    << "2.5"   << "  "   << QStringList{"slope \"  \""};
    QTest::newRow("offsetComma")   << "2,5"   << "4.5"  << QStringList{"offset \"2,5\""};
    QTest::newRow("slopeNan")      << "2.5"   << "nan"  << QStringList{"slope \"nan\""};
    QTest::newRow("bothWrong")     << "x"     << "y"    << QStringList{"offset \"x\"", "slope \"y\""};
}
// clang-format on

void TestCalibrationEditor::notANumberRefused()
{
    QFETCH(QString, offset);
    QFETCH(QString, slope);
    QFETCH(QStringList, named);

    FakeSettingsStore settings;
    Dialog d(settings);
    d.probe.select(1);
    const StationState before = d.state;
    d.offset.setText(offset);
    d.slope.setText(slope);
    d.serialNumber.setText(QStringLiteral("new"));
    d.date.pick(QDate(2026, 5, 5));
    d.editor.save();

    QCOMPARE(settings.writes, 0);
    QVERIFY(settings.values.isEmpty());
    QCOMPARE(d.state.probe2Offset, before.probe2Offset);
    QCOMPARE(d.state.probe2Slope, before.probe2Slope);
    QCOMPARE(d.state.probe2Serial, before.probe2Serial);
    QCOMPARE(d.state.probe2CalDate, before.probe2CalDate);
    QCOMPARE(d.messages.texts.size(), 1);
    for (const QString &part : named)
        QVERIFY2(d.messages.texts.first().contains(part), qPrintable(d.messages.texts.first()));
    QCOMPARE(d.messages.titles.first(), QStringLiteral("Kestrom dgh "));
    // What was typed stays for the operator to correct.
    QCOMPARE(d.offset.text(), offset);
}

void TestCalibrationEditor::storeFailureReported()
{
    FakeSettingsStore settings;
    Dialog d(settings);
    settings.writable = false;
    settings.problem = QStringLiteral("The settings file cannot be read.");
    d.probe.select(0);
    d.offset.setText(QStringLiteral("2.1"));
    d.editor.save();
    QCOMPARE(d.state.probe1Offset, 2.5777);
    QCOMPARE(d.messages.texts.size(), 1);
    QVERIFY(d.messages.texts.first().contains(QStringLiteral("pH Probe #1")));
    // Why it could not be written, not a reading problem beside the point.
    QVERIFY(d.messages.texts.first().contains(QStringLiteral("The fake store is read-only.")));
    QVERIFY(!d.messages.texts.first().contains(settings.problem));
}

// clang-format off
void TestCalibrationEditor::historyOfSaves_data()
{
    QTest::addColumn<bool>("filledIn");   // by the buffer assistant
    QTest::addColumn<QString>("slopeTyped"); // by the operator afterwards; empty: none
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("line");

    const QString buffers = "pH 7.000 at 25.00 degC: 2453.00 mV; pH 4.008 at 25.00 degC: 1650.16 mV";
    QTest::newRow("byHand")        << false << "4.5" << "180312"
        << "2026-12-07T14:05:30+00:00,2,2.4530,4.5,180312,";
    QTest::newRow("fromAssistant") << true  << ""    << "180312"
        << "2026-12-07T14:05:30+00:00,2,2.4530,4.5358,180312," + buffers;
    QTest::newRow("assistantThenEdited") << true << "4.6000" << "180312"
        << "2026-12-07T14:05:30+00:00,2,2.4530,4.6000,180312,";
    QTest::newRow("serialQuoted")  << false << "4.5" << "SN \"7\", tank"
        << "2026-12-07T14:05:30+00:00,2,2.4530,4.5,\"SN \"\"7\"\", tank\",";
}
// clang-format on

void TestCalibrationEditor::historyOfSaves()
{
    QFETCH(bool, filledIn);
    QFETCH(QString, slopeTyped);
    QFETCH(QString, serial);
    QFETCH(QString, line);

    QTemporaryDir folder;
    FakeClock clock;
    clock.wallClock = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 30), Qt::UTC);
    const CalibrationHistory history(clock, folder.filePath("history/calibration-history.csv"));
    FakeSettingsStore settings;
    StationState state;
    EditorRig rig(settings, state, &history);
    CalibrationEditor &editor = rig.editor;
    if (filledIn) {
        editor.fillIn(2, "2.4530", "4.5358", QDate(2026, 12, 7),
                      "pH 7.000 at 25.00 degC: 2453.00 mV; pH 4.008 at 25.00 degC: 1650.16 mV");
    } else {
        rig.probe.select(1);
        rig.offset.setText("2.4530");
    }
    if (!slopeTyped.isEmpty())
        rig.slope.setText(slopeTyped);
    rig.serialNumber.setText(serial);
    editor.save();
    editor.save(); // each Save is a line

    QFile file(history.fileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    QCOMPARE(lines, QStringList({"Time,Probe,Offset,Slope,Serial Number,Buffers", line, line, ""}));
    QVERIFY(rig.messages.texts.isEmpty());
}

// clang-format off
void TestCalibrationEditor::historyOnlyInARegularFile_data()
{
    QTest::addColumn<QString>("planted"); // where the history goes
    QTest::addColumn<QString>("why");

    QTest::newRow("linkToFile")     << "linkToFile"     << "symbolic link";
    QTest::newRow("linkToNothing")  << "linkToNothing"  << "symbolic link";
    QTest::newRow("fifoWithReader") << "fifoWithReader" << "FIFO";
}
// clang-format on

void TestCalibrationEditor::historyOnlyInARegularFile()
{
    QFETCH(QString, planted);
    QFETCH(QString, why);

    // A shared folder where someone else put something in the history's place.
    QTemporaryDir folder;
    const QString fileName = folder.filePath("calibration-history.csv");
    const QString victim = folder.filePath("victim.txt");
    int reader = -1;
    if (planted == "linkToFile") {
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("precious\n");
    }
    if (planted.startsWith("link"))
        QVERIFY(QFile::link(victim, fileName));
    if (planted == "fifoWithReader") {
        QCOMPARE(::mkfifo(QFile::encodeName(fileName).constData(), 0644), 0);
        reader = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
    }

    FakeClock clock;
    const CalibrationHistory history(clock, fileName);
    const QString problem = history.append({1, "2.5", "4.5", "180312", QString()});
    char received[64];
    const ssize_t throughFifo = reader >= 0 ? ::read(reader, received, sizeof received) : 0;
    if (reader >= 0)
        ::close(reader);

    QVERIFY2(problem.contains(why), qPrintable(problem));
    QCOMPARE(throughFifo <= 0, true);
    QFile target(victim);
    if (planted == "linkToFile") {
        QVERIFY(target.open(QIODevice::ReadOnly));
        QCOMPARE(target.readAll(), QByteArray("precious\n"));
    } else {
        QVERIFY(!target.exists());
    }
}

QTEST_GUILESS_MAIN(TestCalibrationEditor)
#include "test_calibration_editor.moc"
