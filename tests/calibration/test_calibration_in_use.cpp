#include "calibration/CalibrationEditor.h"
#include "calibration/CalibrationStore.h"

#include "channels/ChannelRig.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWidgets.h"

#include <QtTest>

// A Save in the calibration window reaches the next pH conversion.
class TestCalibrationInUse : public QObject
{
    Q_OBJECT

private slots:
    void nextConversionUsesSavedCoefficients_data();
    void nextConversionUsesSavedCoefficients();
    void zeroSlopeKeepsLastPh();
};

namespace {
// The electrode equation, written here apart from the channel's own code.
double expectedPh(double millivolts, double offset, double slope, double celsius)
{
    return halfEven(7 + (millivolts / 1000 - offset) / (0.000198416 * slope * (celsius + 273.15)), 4);
}

struct Editor
{
    explicit Editor(StationState &state)
        : store(settings, state, messages),
          editor({offset, slope, serialNumber, calTemp, probe, date}, store, state, messages)
    {
        store.LoadCalibration();
        editor.load();
    }

    FakeSettingsStore settings;
    FakeMessageBox messages;
    FakeTextEntry offset, slope, serialNumber, calTemp;
    FakeOptionGroup probe;
    FakeDatePicker date;
    CalibrationStore store;
    CalibrationEditor editor;
};
} // namespace

void TestCalibrationInUse::nextConversionUsesSavedCoefficients_data()
{
    QTest::addColumn<int>("member");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("slope");
    QTest::addColumn<double>("usedOffset");
    QTest::addColumn<double>("usedSlope");

    QTest::newRow("probe1Saved")   << 0 << "2.4000" << "4.0"  << 2.4    << 4.0;
    QTest::newRow("probe2Saved")   << 1 << "2.6"    << "5.25" << 2.6    << 5.25;
    QTest::newRow("refusedSave")   << 0 << "2.4x"   << "4.0"  << 2.5777 << 4.5427;
}

void TestCalibrationInUse::nextConversionUsesSavedCoefficients()
{
    QFETCH(int, member);
    QFETCH(QString, offset);
    QFETCH(QString, slope);
    QFETCH(double, usedOffset);
    QFETCH(double, usedSlope);

    ChannelRig rig;
    rig.state.therm1Temp = 20;
    Editor dialog(rig.state);
    dialog.probe.select(member);
    dialog.offset.setText(offset);
    dialog.slope.setText(slope);
    dialog.editor.save();

    const QString address = member == 0 ? QStringLiteral("6") : QStringLiteral("7");
    rig.answer(address, "*+2450.00");
    rig.cwbPh.press();
    rig.acquisition.ReadPhProbe(address);

    const double pH = member == 0 ? rig.state.probe1pH : rig.state.probe2pH;
    QCOMPARE(pH, expectedPh(2450, usedOffset, usedSlope, 20));
}

void TestCalibrationInUse::zeroSlopeKeepsLastPh()
{
    ChannelRig rig;
    rig.state.therm1Temp = 20;
    Editor dialog(rig.state);
    rig.answer("6", "*+2450.00");
    rig.cwbPh.press();
    rig.acquisition.ReadPhProbe("6");
    const double before = rig.state.probe1pH;
    QCOMPARE(before, expectedPh(2450, 2.5777, 4.5427, 20));

    dialog.probe.select(0);
    dialog.slope.setText(QStringLiteral("0"));
    dialog.editor.save();
    QCOMPARE(rig.state.probe1Slope, 0.0); // a zero slope is a number: saved
    QVERIFY(dialog.messages.texts.isEmpty());

    rig.acquisition.ReadPhProbe("6");
    QCOMPARE(rig.state.probe1pH, before);
}

QTEST_GUILESS_MAIN(TestCalibrationInUse)
#include "test_calibration_in_use.moc"
