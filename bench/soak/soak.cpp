// soak: the station's reading, plotting and logging against dgh-sim on a real
// pty, with every fault of the line injected and the station's time
// simulated, so a day of unattended running passes in minutes. Checks each
// transaction against what the simulator says it sent, each record against
// the record of readings, and memory after warm-up.
//
//   soak [--hours H] [--seed N] [--rate R] [--deadline-us U]

#include "SettlingPort.h"
#include "SimulatorLog.h"
#include "SoakClock.h"
#include "StoreGraph.h"
#include "channels/ChannelSet.h"
#include "fakes/FakeWidgets.h"
#include "fakes/FaultsOver.h"
#include "fakes/Reference.h"
#include "logging/Logger.h"
#include "platform/MessageBox.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "sim/SimulatorProcess.h"
#include "station/ModuleLink.h"
#include "station/StationState.h"
#include "ui/chart/StripChart.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// The operator: counts each message and closes it. Reading it takes the
// operator long enough for anything still on its way to arrive meanwhile.
class CountingMessageBox : public MessageBox
{
public:
    long long shown = 0;
    std::function<void()> whileOpen;
    void show(const QString &, const QString &) override
    {
        ++shown;
        if (whileOpen)
            whileOpen();
    }
};

// A display that counts the readings shown on it; blanking is not a reading.
class SoakLabel : public Label
{
public:
    long long readingsShown = 0;
    void setText(const QString &text) override
    {
        m_text = text;
        if (!text.isEmpty())
            ++readingsShown;
    }
    QString text() const override { return m_text; }

private:
    QString m_text = QStringLiteral("000");
};

class SoakSlide : public Slide
{
public:
    void setValue(double value) override { m_value = value; }
    double value() const override { return m_value; }
    void setScaleMinimum(double) override { }
    void setScaleMaximum(double) override { }
    void resetMarkers() override { }

private:
    double m_value = 0;
};

long residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

// The peak resident size of this process so far.
long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// The reading in an answer's bytes as the module meant it: the last "*"
// (low 7 bits), characters 3 to 10. NaN when there is none.
double sentValue(const QByteArray &bytes)
{
    QByteArray text;
    for (const char byte : bytes)
        text += static_cast<char>(byte & 0x7f);
    const int star = text.lastIndexOf('*');
    if (star < 0)
        return std::nan("");
    int end = text.indexOf('\r', star);
    if (end < 0)
        end = text.size();
    bool ok = false;
    const double value = text.mid(star, end - star).mid(2, 8).trimmed().toDouble(&ok);
    return ok ? value : std::nan("");
}

bool same(double a, double b)
{
    return std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fabs(b));
}

struct Options
{
    double hours = 24;
    quint32 seed = 1;
    double rate = 0.01;
    int deadlineUs = 500000;
};

bool parse(const QStringList &arguments, Options *options)
{
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        bool ok = false;
        const QString &name = arguments[i];
        const QString &value = arguments[i + 1];
        if (name == QLatin1String("--hours"))
            options->hours = value.toDouble(&ok);
        else if (name == QLatin1String("--seed"))
            options->seed = value.toUInt(&ok);
        else if (name == QLatin1String("--rate"))
            options->rate = value.toDouble(&ok);
        else if (name == QLatin1String("--deadline-us"))
            options->deadlineUs = value.toInt(&ok);
        if (!ok)
            return false;
    }
    return arguments.size() % 2 == 1 && options->hours > 0 && options->rate >= 0 &&
        options->rate <= 0.1;
}

// What the station did with one transaction.
struct Outcome
{
    char address = 0;
    bool reported = false;
    bool accepted = false;
    double value = 0;
};

struct Tally
{
    long long transactions = 0;
    long long faultsInjected = 0;
    long long faultsReported = 0;
    long long goodAnswersReported = 0; // a clean answer that missed the wait
    long long lateTaken = 0; // an earlier module's late answer taken as this one's (wrong)
    long long wrong = 0;
    long long faultsAsGood = 0;
    long long records = 0;
    long long torn = 0;
    long long recordsWrong = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    Options options;
    if (!parse(app.arguments(), &options)) {
        std::fprintf(
            stderr, "usage: soak [--hours H] [--seed N] [--rate R (0 to 0.1)] [--deadline-us U]\n");
        return 2;
    }

