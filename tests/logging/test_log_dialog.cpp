#include "LoggingFixture.h"
#include "logging/ui/FrmLogKestrom.h"
#include "platform/qt/widgets/SingleDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

// The Logger dialog's widgets, run offscreen against the faked main window.
class TestLogDialog : public QObject
{
    Q_OBJECT

    template <typename Widget> static Widget *child(QWidget *dialog, const char *name)
    {
        auto *widget = dialog->findChild<Widget *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    static void discardDeleted()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void widgets_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("parentName");
        QTest::newRow("Frame1") << "Frame1"
                                << "QGroupBox"
                                << "Log File Parameters:"
                                << "FrmLogKestrom";
        QTest::newRow("optDatafile_0") << "optDatafile_0"
                                       << "QRadioButton"
                                       << "No Save"
                                       << "Frame1";
        QTest::newRow("optDatafile_1") << "optDatafile_1"
                                       << "QRadioButton"
                                       << "Write to File"
                                       << "Frame1";
        QTest::newRow("Label1") << "Label1"
                                << "QLabel"
                                << "Logging Interval(sec)"
                                << "Frame1";
        QTest::newRow("cmbInterval") << "cmbInterval"
                                     << "QComboBox"
                                     << ""
                                     << "Frame1";
        QTest::newRow("optAppend_0") << "optAppend_0"
                                     << "QRadioButton"
                                     << "Append"
                                     << "FrmLogKestrom";
        QTest::newRow("optAppend_1") << "optAppend_1"
                                     << "QRadioButton"
                                     << "Overwrite"
                                     << "FrmLogKestrom";
        QTest::newRow("cmdSelect") << "cmdSelect"
                                   << "QPushButton"
                                   << "Select File"
                                   << "FrmLogKestrom";
        QTest::newRow("cmdExit") << "cmdExit"
                                 << "QPushButton"
                                 << "OK"
                                 << "FrmLogKestrom";
    }
    void widgets()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, caption);
        QFETCH(QString, parentName);
        LoggingFixture f;
        FrmLogKestrom dialog(f.setup, &f.cdlDataFiles);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Logger"));
        QVERIFY(!dialog.isModal());
        auto *widget = dialog.findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
        QCOMPARE(widget->parentWidget()->objectName(), parentName);
        QString text;
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            text = button->text();
        else if (auto *box = qobject_cast<QGroupBox *>(widget))
            text = box->title();
        else if (auto *label = qobject_cast<QLabel *>(widget))
            text = label->text();
        QCOMPARE(text, caption);
        // Only the frame's caption is bold.
        QCOMPARE(widget->font().bold(), name == QLatin1String("Frame1"));
    }

    void loadStep()
    {
        LoggingFixture f;
        FrmLogKestrom dialog(f.setup, &f.cdlDataFiles);
        QVERIFY(child<QRadioButton>(&dialog, "optDatafile_0")->isChecked());
        QVERIFY(!child<QRadioButton>(&dialog, "optDatafile_1")->isChecked());
        for (const char *name : {"optAppend_0", "optAppend_1"}) {
            QVERIFY(!child<QRadioButton>(&dialog, name)->isChecked());
            QVERIFY(!child<QRadioButton>(&dialog, name)->isEnabled());
        }
        QVERIFY(!child<QPushButton>(&dialog, "cmdSelect")->isEnabled());
        QVERIFY(child<QPushButton>(&dialog, "cmdExit")->isEnabled());
        auto *combo = child<QComboBox>(&dialog, "cmbInterval");
        QCOMPARE(combo->currentIndex(), -1);
        QStringList entries;
        for (int i = 0; i < combo->count(); ++i)
            entries << combo->itemText(i);
        QCOMPARE(entries, (QStringList{"60", "30", "15", "10", "5", "2", "1", "0.5"}));
    }

    // The two groups are exclusive each on its own. Clicks name the buttons
    // by their member suffix: d0 d1 for optDatafile, a0 a1 for optAppend.
    void groupsIndependent_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("checked");
        QTest::newRow("writeThenAppend") << QStringList{"d1", "a0"} << "d1 a0";
        QTest::newRow("appendThenOverwrite") << QStringList{"d1", "a0", "a1"} << "d1 a1";
        QTest::newRow("noSaveKeepsMode") << QStringList{"d1", "a1", "d0"} << "d0 a1";
        QTest::newRow("backAndForth") << QStringList{"d1", "a0", "d0", "d1"} << "d1 a0";
    }
    void groupsIndependent()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QString, checked);
        LoggingFixture f;
        FrmLogKestrom dialog(f.setup, &f.cdlDataFiles);
        const QMap<QString, const char *> names{{"d0", "optDatafile_0"},
                                                {"d1", "optDatafile_1"},
                                                {"a0", "optAppend_0"},
                                                {"a1", "optAppend_1"}};
        for (const QString &click : clicks)
            child<QRadioButton>(&dialog, names.value(click))->click();
        QStringList state;
        for (auto it = names.cbegin(); it != names.cend(); ++it) {
            if (child<QRadioButton>(&dialog, it.value())->isChecked())
                state << it.key();
        }
        std::sort(state.begin(), state.end(), [](const QString &a, const QString &b) {
            return a.at(0) == b.at(0) ? a < b : a.at(0) == 'd';
        });
        QCOMPARE(state.join(' '), checked);
        // "Write to File" enables the modes and "Select File", not "OK".
        const bool writing = checked.startsWith("d1");
        QCOMPARE(child<QRadioButton>(&dialog, "optAppend_0")->isEnabled(), writing);
        QCOMPARE(child<QPushButton>(&dialog, "cmdSelect")->isEnabled(), writing);
        QCOMPARE(child<QPushButton>(&dialog, "cmdExit")->isEnabled(), !writing);
    }

    // OK starts the run and hides the dialog; the next Setup shows the same
    // dialog with its choices.
    void okHidesAndKeeps()
    {
        LoggingFixture f;
        SingleDialog<FrmLogKestrom> window(
            [&f] { return new FrmLogKestrom(f.setup, &f.cdlDataFiles); });
        window.show();
        QPointer<FrmLogKestrom> first = window.dialog();
        QVERIFY(first && first->isVisible());
        f.cdlDataFiles.answer = QStringLiteral("/nonexistent-folder-for-test/run.txt");
        child<QRadioButton>(first, "optDatafile_1")->click();
        child<QPushButton>(first, "cmdSelect")->click();
        child<QRadioButton>(first, "optAppend_1")->click();
        child<QRadioButton>(first, "optDatafile_0")->click(); // then No Save after all
        child<QComboBox>(first, "cmbInterval")->setCurrentIndex(2);
        child<QPushButton>(first, "cmdExit")->click();
        QCOMPARE(f.messages.texts, QStringList());
        QCOMPARE(f.tmrLogger.interval(), 15000);
        QVERIFY(f.logger.isLogging());
        discardDeleted();
        QVERIFY(first);
        QVERIFY(!first->isVisible());
        f.mnuStop.press();
        window.show();
        QCOMPARE(window.dialog(), first.data());
        QVERIFY(first->isVisible());
        QCOMPARE(child<QComboBox>(first, "cmbInterval")->currentIndex(), 2);
        QVERIFY(child<QRadioButton>(first, "optAppend_1")->isChecked());
    }

    // The close box discards the dialog; Setup makes a new one from the
    // load step, and the chosen file name is still there.
    void closeBoxDiscards()
    {
        LoggingFixture f;
        SingleDialog<FrmLogKestrom> window(
            [&f] { return new FrmLogKestrom(f.setup, &f.cdlDataFiles); });
        window.show();
        QPointer<FrmLogKestrom> first = window.dialog();
        f.cdlDataFiles.answer = QStringLiteral("/var/tmp/kept.txt");
        child<QRadioButton>(first, "optDatafile_1")->click();
        child<QPushButton>(first, "cmdSelect")->click();
        child<QRadioButton>(first, "optAppend_0")->click();
        child<QComboBox>(first, "cmbInterval")->setCurrentIndex(4);
        QVERIFY(first->close());
        QVERIFY(!window.dialog());
        discardDeleted();
        QVERIFY(!first);

        window.show();
        FrmLogKestrom *second = window.dialog();
        QVERIFY(second && second->isVisible());
        QVERIFY(child<QRadioButton>(second, "optDatafile_0")->isChecked());
        QVERIFY(!child<QRadioButton>(second, "optAppend_0")->isChecked());
        QCOMPARE(child<QComboBox>(second, "cmbInterval")->currentIndex(), -1);
        QCOMPARE(f.setup.logFileName(), QStringLiteral("/var/tmp/kept.txt"));
        f.cdlDataFiles.cancel = true;
        child<QRadioButton>(second, "optDatafile_1")->click();
        child<QPushButton>(second, "cmdSelect")->click();
        QCOMPARE(f.cdlDataFiles.lastPreset, QStringLiteral("/var/tmp/kept.txt"));
        QVERIFY(child<QPushButton>(second, "cmdExit")->isEnabled());
    }

    // Showing it again while it is open brings up the same dialog.
    void secondSetupSameDialog()
    {
        LoggingFixture f;
        SingleDialog<FrmLogKestrom> window(
            [&f] { return new FrmLogKestrom(f.setup, &f.cdlDataFiles); });
        window.show();
        FrmLogKestrom *first = window.dialog();
        window.show();
        QCOMPARE(window.dialog(), first);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(
            std::count_if(windows.cbegin(), windows.cend(),
                          [](QWidget *w) { return qobject_cast<FrmLogKestrom *>(w) != nullptr; }),
            1);
    }
};

QTEST_MAIN(TestLogDialog)
#include "test_log_dialog.moc"
