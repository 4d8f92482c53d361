#include "calibration/CalibrationFixture.h"
#include "calibration/CalibrationStore.h"
#include "calibration/CalibrationText.h"
#include "fakes/FakeMessageBox.h"
#include "platform/qt/QSettingsStore.h"
#include "station/StationState.h"

#include <QtTest>

// The settings store on a real INI file in a temporary configuration folder.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fileNameAndPlace();
    void readingNeverWrites();
    void valuesRoundTripThroughNewSettings_data();
    void valuesRoundTripThroughNewSettings();
    void keysWithBlanksInTheFile();
    void dateRoundTrip_data();
    void dateRoundTrip();
    void oldDefaultDateInFile();
    void failedWriteReported();
    void unparsableFileLeftAlone();
    void listLikeValueReadAsText();
    void readProblem_data();
    void readProblem();

private:
    QString iniPath() const { return m_dir->filePath(App + QStringLiteral(".ini")); }
    QByteArray fileBytes() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettingsFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir->path());
}

void TestSettingsFile::fileNameAndPlace()
{
    QCOMPARE(QSettingsStore::fileName(App), iniPath());
}

void TestSettingsFile::readingNeverWrites()
{
    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore(store, state, messages).LoadCalibration();
    QCOMPARE(store.value(App, Section, QStringLiteral("offset"), QStringLiteral("d")),
             QStringLiteral("d"));
    QCOMPARE(state.probe1Slope, 4.5427);
    QVERIFY(!QFile::exists(iniPath()));
    QVERIFY(QDir(m_dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

// clang-format off
void TestSettingsFile::valuesRoundTripThroughNewSettings_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");

    QTest::newRow("trailingZeros")   << "offset"         << "2.45300";
    QTest::newRow("serialNumber")    << "serial number"  << "000.0";
    QTest::newRow("blankInKey")      << "serial number2" << "SN 4711";
    QTest::newRow("commaInText")     << "serial number"  << "A, B";
    QTest::newRow("atSign")          << "serial number"  << "@lab";
    QTest::newRow("equalsAndQuotes") << "serial number"  << "x=\"1\"";
    QTest::newRow("empty")           << "slope"          << "";
    QTest::newRow("nonLatin")        << "serial number"  << "Sonde Nr. 7 \u00e4\u00df";
}
// clang-format on

void TestSettingsFile::valuesRoundTripThroughNewSettings()
{
    QFETCH(QString, key);
    QFETCH(QString, text);

    QSettingsStore store;
    QVERIFY(store.setValue(App, Section, key, text));
    QCOMPARE(store.status(), QSettings::NoError);

    // Another process: a fresh QSettings on the same file.
    QSettings fresh(iniPath(), QSettings::IniFormat);
    const QVariant stored = fresh.value(Section + QLatin1Char('/') + key);
    QCOMPARE(stored.userType(), int(QMetaType::QString));
    QCOMPARE(stored.toString(), text);
    QCOMPARE(QSettingsStore().value(App, Section, key, QStringLiteral("default")), text);
}

void TestSettingsFile::keysWithBlanksInTheFile()
{
    QSettingsStore store;
    QVERIFY(
        store.setValue(App, Section, QStringLiteral("serial number2"), QStringLiteral("000.0")));
    const QByteArray bytes = fileBytes();
    QVERIFY2(bytes.startsWith("[Coefficients]\n"), bytes.constData());
    QVERIFY2(bytes.contains("serial%20number2=000.0\n"), bytes.constData());
}

// clang-format off
void TestSettingsFile::dateRoundTrip_data()
{
    QTest::addColumn<int>("probe");
    QTest::addColumn<QDate>("date");

    QTest::newRow("probe1Today")      << 1 << QDate(2026, 12, 7);
    QTest::newRow("probe2Default")    << 2 << QDate(2001, 1, 1);
    QTest::newRow("probe1Before1930") << 1 << QDate(1929, 5, 6);
    QTest::newRow("probe2After2029")  << 2 << QDate(2035, 10, 11);
}
// clang-format on

void TestSettingsFile::dateRoundTrip()
{
    QFETCH(int, probe);
    QFETCH(QDate, date);

    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore calibration(store, state, messages);
    QVERIFY(calibration.WriteCalibrationValue(probe, CalibrationItem::Date,
                                              CalibrationText::fromDate(date)));

    QSettings fresh(iniPath(), QSettings::IniFormat);
    const QVariant stored = fresh.value(Section + QLatin1Char('/') +
                                        CalibrationStore::key(probe, CalibrationItem::Date));
    QCOMPARE(stored.userType(), int(QMetaType::QString));
    QCOMPARE(CalibrationText::toDate(stored.toString()), date);

    StationState next;
    CalibrationStore(store, next, messages).LoadCalibration();
    const double days = static_cast<double>(QDate(1899, 12, 30).daysTo(date));
    QCOMPARE(probe == 1 ? next.probe1CalDate : next.probe2CalDate, days);
    QVERIFY(messages.texts.isEmpty());
}

void TestSettingsFile::oldDefaultDateInFile()
{
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Coefficients]\ndate=01/01/01\ndate2=12/31/99\n");
    file.close();

    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore(store, state, messages).LoadCalibration();
    QCOMPARE(OleDates::toDate(state.probe1CalDate), QDate(2001, 1, 1));
    QCOMPARE(OleDates::toDate(state.probe2CalDate), QDate(1999, 12, 31));
}

void TestSettingsFile::failedWriteReported()
{
    // A folder where the file should be: no one can write it, root included.
    QVERIFY(QDir(m_dir->path()).mkdir(App + QStringLiteral(".ini")));
    QSettingsStore store;
    QVERIFY(!store.setValue(App, Section, QStringLiteral("offset"), QStringLiteral("2.5")));
    QVERIFY(store.status() != QSettings::NoError);
}

void TestSettingsFile::unparsableFileLeftAlone()
{
    const QByteArray broken = "[Coefficients]\nslope=4.1\n[broken\n\"x\n";
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(broken);
    file.close();

    // Read first, as start-up does, then saved to from the dialog.
    QSettingsStore store;
    QCOMPARE(store.value(App, Section, QStringLiteral("slope"), QString()), QStringLiteral("4.1"));
    QCOMPARE(store.value(App, Section, QStringLiteral("date"), QStringLiteral("d")),
             QStringLiteral("d"));
    QVERIFY(!store.setValue(App, Section, QStringLiteral("offset"), QStringLiteral("2.5")));
    QCOMPARE(store.status(), QSettings::FormatError);
    QCOMPARE(fileBytes(), broken);

    // Once repaired, the file takes the value.
    QFile repaired(iniPath());
    QVERIFY(repaired.open(QIODevice::WriteOnly));
    repaired.write("[Coefficients]\nslope=4.1\n");
    repaired.close();
    QVERIFY(store.setValue(App, Section, QStringLiteral("offset"), QStringLiteral("2.5")));
    QCOMPARE(QSettingsStore().value(App, Section, QStringLiteral("offset"), QString()),
             QStringLiteral("2.5"));
}

void TestSettingsFile::listLikeValueReadAsText()
{
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Coefficients]\noffset=2,5\n");
    file.close();

    QSettingsStore store;
    QCOMPARE(store.value(App, Section, QStringLiteral("offset"), QString()),
             QStringLiteral("2, 5"));
}