    QTemporaryDir dir;
    const QString simLogPath = dir.filePath(QStringLiteral("dgh-sim.log"));
    QProcess simulator;
    simulator.setStandardErrorFile(simLogPath);
    QStringList simArguments{QStringLiteral("--fast"), QStringLiteral("--log"),
                             QStringLiteral("--exit-with-parent"), QStringLiteral("--seed"),
                             QString::number(options.seed)};
    for (const char *kind : {"refusal", "none", "noise", "highbit", "crlf", "late", "truncated"})
        simArguments << QStringLiteral("--fault")
                     << QStringLiteral("%1@%2").arg(QLatin1String(kind)).arg(options.rate);
    simulator.start(QStringLiteral(DGH_SIM_PATH), simArguments);
    if (!simulator.waitForReadyRead(5000)) {
        std::fprintf(stderr, "soak: dgh-sim did not start\n");
        return 1;
    }
    const QString device = QString::fromLocal8Bit(simulator.readLine()).trimmed();

    PortMap ports;
    ports.setDevice(1, device);
    QtSerialPortAdapter line(ports);
    if (line.open() != SerialPort::NoError) {
        std::fprintf(stderr, "soak: cannot open %s\n", qPrintable(device));
        return 1;
    }
    SettlingPort port(line, std::chrono::microseconds(options.deadlineUs));
    SoakClock clock(QDateTime(QDate(2026, 12, 7), QTime(22, 0, 0)));
    CountingMessageBox messages;
    StationState state;
    state.probe1Offset = state.probe2Offset = 2.5777;
    state.probe1Slope = state.probe2Slope = 4.5427;
    FaultsOver faults(messages, clock);
    ModuleLink link(port, faults.reporter, clock);

    FakeSwitch cwbFlow, CWButton3, cwbPh, cwbTherm, cwbReset, cwPlot;
    FakeKnob CWKnobflow, CWtherMin, CWtherMax, CWpHmin, CWpHmax, graphMode;
    FakeOptionGroup optTherm, optTherm1;
    SoakLabel lblHz, lblLitersPerMin, liters, lblmV, lblpH, lblmV1, lblpH1, lblTherm1, lblTherm2,
        lblTherm3;
    SoakSlide CWSlideFlow, CWSlideLiters, CWSlideTherm1, CWSlideTherm2, CWSlideTherm3;
    ChannelSet channels(state, link, faults.reporter,
                        {cwbFlow, CWButton3, CWKnobflow, lblHz, lblLitersPerMin, liters,
                         CWSlideFlow, CWSlideLiters},
                        {cwbPh, optTherm, optTherm1, lblmV, lblpH, lblmV1, lblpH1},
                        {cwbTherm, cwbReset, CWtherMin, CWtherMax, lblTherm1, lblTherm2, lblTherm3,
                         CWSlideTherm1, CWSlideTherm2, CWSlideTherm3});
    ChannelAcquisition &acquisition = channels.acquisition;

    StoreGraph graph;
    FakeButton resetScale;
    FakeTimer tmrPlot, tmrLogger;
    FakeStatusBar statusBar;
    StripChart chart(state, clock,
                     {graph, cwPlot, tmrPlot, CWpHmin, CWpHmax, graphMode, statusBar, resetScale});
    FakeButton mnuStop, mnuLogSetup;
    Logger logger(state, tmrLogger, statusBar, mnuStop, mnuLogSetup, liters, faults.reporter, clock,
                  QCoreApplication::applicationDirPath());
    const QString logPath = dir.filePath(QStringLiteral("soak.log"));
    QString message;
    if (!logger.beginRun(logPath, LogFile::Mode::Overwrite, &message)) {
        std::fprintf(stderr, "soak: %s\n", qPrintable(message));
        return 1;
    }
    QFile records(logPath);
    records.open(QIODevice::ReadOnly);
    while (!records.readLine().isEmpty()) { } // the header

    // The display that shows each module's reading, and where it is kept.
    const auto labelOf = [&](char address) -> SoakLabel & {
        switch (address) {
        case '5': return lblHz;
        case '6': return lblmV;
        case '7': return lblmV1;
        case '1': return lblTherm1;
        case '2': return lblTherm2;
        default: return lblTherm3;
        }
    };
    const auto readingOf = [&](char address) {
        switch (address) {
        case '5': return state.flowHz;
        case '6': return state.probe1mV;
        case '7': return state.probe2mV;
        case '1': return state.therm1Temp;
        case '2': return state.therm2Temp;
        default: return state.therm3Temp;
        }
    };

