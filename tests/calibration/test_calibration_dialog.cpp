#include "calibration/CalibrationFixture.h"
#include "calibration/CalibrationStore.h"
#include "calibration/ui/CalibrationDialog.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSettingsStore.h"
#include "platform/qt/widgets/SingleDialog.h"
#include "station/StationState.h"

#include <QtTest>
#include <QtWidgets>

namespace {
template <typename T> T *child(QWidget *dialog, const char *name)
{
    return dialog->findChild<T *>(QLatin1String(name));
}

// Replaces an entry's text the way the operator does: select all, type.
void retype(QWidget *dialog, const char *name, const QString &text)
{
    QLineEdit *edit = child<QLineEdit>(dialog, name);
    QVERIFY(edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Closes through the window's close box and lets the deferred deletion run.
void closeAndDiscard(QWidget *dialog)
{
    QPointer<QWidget> watched(dialog);
    QVERIFY(dialog->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(watched.isNull());
}
} // namespace

class TestCalibrationDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controls_data();
    void controls();
    void fixedSizeWithoutMinMax();
    void tabOrderAndInitialFocus();
    void firstRunLoadAndSaveWithoutProbe();
    void probe2Save();
    void typingThenSwitchingDiscards();
    void closeAndReopenReloadsProbe1();
    void openWhileOpenOnlyRaises();
    void probe1DateRoundTrip();
    void notANumberRefused_data();
    void notANumberRefused();

private:
    FakeSettingsStore m_settings;
    StationState m_state;
    FakeMessageBox m_messages;
    std::unique_ptr<CalibrationStore> m_store;
    std::unique_ptr<SingleDialog<CalibrationDialog>> m_launcher;
};

void TestCalibrationDialog::init()
{
    m_settings = FakeSettingsStore();
    m_state = StationState();
    m_messages = FakeMessageBox();
    m_store = std::make_unique<CalibrationStore>(m_settings, m_state, m_messages);
    m_store->LoadCalibration();
    m_launcher = std::make_unique<SingleDialog<CalibrationDialog>>(
        [this] { return new CalibrationDialog(*m_store, m_state, m_messages); });
}

void TestCalibrationDialog::cleanup()
{
    if (QWidget *dialog = m_launcher->dialog())
        delete dialog;
}

// clang-format off
void TestCalibrationDialog::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("caption"); // title, button text or entry text
    QTest::addColumn<QString>("parentName");

    QTest::newRow("Frame1")       << "Frame1"       << "QGroupBox"    << "Coefficients" << "frmCalkestrom";
    QTest::newRow("option1_0")    << "option1_0"    << "QRadioButton" << "pH Probe #1"  << "Frame1";
    QTest::newRow("option1_1")    << "option1_1"    << "QRadioButton" << "pH Probe #2"  << "Frame1";
    QTest::newRow("txtOffset")    << "txtOffset"    << "QLineEdit"    << "2.5777"       << "Frame1";
    QTest::newRow("txtSlope")     << "txtSlope"     << "QLineEdit"    << "4.5427"       << "Frame1";
    QTest::newRow("txtSerialNum") << "txtSerialNum" << "QLineEdit"    << "180312"       << "Frame1";
    QTest::newRow("txtCalTemp")   << "txtCalTemp"   << "QLineEdit"    << "14.000"       << "Frame1";
    QTest::newRow("DTPicker1")    << "DTPicker1"    << "QDateEdit"    << ""             << "Frame1";
    QTest::newRow("Command1")     << "Command1"     << "QPushButton"  << "Save"         << "frmCalkestrom";
}
// clang-format on

void TestCalibrationDialog::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, caption);
    QFETCH(QString, parentName);

    QDialog *dialog = m_launcher->show();
    QCOMPARE(dialog->objectName(), QStringLiteral("frmCalkestrom"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("pH Calibration"));
    QVERIFY(!dialog->isModal());

    QWidget *widget = dialog->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QCOMPARE(widget->parentWidget()->objectName(), parentName);
    if (auto *frame = qobject_cast<QGroupBox *>(widget))
        QCOMPARE(frame->title(), caption);
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), caption);
    else if (auto *edit = qobject_cast<QLineEdit *>(widget))
        QCOMPARE(edit->text(), caption);
    else
        QVERIFY(qobject_cast<QDateEdit *>(widget)->calendarPopup());
}