// clang-format off
void TestSettingsFile::readProblem_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::addColumn<bool>("folderInstead");
    QTest::addColumn<QString>("told");       // empty: nothing to tell

    QTest::newRow("noFile")  << QByteArray() << false << "";
    QTest::newRow("good")    << QByteArray("[Coefficients]\nslope=4.1\n") << false << "";
    QTest::newRow("damaged") << QByteArray("[Coefficients]\nslope=4.1\n[broken\n\"x\n") << false << "damaged";
    QTest::newRow("folder")  << QByteArray() << true << "cannot be read";
}
// clang-format on

void TestSettingsFile::readProblem()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, folderInstead);
    QFETCH(QString, told);

    if (folderInstead)
        QVERIFY(QDir(m_dir->path()).mkdir(App + QStringLiteral(".ini")));
    if (!content.isEmpty()) {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore(store, state, messages).LoadCalibration();
    if (told.isEmpty()) {
        QVERIFY(store.readProblem(App).isEmpty());
        QVERIFY(messages.texts.isEmpty());
    } else {
        QVERIFY2(store.readProblem(App).contains(told), qPrintable(store.readProblem(App)));
        QVERIFY(store.readProblem(App).contains(iniPath()));
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts.first().contains(iniPath()));
    }
    if (!content.isEmpty())
        QCOMPARE(fileBytes(), content); // reading changed nothing
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