    Tally tally;
    std::deque<Outcome> outcomes; // waiting for the simulator's word on them
    Outcome current;
    long long messagesBefore = 0;
    long long shownBefore = 0;
    const auto closeTransaction = [&] {
        if (!current.address)
            return;
        current.reported = messages.shown > messagesBefore;
        current.accepted = labelOf(current.address).readingsShown > shownBefore;
        current.value = readingOf(current.address);
        outcomes.push_back(current);
        current = Outcome();
    };
    port.onCommand = [&](const QByteArray &command) {
        closeTransaction();
        current.address = command.size() > 1 ? command.at(1) : '?';
        messagesBefore = messages.shown;
        shownBefore = labelOf(current.address).readingsShown;
        ++tally.transactions;
    };

    // The first few disagreements are shown in full.
    const auto disagree = [&](long long *count, const Outcome &outcome,
                              const SimulatorLog::Answer &answer) {
        if (++*count <= 5)
            std::fprintf(
                stderr, "soak: transaction %lld to \"%c\": sent %s %s, station %s %s %.15g\n",
                tally.transactions - static_cast<long long>(outcomes.size()), outcome.address,
                answer.fault.constData(), answer.bytes.toPercentEncoding().constData(),
                outcome.reported ? "reported" : "-", outcome.accepted ? "accepted" : "-",
                outcome.value);
    };
    // The simulator's word on each frame, taken when the station waits for
    // its answer: what it sent tells how many bytes to wait for.
    SimulatorLog simLog(simLogPath);
    std::deque<SimulatorLog::Answer> answers;
    long long bytesSent = 0; // by the simulator, up to the frame before this one
    port.expectedBytes = [&]() -> long long {
        SimulatorLog::Answer answer;
        QElapsedTimer waited;
        waited.start();
        while (!simLog.next(&answer)) {
            if (waited.elapsed() > 2000)
                return -1;
            usleep(20);
        }
        answers.push_back(answer);
        // Earlier late answers are due by now; this frame's own only if on time.
        const long long expected = bytesSent + (answer.fault == "late" ? 0 : answer.bytes.size());
        bytesSent += answer.bytes.size();
        return expected;
    };
    messages.whileOpen = [&] { port.catchUp(bytesSent); };
    bool lateHeld = false;
    double lateValue = 0;
    const auto audit = [&] {
        while (!outcomes.empty() && !answers.empty()) {
            const Outcome outcome = outcomes.front();
            outcomes.pop_front();
            const SimulatorLog::Answer answer = answers.front();
            answers.pop_front();
            const bool clean =
                answer.fault == "clean" || answer.fault == "noise" || answer.fault == "highbit";
            const bool carried = lateHeld; // the frame before had a late answer
            const double carriedValue = lateValue;
            lateHeld = answer.fault == "late";
            lateValue = sentValue(answer.bytes);
            if (outcome.reported)
                ++tally.faultsReported;
            if (!clean)
                ++tally.faultsInjected;
            // A reading as sent is right, even where a late one happened to carry the same value.
            if (clean && outcome.accepted && same(outcome.value, sentValue(answer.bytes)))
                continue;
            if (outcome.accepted && carried && same(outcome.value, carriedValue)) {
                disagree(&tally.lateTaken, outcome, answer);
            } else if (clean) {
                if (outcome.accepted)
                    disagree(&tally.wrong, outcome, answer);
                else if (outcome.reported)
                    ++tally.goodAnswersReported;
                else
                    disagree(&tally.wrong, outcome, answer); // neither shown nor reported
            } else if (outcome.accepted || !outcome.reported) {
                disagree(&tally.faultsAsGood, outcome, answer);
            }
        }
    };

    // Reads each new record back and holds it to the readings it was made from.
    const auto checkRecord = [&] {
        ++tally.records;
        const QByteArray bytes = records.readLine();
        if (!bytes.endsWith("\r\n") || bytes.count('\r') != 1 || bytes.count('\n') != 1) {
            ++tally.torn;
            return;
        }
        const QList<QByteArray> fields = bytes.chopped(2).split(',');
        const QTime now = clock.currentDateTime().time();
        if (fields.size() != 11 ||
            !fields[0].contains(now.toString(QStringLiteral(":mm:ss")).toLatin1())) {
            ++tally.torn;
            return;
        }
        const double expected[] = {state.therm1Temp, state.therm2Temp, state.therm3Temp,
                                   state.probe1mV,   state.probe2mV,   state.probe1pH,
                                   state.probe2pH,   state.flowHz};
        bool good = true;
        for (int i = 0; i < 8; ++i)
            good = good && same(fields[i + 1].toDouble(), expected[i]);
        good = good && same(fields[9].toDouble(), halfEven(fields[8].toDouble() * 60 / 6900, 2));
        good = good && fields[10] == '"' + liters.text().toUtf8() + '"';
        if (!good)
            ++tally.recordsWrong;
    };

