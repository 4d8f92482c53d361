#include "calibration/CalibrationHistory.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWidgets.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/SystemClock.h"
#include "sim/SimulatorProcess.h"
#include "ui/main/MainWindow.h"
#include "ui/main/Station.h"

#include <QAction>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// What the modules say: thermistor 1 at 25 degC and probe 1's millivolts.
bool answer(const QString &fileName, const char *probeMillivolts)
{
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) &&
        file.write(QByteArray("1=*+0025.00\n6=*+") + probeMillivolts + "\n") > 0 && file.commit();
}

QString lastLine(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<no %1>").arg(fileName);
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    return QString::fromUtf8(lines.last());
}

} // namespace

// A buffer calibration as an operator does it, through the real windows:
// the probe in a pH 7.00 buffer, then in 4.01 (4.008 at 25 degC), the module
// simulator answering what such a probe would (offset 2.4530 V, slope
// 4.5358), from the menu entry to the filled-in pH Calibration dialog and
// its Save.
class TestBufferAssistantLive : public QObject
{
    Q_OBJECT

private slots:
    void twoBuffersToSave()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QTemporaryDir folder;
        const QString answers = folder.filePath("answers");
        QVERIFY(answer(answers, "2453.00"));
        SimulatorProcess simulator(DGH_SIM_PATH);
        QString error;
        QVERIFY2(simulator.start({"--fast", "--answers-from", answers}, &error), qPrintable(error));
        PortMap ports;
        ports.setDevice(1, simulator.devicePath());
        QtSerialPortAdapter port(ports);
        SystemClock clock;
        FakeSettingsStore settings;
        FakeMessageBox messages;
        FakeInputBox inputs;
        MainWindow window;
        Station station(window, {port, clock, settings, messages, inputs},
                        QStringLiteral(DGH_PROGRAM_FOLDER));
        QVERIFY2(station.start(), qPrintable(messages.texts.join('\n')));
        StationOptions options;
        options.pollPh = options.pollTherm = true;
        QVERIFY(station.applyOptions(options, &error));
        window.show();

        window.controls().mnuBufferCal->trigger();
        auto *assistant = window.findChild<QDialog *>("frmBufferAssistant");
        QVERIFY(assistant);
        const auto text = [assistant](const char *name) {
            return assistant->findChild<QLabel *>(name)->text();
        };
        const auto settle = [&](const QString &millivolts) {
            QTRY_VERIFY_WITH_TIMEOUT(text("lblLive").contains(millivolts + " mV") &&
                                         text("lblStability").startsWith("Stable"),
                                     30000);
        };

        settle("2453.00");
        QVERIFY(text("lblLive").contains("thermistor 1: 25.00 °C"));
        assistant->findChild<QPushButton *>("cmdCapture_0")->click(); // row 1: 7.00
        QCOMPARE(text("lblCaptured_0"), QString("2453.00 mV at 25.0 °C: pH 7.000 (table)"));
        QCOMPARE(assistant->findChild<QLabel *>("lblCaptured_0")->toolTip(),
                 QString("7.00 technical buffer at 25.0 °C, from its table"));
        QCOMPARE(text("lblResult"), QString("Capture at least two buffers."));

        QVERIFY(answer(answers, "1650.16")); // into the 4.01 buffer
        settle("1650.16");
        assistant->findChild<QPushButton *>("cmdCapture_1")->click(); // row 2: 4.01
        QVERIFY2(text("lblResult")
                     .startsWith("Offset 2.4530 V (\u22120.1247 V from the default "
                                 "2.5777 V)\nSlope 4.5358 (99.8 % of the default "
                                 "4.5427)"),
                 qPrintable(text("lblResult")));

        assistant->findChild<QPushButton *>("cmdApply")->click();
        auto *calibration = window.findChild<QDialog *>("frmCalkestrom");
        QVERIFY(calibration && calibration->isVisible());
        QVERIFY(calibration->findChild<QRadioButton *>("option1_0")->isChecked());
        QCOMPARE(calibration->findChild<QLineEdit *>("txtOffset")->text(), QString("2.4530"));
        QCOMPARE(calibration->findChild<QLineEdit *>("txtSlope")->text(), QString("4.5358"));
        QCOMPARE(calibration->findChild<QDateEdit *>("DTPicker1")->date(), QDate::currentDate());
        // Nothing is stored before the operator saves.
        QCOMPARE(settings.writes, 0);

        calibration->findChild<QPushButton *>("Command1")->click();
        const QString coefficients = "Kestrom Science DGH Driver/Coefficients/";
        QCOMPARE(settings.values.value(coefficients + "offset"), QString("2.4530"));
        QCOMPARE(settings.values.value(coefficients + "slope"), QString("4.5358"));
        QVERIFY(lastLine(CalibrationHistory::defaultFileName())
                    .endsWith(",1,2.4530,4.5358,180312,pH 7.000 at 25.00 degC: 2453.00 mV; "
                              "pH 4.008 at 25.00 degC: 1650.16 mV"));
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
        station.exit();
        QLocale::setDefault(QLocale::c());
    }
};

QTEST_MAIN(TestBufferAssistantLive)
#include "test_buffer_assistant_live.moc"
