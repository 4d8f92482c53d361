#include "fakes/FakeMessageBox.h"
#include "fakes/FaultsOver.h"
#include "platform/PtyPair.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/SystemClock.h"
#include "station/ModuleLink.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <termios.h>

namespace {

PortMap portOne(const QString &path)
{
    PortMap ports;
    ports.setDevice(1, path);
    return ports;
}

// A second process that holds a device through QSerialPort until stopped.
class PortHolder
{
public:
    ~PortHolder() { release(); }
    bool hold(const QString &device)
    {
        m_process.start(QStringLiteral(PORT_HOLDER_PATH), {device});
        if (!m_process.waitForStarted(5000))
            return false;
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(5000))
                return false;
        }
        return m_process.readLine().trimmed() == "held";
    }
    void release()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

private:
    QProcess m_process;
};

// A pty with the adapter open on its slave side and a module link over it.
struct OpenLine
{
    PtyPair pty;
    QtSerialPortAdapter port{portOne(pty.slavePath())};
    FakeMessageBox messages;
    SystemClock clock;
    FaultsOver faults{messages, clock};
    ModuleLink link{port, faults.reporter, clock};
};

} // namespace

class TestQtSerialPortAdapter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void openResult_data();
    void openResult();
    void portNumberBelowOneIsRefused_data();
    void portNumberBelowOneIsRefused();
    void lineIs19200Raw();
    void portInUse_data();
    void portInUse();
    void transaction_data();
    void transaction();
    void floodIsReadAtMostOneBufferPerAnswer();
    void vanishedPortClosesWithoutEventLoop_data();
    void vanishedPortClosesWithoutEventLoop();
    void vanishedPortClosesUnderEventLoop();
    void reopenAfterClose();

private:
    QTemporaryDir m_dir;
};

void TestQtSerialPortAdapter::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QFile file(m_dir.filePath("plain.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a tty\n");
    file.close();
    QVERIFY(QDir(m_dir.path()).mkdir("folder"));
    QVERIFY(QFile::link(m_dir.filePath("gone"), m_dir.filePath("dangling")));
}

// clang-format off
void TestQtSerialPortAdapter::openResult_data()
{
    QTest::addColumn<QString>("path"); // "<pty>" a fresh pty, "<dir>/" the test folder
    QTest::addColumn<int>("error");

    QTest::newRow("pseudoTerminal")   << "<pty>"               << SerialPort::NoError;
    QTest::newRow("linkToTerminal")   << "<dir>/ptyLink"       << SerialPort::NoError;
    QTest::newRow("missingPath")      << "<dir>/no-such-port"  << SerialPort::InvalidPortError;
    QTest::newRow("missingDevice")    << "/dev/ttyDoesNotExist9" << SerialPort::InvalidPortError;
    QTest::newRow("danglingLink")     << "<dir>/dangling"      << SerialPort::InvalidPortError;
    QTest::newRow("devNull")          << "/dev/null"           << SerialPort::InvalidPortError;
    QTest::newRow("regularFile")      << "<dir>/plain.txt"     << SerialPort::InvalidPortError;
    QTest::newRow("directory")        << "<dir>/folder"        << SerialPort::InvalidPortError;
    QTest::newRow("emptyPath")        << ""                    << SerialPort::InvalidPortError;
}
// clang-format on

void TestQtSerialPortAdapter::openResult()
{
    QFETCH(QString, path);
    QFETCH(int, error);

    PtyPair pty;
    QVERIFY(pty.isValid());
    const QString link = m_dir.filePath("ptyLink");
    QFile::remove(link);
    QVERIFY(QFile::link(pty.slavePath(), link));
    path.replace("<pty>", pty.slavePath()).replace("<dir>", m_dir.path());

    QtSerialPortAdapter port(portOne(path));
    QCOMPARE(port.open(), error);
    QCOMPARE(port.isOpen(), error == SerialPort::NoError);
}

// clang-format off
void TestQtSerialPortAdapter::portNumberBelowOneIsRefused_data()
{
    QTest::addColumn<int>("number");
    QTest::newRow("zero") << 0;
    QTest::newRow("minusOne") << -1;
    QTest::newRow("lowest") << -32768;
}
// clang-format on

