#include "calibration/CalibrationEditor.h"
#include "calibration/CalibrationFixture.h"
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
};

namespace {
// The electrode equation, written here apart from the channel's own code.
double expectedPh(double millivolts, double offset, double slope, double celsius)
{
    return halfEven(7 + (millivolts / 1000 - offset) / (0.000198416 * slope * (celsius + 273.15)),
                    4);
}

struct OwnSettings
{
    FakeSettingsStore settings;
};

// The editor over a settings store of its own and the channel's record.
struct Editor : OwnSettings, EditorRig
{
    explicit Editor(StationState &state) : EditorRig(settings, state) { }
};
} // namespace

// clang-format off
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
    QTest::newRow("zeroSlopeKeepsLastPh") << 0 << "2.5777" << "0" << 2.5777 << 0.0;
}
// clang-format on

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
    const bool probe1 = member == 0;
    const QString address = probe1 ? QStringLiteral("6") : QStringLiteral("7");
    rig.answer(address, "*+2450.00");
    rig.cwbPh.press();
    rig.ph.ReadPhProbe(address);
    const double before = probe1 ? rig.state.probe1pH : rig.state.probe2pH;
    QCOMPARE(before, expectedPh(2450, 2.5777, 4.5427, 20));

    dialog.probe.select(member);
    dialog.offset.setText(offset);
    dialog.slope.setText(slope);
    dialog.editor.save();
    QCOMPARE(probe1 ? rig.state.probe1Slope : rig.state.probe2Slope, usedSlope); // zero included

    rig.ph.ReadPhProbe(address);
    const double pH = probe1 ? rig.state.probe1pH : rig.state.probe2pH;
    // A zero slope gives no pH: the last one stays.
    QCOMPARE(pH, usedSlope == 0 ? before : expectedPh(2450, usedOffset, usedSlope, 20));
}

QTEST_GUILESS_MAIN(TestCalibrationInUse)
#include "test_calibration_in_use.moc"