void TestCalibrationDialog::fixedSizeWithoutMinMax()
{
    QDialog *dialog = m_launcher->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    const Qt::WindowFlags flags = dialog->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    // Every control fits inside the window.
    for (QWidget *widget : dialog->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        QVERIFY(dialog->rect().contains(widget->geometry()));
}

void TestCalibrationDialog::tabOrderAndInitialFocus()
{
    QDialog *dialog = m_launcher->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtSerialNum"));

    // The named controls as the focus chain visits them.
    const QStringList expected{"txtSerialNum", "txtOffset", "txtSlope",  "txtCalTemp",
                               "DTPicker1",    "Command1",  "option1_0", "option1_1"};
    QStringList order;
    QWidget *start = child<QWidget>(dialog, "txtSerialNum");
    QWidget *widget = start;
    do {
        if (expected.contains(widget->objectName()) && !order.contains(widget->objectName()))
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != start);
    QCOMPARE(order, expected);
}

void TestCalibrationDialog::firstRunLoadAndSaveWithoutProbe()
{
    QDialog *dialog = m_launcher->show();
    QCOMPARE(child<QLineEdit>(dialog, "txtOffset")->text(), QStringLiteral("2.5777"));
    QCOMPARE(child<QLineEdit>(dialog, "txtSlope")->text(), QStringLiteral("4.5427"));
    QCOMPARE(child<QLineEdit>(dialog, "txtSerialNum")->text(), QStringLiteral("180312"));
    QCOMPARE(child<QLineEdit>(dialog, "txtCalTemp")->text(), QStringLiteral("14.000"));
    QCOMPARE(child<QDateEdit>(dialog, "DTPicker1")->date(), QDate(2001, 1, 1));
    QVERIFY(!child<QRadioButton>(dialog, "option1_0")->isChecked());
    QVERIFY(!child<QRadioButton>(dialog, "option1_1")->isChecked());
    QCOMPARE(m_state.probe1CalDate, oleDays(QDate(2001, 1, 1)));

    retype(dialog, "txtSlope", QStringLiteral("3.9"));
    QTest::mouseClick(child<QPushButton>(dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(m_settings.writes, 0);
    QVERIFY(m_settings.values.isEmpty());
    QVERIFY(m_messages.texts.isEmpty());
    QCOMPARE(m_state.probe1Slope, 4.5427);
    QVERIFY(dialog->isVisible());
}

void TestCalibrationDialog::probe2Save()
{
    QDialog *dialog = m_launcher->show();
    QTest::mouseClick(child<QRadioButton>(dialog, "option1_1"), Qt::LeftButton);
    retype(dialog, "txtSlope", QStringLiteral("4.3900"));
    QTest::mouseClick(child<QPushButton>(dialog, "Command1"), Qt::LeftButton);

    const QMap<QString, QString> expected{
        {storePath("offset2"), QStringLiteral("2.5777")},
        {storePath("slope2"), QStringLiteral("4.3900")},
        {storePath("serial number2"), QStringLiteral("180312")},
        {storePath("date2"), QStringLiteral("2001-01-01")},
    };
    QCOMPARE(m_settings.values, expected);
    QCOMPARE(m_state.probe2Slope, 4.39);
    QCOMPARE(m_state.probe1Slope, 4.5427);
    QVERIFY(dialog->isVisible()); // stays open, no confirmation
    QVERIFY(m_messages.texts.isEmpty());
}

void TestCalibrationDialog::typingThenSwitchingDiscards()
{
    m_settings.values[storePath("offset2")] = QStringLiteral("2.6100");
    QDialog *dialog = m_launcher->show();
    QTest::mouseClick(child<QRadioButton>(dialog, "option1_0"), Qt::LeftButton);
    retype(dialog, "txtOffset", QStringLiteral("1.11"));
    retype(dialog, "txtSerialNum", QStringLiteral("typed"));
    QTest::mouseClick(child<QRadioButton>(dialog, "option1_1"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(dialog, "txtOffset")->text(), QStringLiteral("2.6100"));
    QCOMPARE(child<QLineEdit>(dialog, "txtSlope")->text(), QStringLiteral("4.5427"));
    QCOMPARE(child<QLineEdit>(dialog, "txtSerialNum")->text(), QStringLiteral("180312"));
    // And back: probe 1's stored texts, not what was typed.
    QTest::mouseClick(child<QRadioButton>(dialog, "option1_0"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(dialog, "txtOffset")->text(), QStringLiteral("2.5777"));
    QCOMPARE(m_state.probe1Offset, 2.5777);
    QCOMPARE(m_settings.writes, 0);
}

void TestCalibrationDialog::closeAndReopenReloadsProbe1()
{
    m_settings.values[storePath("serial number")] = QStringLiteral("P1");
    QDialog *first = m_launcher->show();
    QTest::mouseClick(child<QRadioButton>(first, "option1_1"), Qt::LeftButton);
    retype(first, "txtCalTemp", QStringLiteral("25.0"));
    retype(first, "txtOffset", QStringLiteral("3.3"));
    closeAndDiscard(first);
    QVERIFY(!m_launcher->dialog());

    QDialog *second = m_launcher->show();
    QCOMPARE(child<QLineEdit>(second, "txtOffset")->text(), QStringLiteral("2.5777"));
    QCOMPARE(child<QLineEdit>(second, "txtSerialNum")->text(), QStringLiteral("P1"));
    QCOMPARE(child<QLineEdit>(second, "txtCalTemp")->text(), QStringLiteral("14.000"));
    QVERIFY(!child<QRadioButton>(second, "option1_0")->isChecked());
    QVERIFY(!child<QRadioButton>(second, "option1_1")->isChecked());
    QCOMPARE(m_settings.writes, 0);
}

void TestCalibrationDialog::openWhileOpenOnlyRaises()
{
    QDialog *first = m_launcher->show();
    retype(first, "txtSlope", QStringLiteral("4.0"));
    QDialog *again = m_launcher->show();
    QCOMPARE(again, first);
    QCOMPARE(child<QLineEdit>(again, "txtSlope")->text(), QStringLiteral("4.0"));
}

void TestCalibrationDialog::probe1DateRoundTrip()
{
    QDialog *dialog = m_launcher->show();
    QTest::mouseClick(child<QRadioButton>(dialog, "option1_0"), Qt::LeftButton);
    QDateEdit *picker = child<QDateEdit>(dialog, "DTPicker1");
    picker->setDate(QDate(2026, 11, 30));                          // as the calendar popup does
    QCOMPARE(m_state.probe1CalDate, oleDays(QDate(2026, 11, 30))); // at once, before Save
    QVERIFY(m_settings.values.isEmpty());

    QTest::mouseClick(child<QPushButton>(dialog, "Command1"), Qt::LeftButton);
    closeAndDiscard(dialog);

    StationState next;
    CalibrationStore(m_settings, next, m_messages).LoadCalibration();
    QCOMPARE(next.probe1CalDate, oleDays(QDate(2026, 11, 30)));
    QDialog *reopened = m_launcher->show();
    QCOMPARE(child<QDateEdit>(reopened, "DTPicker1")->date(), QDate(2026, 11, 30));
}

// clang-format off
void TestCalibrationDialog::notANumberRefused_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");

    QTest::newRow("offsetLetters") << "txtOffset" << "two"   << "offset \"two\"";
    QTest::newRow("offsetEmpty")   << "txtOffset" << ""      << "offset \"\"";
    QTest::newRow("slopeSymbols")  << "txtSlope"  << "4.5%"  << "slope \"4.5%\"";
}
// clang-format on

void TestCalibrationDialog::notANumberRefused()
{
    QFETCH(QString, entry);
    QFETCH(QString, text);
    QFETCH(QString, named);

    QDialog *dialog = m_launcher->show();
    QTest::mouseClick(child<QRadioButton>(dialog, "option1_0"), Qt::LeftButton);
    const StationState before = m_state;
    retype(dialog, "txtSerialNum", QStringLiteral("X9"));
    retype(dialog, entry.toLatin1().constData(), text);
    QTest::mouseClick(child<QPushButton>(dialog, "Command1"), Qt::LeftButton);

    QVERIFY(m_settings.values.isEmpty());
    QCOMPARE(m_state.probe1Offset, before.probe1Offset);
    QCOMPARE(m_state.probe1Slope, before.probe1Slope);
    QCOMPARE(m_state.probe1Serial, before.probe1Serial);
    QCOMPARE(m_messages.texts.size(), 1);
    QVERIFY2(m_messages.texts.first().contains(named), qPrintable(m_messages.texts.first()));
    QVERIFY(dialog->isVisible());
}

QTEST_MAIN(TestCalibrationDialog)
#include "test_calibration_dialog.moc"