void TestQtSerialPortAdapter::portNumberBelowOneIsRefused()
{
    QFETCH(int, number);
    QtSerialPortAdapter port;
    QCOMPARE(port.setPortNumber(3), SerialPort::NoError);
    QCOMPARE(port.setPortNumber(static_cast<qint16>(number)), SerialPort::InvalidPortError);
    QCOMPARE(port.portNumber(), qint16(3));
}

void TestQtSerialPortAdapter::lineIs19200Raw()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    QtSerialPortAdapter port(portOne(pty.slavePath()));
    QCOMPARE(port.open(), SerialPort::NoError);

    // Look at the line from the outside, as another program would.
    const int fd = ::open(QFile::encodeName(pty.slavePath()).constData(), O_RDONLY | O_NOCTTY);
    QVERIFY(fd >= 0);
    termios settings{};
    QCOMPARE(::tcgetattr(fd, &settings), 0);
    ::close(fd);
    QCOMPARE(cfgetospeed(&settings), speed_t(B19200));
    QCOMPARE(settings.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    QCOMPARE(settings.c_lflag & (ICANON | ECHO), tcflag_t(0));
    QCOMPARE(settings.c_iflag & (ICRNL | IXON | ISTRIP), tcflag_t(0));
}

// clang-format off
void TestQtSerialPortAdapter::portInUse_data()
{
    QTest::addColumn<bool>("otherProcess");
    QTest::addColumn<bool>("throughLink");
    QTest::newRow("thisProcessSamePath") << false << false;
    QTest::newRow("thisProcessLinkToSamePort") << false << true;
    QTest::newRow("otherProcessSamePath") << true << false;
    QTest::newRow("otherProcessLinkToHeldPort") << true << true;
}
// clang-format on

void TestQtSerialPortAdapter::portInUse()
{
    QFETCH(bool, otherProcess);
    QFETCH(bool, throughLink);
    PtyPair pty;
    QVERIFY(pty.isValid());
    const QString link = m_dir.filePath("inUseLink");
    QFile::remove(link);
    QVERIFY(QFile::link(pty.slavePath(), link));

    PortHolder holder;
    QtSerialPortAdapter first(portOne(pty.slavePath()));
    if (otherProcess) {
        QVERIFY(holder.hold(pty.slavePath()));
    } else {
        QCOMPARE(first.open(), SerialPort::NoError);
    }
    QtSerialPortAdapter port(portOne(throughLink ? link : pty.slavePath()));
    QCOMPARE(port.open(), SerialPort::PortInUseError);
    QVERIFY(!port.isOpen());
    if (!otherProcess) {
        QCOMPARE(first.open(), SerialPort::PortInUseError); // already open: still in use
        QVERIFY(first.isOpen());
    }

    holder.release();
    first.close();
    QCOMPARE(port.open(), SerialPort::NoError);
}

// clang-format off
void TestQtSerialPortAdapter::transaction_data()
{
    QTest::addColumn<QByteArray>("moduleSends");
    QTest::addColumn<QString>("answer");

    QTest::newRow("answer")        << QByteArray("*+0021.37\r")           << "*+0021.37";
    QTest::newRow("noiseFirst")    << QByteArray("\x05#~z*+0021.37\r")    << "*+0021.37";
    QTest::newRow("highBitStar")   << QByteArray("\xaa+0021.37\r")        << "*+0021.37";
    QTest::newRow("allHighBits")   << QByteArray("\xaa\xab\xb0\xb0\xb3\xb1\x8d") << "*+0031";
    QTest::newRow("refusal")       << QByteArray("?1 SYNTAX ERROR\r")     << "?1 SYNTAX ERROR";
    QTest::newRow("crLf")          << QByteArray("*+0021.37\r\n")         << "TIMEOUT";
    QTest::newRow("truncated")     << QByteArray("*+002")                 << "TIMEOUT";
    QTest::newRow("silence")       << QByteArray()                        << "TIMEOUT";
    QTest::newRow("everyByte")     << [] {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        return all + "*+0000.01\r";
    }() << "*+0000.01";
}
// clang-format on

void TestQtSerialPortAdapter::transaction()
{
    QFETCH(QByteArray, moduleSends);
    QFETCH(QString, answer);

    OpenLine line;
    QVERIFY(line.pty.isValid());
    QCOMPARE(line.port.open(), SerialPort::NoError);
    auto &[pty, port, messages, clock, faults, link] = line;

    link.SendCommand(ModuleLink::commandFrame("1"));
    QCOMPARE(pty.receive(1000), QByteArray("$1RD\r")); // flushed without an event loop
    QVERIFY(pty.send(moduleSends));
    QCOMPARE(link.ReadAnswer(), answer);
    QCOMPARE(port.bytesWaiting(), 0);
    QVERIFY(port.isOpen());
    QVERIFY(messages.texts.isEmpty());
}

