#include "alarms/AlarmState.h"

#include <QtTest>

// Every state of an alarm against every event: the condition coming or
// going, the operator's acknowledgement and shelving, and the shelf running
// out, with the transition each one tells.
class TestAlarmStates : public QObject
{
    Q_OBJECT

private slots:
    void everyStateAgainstEveryEvent_data();
    void everyStateAgainstEveryEvent();
};

Q_DECLARE_METATYPE(AlarmState)
Q_DECLARE_METATYPE(AlarmEvent)

// clang-format off
void TestAlarmStates::everyStateAgainstEveryEvent_data()
{
    QTest::addColumn<AlarmState>("state");
    QTest::addColumn<AlarmEvent>("event");
    QTest::addColumn<bool>("present"); // the condition, after the event
    QTest::addColumn<AlarmState>("next");
    QTest::addColumn<QString>("told"); // the transition's kind; empty: none

    using S = AlarmState;
    using E = AlarmEvent;
    QTest::newRow("normalOn")                << S::Normal       << E::ConditionOn  << true  << S::Active       << "active";
    QTest::newRow("normalOff")               << S::Normal       << E::ConditionOff << false << S::Normal       << "";
    QTest::newRow("normalAck")               << S::Normal       << E::Acknowledge  << false << S::Normal       << "";
    QTest::newRow("normalShelve")            << S::Normal       << E::Shelve       << false << S::Shelved      << "shelved";
    QTest::newRow("normalExpiry")            << S::Normal       << E::ShelfExpired << false << S::Normal       << "";
    QTest::newRow("activeOn")                << S::Active       << E::ConditionOn  << true  << S::Active       << "";
    QTest::newRow("activeOff")               << S::Active       << E::ConditionOff << false << S::Returned     << "returned";
    QTest::newRow("activeAck")               << S::Active       << E::Acknowledge  << true  << S::Acknowledged << "acknowledged";
    QTest::newRow("activeShelve")            << S::Active       << E::Shelve       << true  << S::Shelved      << "shelved";
    QTest::newRow("activeExpiry")            << S::Active       << E::ShelfExpired << true  << S::Active       << "";
    // Acknowledged, it stays until its condition goes.
    QTest::newRow("acknowledgedOn")          << S::Acknowledged << E::ConditionOn  << true  << S::Acknowledged << "";
    QTest::newRow("acknowledgedOff")         << S::Acknowledged << E::ConditionOff << false << S::Normal       << "normal";
    QTest::newRow("acknowledgedAck")         << S::Acknowledged << E::Acknowledge  << true  << S::Acknowledged << "";
    QTest::newRow("acknowledgedShelve")      << S::Acknowledged << E::Shelve       << true  << S::Shelved      << "shelved";
    QTest::newRow("acknowledgedExpiry")      << S::Acknowledged << E::ShelfExpired << true  << S::Acknowledged << "";
    // Cleared unacknowledged, it waits for the operator; coming back, it is new.
    QTest::newRow("returnedOn")              << S::Returned     << E::ConditionOn  << true  << S::Active       << "active";
    QTest::newRow("returnedOff")             << S::Returned     << E::ConditionOff << false << S::Returned     << "";
    QTest::newRow("returnedAck")             << S::Returned     << E::Acknowledge  << false << S::Normal       << "normal";
    QTest::newRow("returnedShelve")          << S::Returned     << E::Shelve       << false << S::Shelved      << "shelved";
    QTest::newRow("returnedExpiry")          << S::Returned     << E::ShelfExpired << false << S::Returned     << "";
    // Shelved, nothing reaches it until the shelf runs out; shelved again, it is told.
    QTest::newRow("shelvedOn")               << S::Shelved      << E::ConditionOn  << true  << S::Shelved      << "";
    QTest::newRow("shelvedOff")              << S::Shelved      << E::ConditionOff << false << S::Shelved      << "";
    QTest::newRow("shelvedAck")              << S::Shelved      << E::Acknowledge  << true  << S::Shelved      << "";
    QTest::newRow("shelvedShelve")           << S::Shelved      << E::Shelve       << true  << S::Shelved      << "shelved";
    QTest::newRow("shelvedExpiryPresent")    << S::Shelved      << E::ShelfExpired << true  << S::Active       << "unshelved";
    QTest::newRow("shelvedExpiryClear")      << S::Shelved      << E::ShelfExpired << false << S::Normal       << "unshelved";
}
// clang-format on

void TestAlarmStates::everyStateAgainstEveryEvent()
{
    QFETCH(AlarmState, state);
    QFETCH(AlarmEvent, event);
    QFETCH(bool, present);
    QFETCH(AlarmState, next);
    QFETCH(QString, told);

    const AlarmStates::Step step = AlarmStates::next(state, event, present);
    QCOMPARE(AlarmStates::name(step.state), AlarmStates::name(next));
    QCOMPARE(step.kind, told);
    // The indicator's counts follow the state.
    QCOMPARE(AlarmStates::isActive(step.state),
             next == AlarmState::Active || next == AlarmState::Acknowledged);
    QCOMPARE(AlarmStates::isUnacknowledged(step.state),
             next == AlarmState::Active || next == AlarmState::Returned);
}

QTEST_GUILESS_MAIN(TestAlarmStates)
#include "test_alarm_states.moc"
