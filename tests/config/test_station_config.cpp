#include "config/StationConfig.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// The station's own settings file as a person edits it, and as a hostile
// or broken one stands: what reads, what is named by its line, what is
// refused at once, and that a change keeps everything else.
class TestStationConfig : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    }

private slots:
    void reads_data();
    void reads();
    void refusedAtOnce_data();
    void refusedAtOnce();
    void changeKeepsTheRest();
};

// clang-format off
void TestStationConfig::reads_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");          // in [alarms]
    QTest::addColumn<QString>("number");       // as read, or "-" where it does not read
    QTest::addColumn<QString>("problem");      // the part of the one problem expected, or empty

    QTest::newRow("plain")          << QByteArray("[alarms]\nph1.low = 6.5\n")              << "ph1.low" << "6.5" << "";
    QTest::newRow("commentAfter")   << QByteArray("[alarms]\nph1.low = 6.5 ; pH\n")        << "ph1.low" << "6.5" << "";
    QTest::newRow("byteOrderMark")  << QByteArray("\xef\xbb\xbf[alarms]\r\nph1.low=6.5\r\n") << "ph1.low" << "6.5" << "";
    QTest::newRow("lastWins")       << QByteArray("[alarms]\nph1.low=6\nph1.low=6.5\n")     << "ph1.low" << "6.5" << "";
    QTest::newRow("commaIsText")    << QByteArray("[alarms]\nx=1\nph1.low=6,5\n")          << "ph1.low" << "-"   << "line 3: [alarms] ph1.low = \"6,5\" is not a number";
    QTest::newRow("wordForNumber")  << QByteArray("[alarms]\n\nph1.low = low\n")           << "ph1.low" << "-"   << "line 3: [alarms] ph1.low = \"low\" is not a number";
    QTest::newRow("infinity")       << QByteArray("[alarms]\nph1.low = inf\n")             << "ph1.low" << "-"   << "line 2";
    QTest::newRow("absent")         << QByteArray("[alarms]\nph2.low = 6\n")               << "ph1.low" << "-"   << "";
    QTest::newRow("otherSection")   << QByteArray("[mqtt]\nph1.low = 6\n")                 << "ph1.low" << "-"   << "";
    QTest::newRow("brokenLineKeepsTheRest") << QByteArray("[alarms]\nph1.low = 6.5\nthis is no setting\n") << "ph1.low" << "6.5" << "line 3: this line is no setting";
}
// clang-format on

void TestStationConfig::reads()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, number);
    QFETCH(QString, problem);

    StationConfig config;
    QStringList problems;
    QString loadProblem;
    if (!config.load(write(QTest::currentDataTag(), file), &loadProblem))
        problems << loadProblem;
    double value = 0;
    const bool read = config.number("alarms", key, &value, &problems);
    QCOMPARE(read ? QString::number(value) : QStringLiteral("-"), number);
    QCOMPARE(problems.size(), problem.isEmpty() ? 0 : 1);
    if (!problem.isEmpty())
        QVERIFY2(problems.first().contains(problem) && problems.first().startsWith(config.path()),
                 qPrintable(problems.first()));
}

// clang-format off
void TestStationConfig::refusedAtOnce_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("reason");

    QTest::newRow("folder")    << "folder" << "folder";
    QTest::newRow("fifo")      << "fifo"   << "FIFO";
    QTest::newRow("devZero")   << "zero"   << "device";
    QTest::newRow("huge")      << "huge"   << "too large";
}
// clang-format on

void TestStationConfig::refusedAtOnce()
{
    QFETCH(QString, what);
    QFETCH(QString, reason);
    QString path = m_dir.filePath(what);
    if (what == "folder")
        QVERIFY(QDir().mkpath(path));
    else if (what == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (what == "zero")
        QVERIFY(QFile::link("/dev/zero", path));
    else
        write(what, "[alarms]\n" + QByteArray(StationConfig::MAX_BYTES, ';'));

    StationConfig config;
    QString problem;
    QVERIFY(!config.load(path, &problem)); // and it returned: no wait on a FIFO's writer
    QVERIFY2(problem.startsWith(path) && problem.contains(reason, Qt::CaseInsensitive),
             qPrintable(problem));
    QVERIFY(config.section("alarms").isEmpty());
}

void TestStationConfig::changeKeepsTheRest()
{
    const QByteArray before = "; the tank room's station\r\n[alarms]\r\nph1.low = 6.5 ; told "
                              "below\r\nsomething.new = kept\r\n\r\n[mqtt]\r\nbroker = hub\r\n";
    StationConfig config;
    QString problem;
    QVERIFY2(config.load(write("edited.conf", before), &problem), qPrintable(problem));
    QVERIFY2(config.change({{"alarms", "ph1.low", "6.2"}, {"alarms", "ph1.high", "8.5"}}, &problem),
             qPrintable(problem));

    QFile file(config.path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    QVERIFY2(after.startsWith("; the tank room's station\r\n[alarms]\r\nph1.low = 6.2 ; told "
                              "below\r\nsomething.new = kept\r\n"),
             after.constData());
    QVERIFY2(after.endsWith("[mqtt]\r\nbroker = hub\r\n"), after.constData());
    double high = 0;
    QStringList problems;
    QVERIFY(config.number("alarms", "ph1.high", &high, &problems)); // read again after the change
    QCOMPARE(high, 8.5);
    QCOMPARE(config.unknownKeys("alarms", {"ph1.low", "ph1.high"}).size(), 1);
}

QTEST_GUILESS_MAIN(TestStationConfig)
#include "test_station_config.moc"
