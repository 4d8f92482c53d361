#include "LoggingFixture.h"
#include "logging/LogFile.h"

#include <QTemporaryDir>
#include <QtTest>

// The log file on a real file system: opening, whole lines, failures.
class TestLogFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    static QByteArray read(const QString &fileName) { return LoggingFixture::contents(fileName); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void openFails_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("reason");

        QTest::newRow("missingFolder")
            << path("no/such/folder/log.txt") << "No such file or directory";
        QTest::newRow("directory") << m_dir.path() << "Is a directory";
        QTest::newRow("noName") << QString() << "No file name";
        const auto unwritable = LoggingFixture::unwritableFile(m_dir.path());
        QTest::newRow("noPermission") << unwritable.first << unwritable.second;
    }
    void openFails()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, reason);
        for (const LogFile::Mode mode : {LogFile::Mode::Append, LogFile::Mode::Overwrite}) {
            LogFile log;
            QString why;
            QVERIFY(!log.open(fileName, mode, &why));
            QVERIFY2(why.contains(reason, Qt::CaseInsensitive), qPrintable(why));
            QVERIFY(!log.isOpen());
            QVERIFY(!log.WriteLogLine({LogValue::number(1)}, &why));
        }
    }

    void modes_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray added = "\r\n\"new\",2\r\n";
        QTest::newRow("appendToExisting")
            << true << int(LogFile::Mode::Append) << "old 1\r\nold 2\r\n" + added;
        QTest::newRow("overwriteExisting") << true << int(LogFile::Mode::Overwrite) << added;
        QTest::newRow("appendCreates") << false << int(LogFile::Mode::Append) << added;
        QTest::newRow("overwriteCreates") << false << int(LogFile::Mode::Overwrite) << added;
    }
    void modes()
    {
        QFETCH(bool, exists);
        QFETCH(int, mode);
        QFETCH(QByteArray, expected);
        const QString fileName = path(QStringLiteral("mode-%1.txt").arg(QTest::currentDataTag()));
        if (exists)
            QVERIFY(LoggingFixture::writeFile(fileName, "old 1\r\nold 2\r\n"));
        LogFile log;
        QString why;
        QVERIFY2(log.open(fileName, LogFile::Mode(mode), &why), qPrintable(why));
        QVERIFY(log.WriteLogLine({}, &why));
        QVERIFY(log.WriteLogLine({LogValue::text("new"), LogValue::number(2)}, &why));
        // Each line is with the operating system before the call returns.
        QCOMPARE(read(fileName), expected);
        log.close();
        QVERIFY(!log.isOpen());
        QCOMPARE(read(fileName), expected);
    }

    void writeFails_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("reason");
        QTest::newRow("diskFull") << "full"
                                  << "No space left";
        QTest::newRow("removed") << "removed"
                                 << "removed";
        QTest::newRow("replaced") << "replaced"
                                  << "replaced";
    }
    void writeFails()
    {
        QFETCH(QString, failure);
        QFETCH(QString, reason);
        const QString fileName =
            failure == "full" ? QStringLiteral("/dev/full") : path(failure + ".txt");
        LogFile log;
        QString why;
        QVERIFY2(log.open(fileName, LogFile::Mode::Append, &why), qPrintable(why));
        if (failure != "full") {
            QVERIFY(log.WriteLogLine({LogValue::text("first")}, &why));
            QVERIFY(QFile::remove(fileName));
            if (failure == "replaced")
                QVERIFY(LoggingFixture::writeFile(fileName, "someone else's\r\n"));
        }
        QVERIFY(!log.WriteLogLine({LogValue::text("second")}, &why));
        QVERIFY2(why.contains(reason, Qt::CaseInsensitive), qPrintable(why));
        if (failure == "replaced")
            QCOMPARE(read(fileName), QByteArray("someone else's\r\n"));
    }

    // A write cut short by the file system (here a file size limit) is
    // taken back to the end of the last whole line.
    void shortWriteLeavesNoTornLine()
    {
        const QString fileName = path("limited.txt");
        const QByteArray line = LogValue::encodeLine({LogValue::text("0123456789012345678901234")});
        QCOMPARE(line.size(), 29);

        LogFile log;
        QString why;
        bool opened = false;
        QList<bool> results;
        {
            FileSizeLimit limit(100);
            opened = log.open(fileName, LogFile::Mode::Overwrite, &why);
            for (int i = 0; opened && i < 5; ++i)
                results << log.WriteLogLine({LogValue::text("0123456789012345678901234")}, &why);
            log.close();
        }

        QVERIFY(opened);
        QCOMPARE(results, (QList<bool>{true, true, true, false, false}));
        QCOMPARE(read(fileName), line + line + line);
    }
};

QTEST_GUILESS_MAIN(TestLogFile)
#include "test_log_file.moc"