    cwbFlow.setValue(true);
    cwbPh.setValue(true);
    cwbTherm.setValue(true);
    cwPlot.setValue(true);

    const long long cycles = std::llround(options.hours * 3600);
    long rssAfterHour = 0;
    long long chartAfterHour = 0;
    long long reopened = 0;
    QElapsedTimer wall;
    wall.start();
    for (long long second = 0; second < cycles; ++second) {
        clock.advanceTo(std::chrono::seconds(second));
        acquisition.ReadCycle();
        closeTransaction();
        tmrPlot.fire();
        logger.WriteLogRecord();
        checkRecord();
        clock.advanceTo(std::chrono::seconds(second) + 500ms);
        logger.WriteLogRecord();
        checkRecord();
        audit();

        // The operator closes the messages and switches failed groups back on.
        cwbFlow.setValue(true);
        cwbPh.setValue(true);
        cwbTherm.setValue(true);
        if (!line.isOpen() && line.open() == SerialPort::NoError)
            ++reopened;

        if ((second + 1) % 3600 == 0 || second + 1 == cycles) {
            const long rss = residentKb();
            if (second + 1 == 3600) {
                rssAfterHour = rss;
                chartAfterHour = graph.bytesUsed();
            }
            std::printf("hour=%.2f elapsed_s=%.1f transactions=%lld faults_injected=%lld "
                        "faults_reported=%lld "
                        "late_taken=%lld good_reported=%lld deadlines=%lld records=%lld rss_kb=%ld "
                        "chart_kb=%lld "
                        "points=%lld reopened=%lld\n",
                        (second + 1) / 3600.0, wall.elapsed() / 1000.0, tally.transactions,
                        tally.faultsInjected, tally.faultsReported, tally.lateTaken,
                        tally.goodAnswersReported, port.deadlinesReached(), tally.records, rss,
                        graph.bytesUsed() / 1024, graph.points(), reopened);
            std::fflush(stdout);
        }
    }
    audit();
    const long long unaudited = static_cast<long long>(outcomes.size());
    logger.closeLogFile();
    simulator.terminate();
    simulator.waitForFinished(3000);

    // Memory is compared without the chart's point store, which grows by design.
    const long rssFinal = residentKb();
    if (rssAfterHour == 0) {
        rssAfterHour = rssFinal;
        chartAfterHour = graph.bytesUsed();
    }
    const long baseAfterHour = rssAfterHour - static_cast<long>(chartAfterHour / 1024);
    const long baseFinal = rssFinal - static_cast<long>(graph.bytesUsed() / 1024);
    const bool memoryFlat = baseFinal <= baseAfterHour * 105 / 100;

    std::printf(
        "records_wrong=%lld faults_as_good=%lld late_taken=%lld unaudited=%lld chart_kb=%lld "
        "rss_peak_kb=%ld rss_final_with_chart_kb=%ld memory_flat=%d\n",
        tally.recordsWrong, tally.faultsAsGood, tally.lateTaken, unaudited,
        graph.bytesUsed() / 1024, peakResidentKb(), rssFinal, memoryFlat ? 1 : 0);
    std::printf("sim_hours=%g transactions=%lld faults_injected=%lld faults_reported=%lld "
                "records=%lld torn=%lld "
                "wrong=%lld rss_after_1h_kb=%ld rss_final_kb=%ld\n",
                cycles / 3600.0, tally.transactions, tally.faultsInjected, tally.faultsReported,
                tally.records, tally.torn, tally.wrong + tally.lateTaken + tally.recordsWrong,
                baseAfterHour, baseFinal);
    const bool failed = tally.torn > 0 || tally.wrong > 0 || tally.lateTaken > 0 ||
        tally.recordsWrong > 0 || tally.faultsAsGood > 0 || unaudited > 0 || !memoryFlat;
    return failed ? 1 : 0;
}
