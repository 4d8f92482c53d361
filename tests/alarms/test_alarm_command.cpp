#include "alarms/AlarmCommand.h"
#include "events/EventJournal.h"
#include "fakes/FakeClock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The alarm command on real processes: what it is given, one run at a
// time, and each kind of trouble journaled once with its reason while the
// station goes on (a command missing, not executable, failing, hanging or
// printing megabytes, and too many runs).
class TestAlarmCommand : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString script(const QString &name, const QByteArray &body, bool executable = true)
    {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write("#!/bin/sh\n" + body);
        file.close();
        file.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                       : QFile::ReadOwner | QFile::WriteOwner);
        return file.fileName();
    }

    static AlarmTransition transition(const QString &kind)
    {
        AlarmTransition t;
        t.name = QStringLiteral("ph1.high");
        t.description = QStringLiteral("pH 1 high");
        t.kind = kind;
        t.state = kind == "returned" ? AlarmState::Returned : AlarmState::Active;
        t.value = 8.59;
        t.limit = 7.5;
        t.unit = QStringLiteral("pH");
        t.time = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 30), Qt::OffsetFromUTC, 3600);
        t.text = QStringLiteral("ph1.high (pH 1 high): 8.59 pH, above the limit 7.5 pH");
        return t;
    }

private slots:
    void initTestCase();
    void environmentAndOneAtATime();
    void troubleToldOnce_data();
    void troubleToldOnce();
};

void TestAlarmCommand::initTestCase()
{
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_dir.filePath("state")));
    qputenv("KESTROM_DGH_MQTT_PASSWORD", "secret"); // must not reach the command
}

