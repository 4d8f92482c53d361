#include "LoggingFixture.h"

#include <QTemporaryDir>
#include <QtTest>

// The setup dialog's decisions and the main window's logging state, with
// the controls faked and real files in a temporary folder.
class TestLogSetup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    static void verifyIdle(const LoggingFixture &f)
    {
        QCOMPARE(f.statusBar.texts.value(4), QStringLiteral("Not Logging"));
        QCOMPARE(f.statusBar.pictures.value(4),
                 QStringLiteral("/opt/kestrom-dgh/icons/redlight.bmp"));
        QVERIFY(f.mnuLogSetup.isEnabled());
        QVERIFY(!f.mnuStop.isEnabled());
        QVERIFY(!f.logger.isLogging());
        QVERIFY(!f.logger.logFile().isOpen());
    }
    static void verifyLogging(const LoggingFixture &f)
    {
        QVERIFY(f.tmrLogger.isEnabled());
        QCOMPARE(f.statusBar.texts.value(4), QStringLiteral("Logging"));
        QCOMPARE(f.statusBar.pictures.value(4),
                 QStringLiteral("/opt/kestrom-dgh/icons/greenlight.bmp"));
        QVERIFY(!f.mnuLogSetup.isEnabled());
        QVERIFY(f.mnuStop.isEnabled());
        QVERIFY(f.logger.isLogging());
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Steps: W "Write to File", N "No Save", P pick a file, C cancel the
    // chooser, A "Append".
    void dialogStates_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("modesEnabled");
        QTest::addColumn<bool>("selectEnabled");
        QTest::addColumn<bool>("okEnabled");
        QTest::addColumn<int>("modeSelected");
        QTest::newRow("loaded") << "" << false << false << true << -1;
        QTest::newRow("writeToFile") << "W" << true << true << false << -1;
        QTest::newRow("filePicked") << "WP" << true << true << true << -1;
        QTest::newRow("backToNoSave") << "WPN" << false << false << true << -1;
        QTest::newRow("pickedBeforeNotEnough") << "WPNW" << true << true << false << -1;
        QTest::newRow("cancelKeepsEarlierName") << "WPNWC" << true << true << true << -1;
        QTest::newRow("cancelWithoutName") << "WC" << true << true << false << -1;
        QTest::newRow("noSaveKeepsAppend") << "WAN" << false << false << true << 0;
        QTest::newRow("appendKeepsWriteToFile") << "WPA" << true << true << true << 0;
    }
    void dialogStates()
    {
        QFETCH(QString, steps);
        QFETCH(bool, modesEnabled);
        QFETCH(bool, selectEnabled);
        QFETCH(bool, okEnabled);
        QFETCH(int, modeSelected);
        LoggingFixture f;
        for (const QChar step : steps) {
            switch (step.toLatin1()) {
            case 'W': f.optDatafile.select(1); break;
            case 'N': f.optDatafile.select(0); break;
            case 'A': f.optAppend.select(0); break;
            case 'P':
                f.cdlDataFiles.cancel = false;
                f.cdlDataFiles.answer = path("picked.txt");
                f.cmdSelect.press();
                break;
            case 'C':
                f.cdlDataFiles.cancel = true;
                f.cmdSelect.press();
                break;
            }
        }
        QCOMPARE(f.optAppend.isMemberEnabled(0), modesEnabled);
        QCOMPARE(f.optAppend.isMemberEnabled(1), modesEnabled);
        QCOMPARE(f.cmdSelect.isEnabled(), selectEnabled);
        QCOMPARE(f.cmdExit.isEnabled(), okEnabled);
        QCOMPARE(f.optAppend.selected(), modeSelected);
        QCOMPARE(f.optDatafile.selected(), steps.contains('W') && !steps.endsWith('N') ? 1 : 0);
        QCOMPARE(f.cmbInterval.currentPosition(), int(DropDownList::None));
        QCOMPARE(f.cmbInterval.entries.size(), 8);
    }

    void chooserIsAskedAsDesigned()
    {
        LoggingFixture f;
        f.optDatafile.select(1);
        f.cdlDataFiles.answer = path("first.txt");
        f.cmdSelect.press();
        QCOMPARE(f.cdlDataFiles.lastFilter, QStringLiteral("All Files (*.*) |*.*"));
        QCOMPARE(f.cdlDataFiles.lastPreset, QString());
        QCOMPARE(f.cdlDataFiles.lastFlags, 8192);
        f.cdlDataFiles.answer = path("second.txt");
        f.cmdSelect.press();
        QCOMPARE(f.cdlDataFiles.lastPreset, path("first.txt"));
        QCOMPARE(f.setup.logFileName(), path("second.txt"));
    }

    void okWithoutModeDoesNothing()
    {
        LoggingFixture f;
        const QString fileName = path("never.txt");
        f.startWriting(fileName, -1, 6);
        QVERIFY(!QFile::exists(fileName));
        QCOMPARE(f.messages.texts, QStringList());
        QCOMPARE(f.hides, 0);
        QCOMPARE(f.tmrLogger.interval(), 0);
        QCOMPARE(f.statusBar.texts.value(1), QString());
        verifyIdle(f);
    }

    // The interval of a run: the chosen position, or a message and the
    // interval of the run before.
    void interval_data()
    {
        QTest::addColumn<int>("firstPosition");
        QTest::addColumn<int>("secondPosition");
        QTest::addColumn<int>("expectedMs");
        QTest::addColumn<int>("messages");
        QTest::newRow("firstRunNone") << -1 << -2 << 0 << 1;
        QTest::newRow("firstRunMinute") << 0 << -2 << 60000 << 0;
        QTest::newRow("halfSecond") << 7 << -2 << 500 << 0;
        QTest::newRow("noneKeepsPrevious") << 3 << -1 << 10000 << 1;
        QTest::newRow("secondRunChanges") << 3 << 5 << 2000 << 0;
    }
    void interval()
    {
        QFETCH(int, firstPosition);
        QFETCH(int, secondPosition);
        QFETCH(int, expectedMs);
        QFETCH(int, messages);
        LoggingFixture f;
        f.cmbInterval.position = firstPosition;
        f.cmdExit.press();
        if (secondPosition != -2) {
            f.mnuStop.press();
            verifyIdle(f);
            f.attachDialog(); // the operator closed it; Setup makes a new one
            f.cmbInterval.position = secondPosition;
            f.cmdExit.press();
        }
        QCOMPARE(f.tmrLogger.interval(), expectedMs);
        QCOMPARE(f.messages.texts.size(), messages);
        if (messages) {
            QCOMPARE(f.messages.texts.constFirst(),
                     QStringLiteral("Please enter a time interval for the log file"));
            QCOMPARE(f.messages.titles.constFirst(), QStringLiteral("Kestrom dgh "));
        }
        verifyLogging(f);
    }

    void noSaveRun()
    {
        LoggingFixture f;
        f.statusBar.texts[1] = QStringLiteral("Ready");
        f.cmbInterval.position = 6;
        f.cmdExit.press();
        verifyLogging(f);
        QCOMPARE(f.hides, 1);
        QCOMPARE(f.statusBar.texts.value(1), QStringLiteral("Ready  "));
        for (int i = 0; i < 3; ++i)
            f.tmrLogger.fire();
        QVERIFY(!f.logger.logFile().isOpen());
        QCOMPARE(f.messages.texts, QStringList());
        f.mnuStop.press();
        verifyIdle(f);
        QVERIFY(!f.tmrLogger.isEnabled());
        QCOMPARE(f.tmrLogger.interval(), 1000);
        QCOMPARE(f.messages.texts, QStringList());
    }

    void okWhileLoggingStartsNoSecondRun()
    {
        LoggingFixture f;
        QString why;
        QVERIFY(f.setup.startWithoutDialog(path("running.txt"), LogFile::Mode::Overwrite, 1, &why));
        const QString panel = f.statusBar.texts.value(1);
        f.startWriting(path("second.txt"), 1, 0);
        QVERIFY(!QFile::exists(path("second.txt")));
        QCOMPARE(f.logger.logFile().fileName(), path("running.txt"));
        QVERIFY(f.logger.logFile().isOpen());
        QCOMPARE(f.tmrLogger.interval(), 1000);
        QCOMPARE(f.statusBar.texts.value(1), panel);
        QCOMPARE(f.messages.texts, QStringList());
    }

    void twoRunsAppendPanelOneTwice()
    {
        LoggingFixture f;
        f.statusBar.texts[1] = QStringLiteral("Ready");
        f.startWriting(path("run1.txt"), 1, 6);
        verifyLogging(f);
        f.mnuStop.press();
        QCOMPARE(f.statusBar.texts.value(1), "Ready  " + path("run1.txt"));
        f.startWriting(path("run2.txt"), 0, 6);
        QCOMPARE(f.statusBar.texts.value(1),
                 "Ready  " + path("run1.txt") + "  " + path("run2.txt"));
        f.mnuStop.press();
        verifyIdle(f);
        QVERIFY(QFile::exists(path("run1.txt")));
        QVERIFY(QFile::exists(path("run2.txt")));
    }

    void recreatedDialogStartsAfreshButKeepsTheName()
    {
        LoggingFixture f;
        f.startWriting(path("kept.txt"), 0, 4);
        f.mnuStop.press();
        f.attachDialog();
        QCOMPARE(f.optDatafile.selected(), 0);
        QCOMPARE(f.optAppend.selected(), int(OptionGroup::None));
        QCOMPARE(f.cmbInterval.currentPosition(), int(DropDownList::None));
        QCOMPARE(f.setup.logFileName(), path("kept.txt"));
        f.optDatafile.select(1);
        f.cdlDataFiles.cancel = true;
        f.cmdSelect.press();
        QCOMPARE(f.cdlDataFiles.lastPreset, path("kept.txt"));
        QVERIFY(f.cmdExit.isEnabled());
    }

    // A file that cannot be opened: one message naming it and the reason;
    // the station stays idle and the dialog open for another choice.
    void openFailureKeepsIdle_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missingFolder") << path("gone/log.txt") << "No such file or directory";
        QTest::newRow("directory") << m_dir.path() << "Is a directory";
        QTest::newRow("diskFull") << "/dev/full"
                                  << "No space left on device";
        const auto unwritable = LoggingFixture::unwritableFile(m_dir.path());
        QTest::newRow("noPermission") << unwritable.first << unwritable.second;
    }
    void openFailureKeepsIdle()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, reason);
        LoggingFixture f;
        f.startWriting(fileName, 1, 6);
        QCOMPARE(f.messages.texts.size(), 1);
        QVERIFY2(f.messages.texts.constFirst().contains(fileName),
                 qPrintable(f.messages.texts.constFirst()));
        QVERIFY2(f.messages.texts.constFirst().contains(reason),
                 qPrintable(f.messages.texts.constFirst()));
        QCOMPARE(f.hides, 0);
        QCOMPARE(f.tmrLogger.interval(), 0);
        QCOMPARE(f.statusBar.texts.value(1), QString());
        verifyIdle(f);
        // The dialog is still usable: another file starts the run.
        f.cdlDataFiles.answer = path("fallback.txt");
        f.cmdSelect.press();
        f.cmdExit.press();
        verifyLogging(f);
        QCOMPARE(f.messages.texts.size(), 1);
    }

    void missingLampIsToldAndLoggingGoesOn()
    {
        LoggingFixture f;
        f.statusBar.missingPictures << QStringLiteral("/opt/kestrom-dgh/icons/greenlight.bmp");
        f.startWriting(path("lamp.txt"), 1, 6);
        QCOMPARE(f.messages.texts.size(), 1);
        QVERIFY(f.messages.texts.constFirst().contains("/opt/kestrom-dgh/icons/greenlight.bmp"));
        QVERIFY(f.tmrLogger.isEnabled());
        QVERIFY(f.mnuStop.isEnabled());
        QCOMPARE(f.statusBar.texts.value(4), QStringLiteral("Logging"));
        f.tmrLogger.fire();
        QCOMPARE(LoggingFixture::contents(path("lamp.txt")).count("\r\n"), 13);
    }

    void unattendedStart_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("expectedMs");
        QTest::addColumn<QString>("error");
        QTest::newRow("overwriteOneSecond")
            << path("u1.txt") << int(LogFile::Mode::Overwrite) << 1.0 << 1000 << "";
        QTest::newRow("appendHalfSecond")
            << path("u2.txt") << int(LogFile::Mode::Append) << 0.5 << 500 << "";
        QTest::newRow("intervalNotListed")
            << path("u3.txt") << int(LogFile::Mode::Overwrite) << 3.0 << 0 << "0.5";
        QTest::newRow("zeroInterval") << path("u4.txt") << int(LogFile::Mode::Overwrite) << 0.0 << 0
                                      << "60, 30, 15, 10, 5, 2, 1 or 0.5";
        QTest::newRow("cannotOpen")
            << path("no/u5.txt") << int(LogFile::Mode::Append) << 1.0 << 0 << path("no/u5.txt");
    }
    void unattendedStart()
    {
        QFETCH(QString, fileName);
        QFETCH(int, mode);
        QFETCH(double, seconds);
        QFETCH(int, expectedMs);
        QFETCH(QString, error);
        LoggingFixture f;
        f.statusBar.texts[1] = QStringLiteral("Ready");
        QString why;
        const bool started =
            f.setup.startWithoutDialog(fileName, LogFile::Mode(mode), seconds, &why);
        QCOMPARE(started, error.isEmpty());
        QCOMPARE(f.tmrLogger.interval(), expectedMs);
        QCOMPARE(f.messages.texts, QStringList()); // the caller reports errors
        if (started) {
            verifyLogging(f);
            QCOMPARE(f.setup.logFileName(), fileName);
            QCOMPARE(f.statusBar.texts.value(1), "Ready  " + fileName);
            QCOMPARE(f.hides, 1);
            // Header first, then the records of the ticks.
            f.tmrLogger.fire();
            const QList<QByteArray> lines = LoggingFixture::contents(fileName).split('\n');
            QCOMPARE(lines.size(), 14);
            QVERIFY(lines.at(1).startsWith("\"Kestrom Science DGH Logging Program\""));
            QVERIFY(lines.at(12).startsWith("\"2:05:30 PM\","));
            // A second start while running is refused.
            QVERIFY(!f.setup.startWithoutDialog(path("other.txt"), LogFile::Mode::Append, 1, &why));
            QVERIFY(!QFile::exists(path("other.txt")));
        } else {
            QVERIFY2(why.contains(error), qPrintable(why));
            QVERIFY(!QFile::exists(fileName));
            QCOMPARE(f.statusBar.texts.value(1), QStringLiteral("Ready"));
            verifyIdle(f);
        }
    }
};

QTEST_GUILESS_MAIN(TestLogSetup)
#include "test_log_setup.moc"