void TestQtSerialPortAdapter::floodIsReadAtMostOneBufferPerAnswer()
{
    OpenLine line;
    QVERIFY(line.pty.isValid());
    QCOMPARE(line.port.open(), SerialPort::NoError);
    auto &[pty, port, messages, clock, faults, link] = line;

    // 3000 bytes of garbage, then an answer: the first transaction takes one
    // receive buffer's worth, the answer comes out of the third.
    QVERIFY(pty.send(QByteArray(3000, 'x') + "*+0001.00\r"));
    QCOMPARE(link.ReadAnswer(), QString("TIMEOUT"));
    QCOMPARE(port.bytesWaiting(), 3010 - SerialPort::RECEIVE_BUFFER_BYTES);
    QCOMPARE(link.ReadAnswer(), QString("TIMEOUT"));
    QCOMPARE(link.ReadAnswer(), QString("*+0001.00"));
    QCOMPARE(port.bytesWaiting(), 0);
}

// clang-format off
void TestQtSerialPortAdapter::vanishedPortClosesWithoutEventLoop_data()
{
    QTest::addColumn<bool>("vanishBeforeCommand");
    // Gone before the command: looking for stale bytes finds it, so the
    // command itself already reports the closed port.
    QTest::addColumn<QStringList>("firstMessages");
    QTest::newRow("beforeCommand") << true << QStringList{"Port Not open"};
    QTest::newRow("duringAnswerWait") << false << QStringList{};
}
// clang-format on

void TestQtSerialPortAdapter::vanishedPortClosesWithoutEventLoop()
{
    QFETCH(bool, vanishBeforeCommand);
    QFETCH(QStringList, firstMessages);
    OpenLine line;
    QVERIFY(line.pty.isValid());
    QCOMPARE(line.port.open(), SerialPort::NoError);
    auto &[pty, port, messages, clock, faults, link] = line;

    if (vanishBeforeCommand)
        pty.closeMaster();
    link.SendCommand(ModuleLink::commandFrame("6"));
    if (!vanishBeforeCommand)
        pty.closeMaster();
    const QString answer = link.ReadAnswer();
    QVERIFY2(answer.isEmpty() || answer == "TIMEOUT", qPrintable(answer));
    QVERIFY(!port.isOpen());
    QCOMPARE(messages.texts, firstMessages);

    // The following transaction finds the port closed and says so.
    link.SendCommand(ModuleLink::commandFrame("7"));
    QCOMPARE(link.ReadAnswer(), QString());
    QCOMPARE(messages.texts, firstMessages + QStringList{"Port Not open"});
    QCOMPARE(messages.titles.last(), QStringLiteral("Port Failure"));
}

void TestQtSerialPortAdapter::vanishedPortClosesUnderEventLoop()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    QtSerialPortAdapter port(portOne(pty.slavePath()));
    QCOMPARE(port.open(), SerialPort::NoError);

    // With an event loop running, the read notifier is what sees the hang-up.
    pty.closeMaster();
    QTRY_VERIFY_WITH_TIMEOUT(!port.isOpen(), 2000);
    QCOMPARE(port.bytesWaiting(), 0);
    QCOMPARE(port.read(10), QByteArray());
}

void TestQtSerialPortAdapter::reopenAfterClose()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    QtSerialPortAdapter port(portOne(pty.slavePath()));
    FakeMessageBox messages;
    SystemClock clock;
    FaultsOver faults(messages, clock);
    ModuleLink link(port, faults.reporter, clock);

    for (int round = 0; round < 3; ++round) {
        QCOMPARE(port.open(), SerialPort::NoError);
        link.SendCommand(ModuleLink::commandFrame("2"));
        QCOMPARE(pty.receive(1000), QByteArray("$2RD\r"));
        QVERIFY(pty.send("*+0022.50\r"));
        QCOMPARE(link.ReadAnswer(), QString("*+0022.50"));
        port.close();
        QVERIFY(!port.isOpen());
    }
    QVERIFY(messages.texts.isEmpty());
}

QTEST_GUILESS_MAIN(TestQtSerialPortAdapter)
#include "test_qt_serial_port_adapter.moc"