// Its environment is ours to give and nothing else; quoted arguments stay
// whole; the second run starts once the first has ended.
void TestAlarmCommand::environmentAndOneAtATime()
{
    const QString out = m_dir.filePath("runs");
    const QString command =
        script("page operator",
               "echo \"start $KESTROM_DGH_EVENT $1\" >> \"$2\"\nenv | sort >> \"$2\"\n"
               "sleep 0.3\necho end >> \"$2\"\n");
    FakeClock clock;
    EventJournal journal(clock);
    AlarmCommand runner(journal, clock);
    runner.setCommand(QStringLiteral("\"%1\" \"two words\" %2").arg(command, out));
    runner.setStationName(QStringLiteral("lab-1"));
    runner.run(transition("active"));
    runner.run(transition("returned"));
    QCOMPARE(runner.waiting(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(runner.finishedRuns(), 2, 20000);

    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    const QStringList environment{
        "HOME=" + qEnvironmentVariable("HOME"),
        "KESTROM_DGH_ALARM=ph1.high",
        "KESTROM_DGH_DESCRIPTION=pH 1 high",
        "KESTROM_DGH_EVENT=active",
        "KESTROM_DGH_LIMIT=7.5",
        "KESTROM_DGH_MESSAGE=ph1.high (pH 1 high): 8.59 pH, above the limit 7.5 pH",
        "KESTROM_DGH_STATE=active",
        "KESTROM_DGH_STATION=lab-1",
        "KESTROM_DGH_TIME=2026-12-08T14:05:30+01:00",
        "KESTROM_DGH_UNIT=pH",
        "KESTROM_DGH_VALUE=8.59",
        "LANG=C.UTF-8",
        "PATH=/usr/local/bin:/usr/bin:/bin",
    };
    QStringList expected{"start active two words"};
    for (const QString &line : environment)
        expected << line;
    // The shell adds what it always sets.
    QStringList first;
    for (const QString &line : lines.mid(0, lines.indexOf("end")))
        if (!line.startsWith("PWD=") && !line.startsWith("SHLVL=") && !line.startsWith("_="))
            first << line;
    QCOMPARE(first, expected);
    QCOMPARE(lines.filter(QRegularExpression("^(start|end)")),
             (QStringList{"start active two words", "end", "start returned two words", "end"}));
    QVERIFY(journal.recent().empty());
}

// clang-format off
void TestAlarmCommand::troubleToldOnce_data()
{
    QTest::addColumn<QString>("command");    // a script's body, or "missing", "folder", "notExecutable", "noSuchProgram"
    QTest::addColumn<int>("runs");           // all at the same moment
    QTest::addColumn<QStringList>("journal"); // "kind: part of its text", in order

    QTest::newRow("missing")        << "missing"       << 3
                                    << QStringList{"command failed: cannot be run: \"MISSING\" does not exist (told once"};
    QTest::newRow("folder")         << "folder"        << 2
                                    << QStringList{"command failed: cannot be run: \"FOLDER\" is a folder"};
    QTest::newRow("notExecutable")  << "notExecutable" << 2
                                    << QStringList{"command failed: cannot be run: \"SCRIPT\" is not executable"};
    QTest::newRow("noSuchProgram")  << "noSuchProgram" << 2
                                    << QStringList{"command failed: cannot be run: no program \"no-such-pager\" in /usr/local/bin:/usr/bin:/bin"};
    QTest::newRow("failingStatus")  << "echo 'mail: cannot send' >&2\nexit 3\n" << 2
                                    << QStringList{"command failed: the alarm command \"SCRIPT\" (for ph1.high active) ended with exit status 3; it printed: mail: cannot send"};
    // Ended with the child it left behind; the next run is not held up.
    QTest::newRow("hangs")          << "sleep 60 &\necho $! > CHILD\nsleep 60\n" << 2
                                    << QStringList{"command failed: \"SCRIPT\" (for ph1.high active) was still running after 0.5 s and was ended"};
    QTest::newRow("megabytes")      << "head -c 5000000 /dev/zero\nhead -c 3000000 /dev/zero >&2\n" << 2
                                    << QStringList{"command output: printed 8000000 bytes"};
    QTest::newRow("tooManyRuns")    << "true\n" << 13
                                    << QStringList{"command held back: 10 runs of the alarm command in the last 10 minutes"};
}
// clang-format on

void TestAlarmCommand::troubleToldOnce()
{
    QFETCH(QString, command);
    QFETCH(int, runs);
    QFETCH(QStringList, journal);

    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    QString path;
    if (command == "missing")
        path = m_dir.filePath("missing-" + tag);
    else if (command == "folder")
        QDir().mkpath(path = m_dir.filePath("folder-" + tag));
    else if (command == "notExecutable")
        path = script(tag, "true\n", false);
    else if (command == "noSuchProgram")
        path = "no-such-pager";
    else
        path = script(tag, command.replace("CHILD", m_dir.filePath(tag + ".child")).toUtf8());

    FakeClock clock;
    EventJournal events(clock);
    AlarmCommand runner(events, clock);
    if (tag == "hangs")
        runner.setTimeLimit(std::chrono::milliseconds(500));
    runner.setCommand(path);
    for (int run = 0; run < runs; ++run)
        runner.run(transition("active"));
    const int held = tag == "tooManyRuns" ? runs - AlarmCommand::RUNS_PER_WINDOW : 0;
    QTRY_COMPARE_WITH_TIMEOUT(runner.finishedRuns(), runs - held, 30000);
    QCOMPARE(runner.heldBack(), held);

    QStringList told;
    for (const StationEvent &event : events.recent()) {
        QCOMPARE(event.source, QStringLiteral("alarm"));
        told << event.kind + ": " + event.text;
    }
    QCOMPARE(told.size(), journal.size());
    for (int i = 0; i < journal.size(); ++i) {
        const QString part = QString(journal[i])
                                 .replace("MISSING", path)
                                 .replace("FOLDER", path)
                                 .replace("SCRIPT", path);
        QVERIFY2(told[i].startsWith(part.section(": ", 0, 0) + ": ") &&
                     told[i].contains(part.section(": ", 1)),
                 qPrintable(told[i]));
    }

    if (tag == "hangs") {
        QFile child(m_dir.filePath(tag + ".child"));
        QVERIFY(child.open(QIODevice::ReadOnly));
        const pid_t pid = child.readAll().trimmed().toInt();
        QVERIFY(pid > 0);
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid, 0) != 0, 5000);
    }
    if (tag == "tooManyRuns") {
        // Ten minutes on, there is room again: the count first, then the run.
        clock.now += AlarmCommand::WINDOW;
        runner.run(transition("returned"));
        QTRY_COMPARE_WITH_TIMEOUT(runner.finishedRuns(), runs - held + 1, 10000);
        QCOMPARE(events.recent().back().text,
                 QStringLiteral("3 transitions were held back without running the alarm command; "
                                "it runs again from this one on"));
    }
    if (tag == "missing") {
        // Put in place, it runs, and that is told once.
        script("missing-" + tag, "true\n");
        runner.run(transition("returned"));
        QTRY_COMPARE_WITH_TIMEOUT(runner.finishedRuns(), runs + 1, 10000);
        QCOMPARE(events.recent().back().kind, QStringLiteral("command works again"));
    }
}

QTEST_GUILESS_MAIN(TestAlarmCommand)
#include "test_alarm_command.moc"
