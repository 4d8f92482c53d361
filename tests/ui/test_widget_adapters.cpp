#include "platform/qt/widgets/MarkedSlider.h"
#include "platform/qt/widgets/PanelStatusBar.h"
#include "platform/qt/widgets/QtDatePicker.h"
#include "platform/qt/widgets/QtDropDownList.h"
#include "platform/qt/widgets/QtFileChooser.h"
#include "platform/qt/widgets/QtInputBox.h"
#include "platform/qt/widgets/QtKnob.h"
#include "platform/qt/widgets/QtLabel.h"
#include "platform/qt/widgets/QtMessageBox.h"
#include "platform/qt/widgets/QtOptionGroup.h"
#include "platform/qt/widgets/QtSlide.h"
#include "platform/qt/widgets/QtStatusBar.h"
#include "platform/qt/widgets/QtSwitch.h"
#include "platform/qt/widgets/QtTimer.h"
#include "platform/qt/widgets/ToggleButton.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <qwt_knob.h>
#include <qwt_slider.h>

#include <memory>
#include <thread>

class TestWidgetAdapters : public QObject
{
    Q_OBJECT

private slots:
    void knobNotifiesEachChange_data();
    void knobNotifiesEachChange();
    void switchFollowsPressAndProgram_data();
    void switchFollowsPressAndProgram();
    void optionGroupRaisesClickOnSelection_data();
    void optionGroupRaisesClickOnSelection();
    void textEntryKeepsText_data();
    void textEntryKeepsText();
    void datePickerNotifiesOperatorEditsOnly_data();
    void datePickerNotifiesOperatorEditsOnly();
    void dropDownListStartsUnchosen_data();
    void dropDownListStartsUnchosen();
    void timerRunsOnlyWithIntervalAndEnabled_data();
    void timerRunsOnlyWithIntervalAndEnabled();
    void timerTicksAndDeliversMissedTicksOnce();
    void slideKeepsValueAndMarkers_data();
    void slideKeepsValueAndMarkers();
    void statusBarPicture_data();
    void statusBarPicture();
    void statusBarPanels();
    void fileFilter_data();
    void fileFilter();
    void fileChooserAnswers_data();
    void fileChooserAnswers();
    void messageBoxHasOneOk_data();
    void messageBoxHasOneOk();
    void inputBoxAnswers_data();
    void inputBoxAnswers();
};

namespace {
// Runs inspect on the modal dialog once it is up, from inside its event loop.
void whenModalShows(std::function<void(QWidget *)> inspect)
{
    QTimer::singleShot(0, qApp, [inspect] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) { // not up yet: look again
            whenModalShows(inspect);
            return;
        }
        inspect(modal);
    });
}
} // namespace

// clang-format off
void TestWidgetAdapters::knobNotifiesEachChange_data()
{
    QTest::addColumn<bool>("slider"); // a Qwt slider (the mode selector's kind) instead of a knob
    QTest::addColumn<double>("start");
    QTest::addColumn<QList<double>>("setValues");
    QTest::addColumn<int>("notifications");
    QTest::addColumn<double>("finalValue");

    QTest::newRow("oneChange")        << false << 0.0  << QList<double>{25}        << 1 << 25.0;
    QTest::newRow("sameValueSilent")  << false << 25.0 << QList<double>{25}        << 0 << 25.0;
    QTest::newRow("threeChanges")     << false << 0.0  << QList<double>{5, 25, 15} << 3 << 15.0;
    QTest::newRow("backAndForth")     << false << 5.0  << QList<double>{6, 5}      << 2 << 5.0;
    QTest::newRow("repeatCountsOnce") << false << 0.0  << QList<double>{7, 7, 7}   << 1 << 7.0;
    QTest::newRow("clampedToScale")   << false << 10.0 << QList<double>{99}        << 1 << 30.0;
    QTest::newRow("sliderOneChange")  << true  << 0.0  << QList<double>{3}         << 1 << 3.0;
    QTest::newRow("sliderSameSilent") << true  << 4.0  << QList<double>{4}         << 0 << 4.0;
    QTest::newRow("sliderTwoChanges") << true  << 0.0  << QList<double>{1, 2}      << 2 << 2.0;
}
// clang-format on

void TestWidgetAdapters::knobNotifiesEachChange()
{
    QFETCH(bool, slider);
    QFETCH(double, start);
    QFETCH(QList<double>, setValues);
    QFETCH(int, notifications);
    QFETCH(double, finalValue);

    std::unique_ptr<QwtAbstractSlider> widget;
    if (slider)
        widget = std::make_unique<QwtSlider>(Qt::Vertical);
    else
        widget = std::make_unique<QwtKnob>();
    widget->setScale(0, 30);
    widget->setValue(start);
    QtKnob knob(widget.get());
    int count = 0;
    double seen = -1;
    knob.changed.setHandler([&] {
        ++count;
        seen = knob.value(); // the handler reads the new value from the knob
    });

    for (double v : setValues)
        knob.setValue(v);

    QCOMPARE(count, notifications);
    QCOMPARE(knob.value(), finalValue);
    if (count > 0)
        QCOMPARE(seen, finalValue);
}

// clang-format off
void TestWidgetAdapters::switchFollowsPressAndProgram_data()
{
    QTest::addColumn<QString>("onCaption");
    QTest::addColumn<QString>("offCaption");
    QTest::addColumn<QString>("actions"); // p = operator press, 1/0 = program set on/off
    QTest::addColumn<int>("notifications");
    QTest::addColumn<bool>("finalValue");

    QTest::newRow("pressTurnsOn")        << "Stop" << "Start" << "p"    << 1 << true;
    QTest::newRow("pressTwiceTurnsOff")  << "Stop" << "Start" << "pp"   << 2 << false;
    QTest::newRow("programOn")           << "Disable DGH" << "Enable DGH" << "1" << 1 << true;
    QTest::newRow("programOffWhenOff")   << "Stop" << "Start" << "0"    << 0 << false;
    QTest::newRow("programOnTwice")      << "Stop" << "Start" << "11"   << 1 << true;
    QTest::newRow("pressThenProgramOff") << "Pause Plot" << "Start Plot" << "p0" << 2 << false;
    QTest::newRow("resetEachPress")      << "Reset" << "Reset" << "ppp"  << 3 << true;
}
// clang-format on

void TestWidgetAdapters::switchFollowsPressAndProgram()
{
    QFETCH(QString, onCaption);
    QFETCH(QString, offCaption);
    QFETCH(QString, actions);
    QFETCH(int, notifications);
    QFETCH(bool, finalValue);

    ToggleButton button(onCaption, offCaption);
    QCOMPARE(button.text(), offCaption);
    QtSwitch sw(&button);
    int count = 0;
    QString captionSeen;
    sw.changed.setHandler([&] {
        ++count;
        captionSeen = button.text();
    });

    for (QChar action : actions) {
        if (action == QLatin1Char('p'))
            QTest::mouseClick(&button, Qt::LeftButton);
        else
            sw.setValue(action == QLatin1Char('1'));
    }

    QCOMPARE(count, notifications);
    QCOMPARE(sw.value(), finalValue);
    QCOMPARE(button.text(), finalValue ? onCaption : offCaption);
    if (count > 0)
        QCOMPARE(captionSeen, button.text()); // the caption is current inside the handler
}

// clang-format off
void TestWidgetAdapters::optionGroupRaisesClickOnSelection_data()
{
    // Actions: "c<n>" = the operator clicks member n, "s<n>" = select(n) by program.
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("selected");

    QTest::newRow("programSelectsLast")      << QStringList{"s2"}       << QList<int>{2}    << 2;
    QTest::newRow("programSelectsFirst")     << QStringList{"s0"}       << QList<int>{0}    << 0;
    QTest::newRow("operatorClicksMiddle")    << QStringList{"c1"}       << QList<int>{1}    << 1;
    QTest::newRow("operatorClicksLast")      << QStringList{"c2"}       << QList<int>{2}    << 2;
    QTest::newRow("operatorSwitches")        << QStringList{"c0", "c2"} << QList<int>{0, 2} << 2;
    QTest::newRow("operatorReclickSilent")   << QStringList{"c1", "c1"} << QList<int>{1}    << 1;
    QTest::newRow("programReselectRaises")   << QStringList{"s1", "s1"} << QList<int>{1, 1} << 1;
    QTest::newRow("programAfterOperator")    << QStringList{"c1", "s1"} << QList<int>{1, 1} << 1;
    QTest::newRow("operatorAfterProgram")    << QStringList{"s0", "c2"} << QList<int>{0, 2} << 2;
    QTest::newRow("unknownMemberIgnored")    << QStringList{"s3"}       << QList<int>{}     << int(OptionGroup::None);
    QTest::newRow("noneIgnored")             << QStringList{"s-1"}      << QList<int>{}     << int(OptionGroup::None);
    QTest::newRow("unknownKeepsSelection")   << QStringList{"s1", "s7"} << QList<int>{1}    << 1;
}
// clang-format on

void TestWidgetAdapters::optionGroupRaisesClickOnSelection()
{
    QFETCH(QStringList, actions);
    QFETCH(QList<int>, clicks);
    QFETCH(int, selected);

    QWidget parent;
    QButtonGroup group;
    QList<QRadioButton *> buttons;
    for (int i = 0; i < 3; ++i) {
        buttons << new QRadioButton(QStringLiteral("T-%1").arg(i + 1), &parent);
        buttons.last()->adjustSize();
        buttons.last()->move(0, 30 * i);
        group.addButton(buttons.last(), i);
    }
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QtOptionGroup options(&group);
    QCOMPARE(options.selected(), int(OptionGroup::None));
    QList<int> seen;
    options.clicked.setHandler([&](int m) {
        QCOMPARE(options.selected(), m); // the handler finds the member selected
        seen << m;
    });

    for (const QString &action : actions) {
        const int member = action.mid(1).toInt();
        if (action.startsWith(QLatin1Char('c')))
            QTest::mouseClick(buttons[member], Qt::LeftButton);
        else
            options.select(member);
    }

    QCOMPARE(seen, clicks);
    QCOMPARE(options.selected(), selected);
    for (int i = 0; i < buttons.size(); ++i)
        QCOMPARE(buttons[i]->isChecked(), i == selected);

    options.setMemberEnabled(1, false);
    QVERIFY(!buttons[1]->isEnabled());
    QVERIFY(buttons[0]->isEnabled());
    options.setMemberEnabled(1, true);
    QVERIFY(buttons[1]->isEnabled());
}

// clang-format off
void TestWidgetAdapters::textEntryKeepsText_data()
{
    QTest::addColumn<QString>("programText"); // set through the adapter first
    QTest::addColumn<QString>("typed");       // then typed at the end, if not empty
    QTest::addColumn<QString>("text");

    QTest::newRow("operatorAppends")  << "2.45"   << "30"   << "2.4530";
    QTest::newRow("operatorTypesAll") << ""       << "P1 b" << "P1 b";
}
// clang-format on

void TestWidgetAdapters::textEntryKeepsText()
{
    QFETCH(QString, programText);
    QFETCH(QString, typed);
    QFETCH(QString, text);

    QLineEdit edit(QStringLiteral("000.0"));
    QtLabel entry(&edit);
    entry.setText(programText);
    QCOMPARE(edit.text(), programText);
    edit.end(false);
    QTest::keyClicks(&edit, typed);
    QCOMPARE(entry.text(), text);
}

// clang-format off
void TestWidgetAdapters::datePickerNotifiesOperatorEditsOnly_data()
{
    // Steps: "p<date>" = setDate() by program, "o<date>" = the operator picks
    // the date (as the calendar popup does), "k" = the operator's Up key on
    // the year.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("notifications");
    QTest::addColumn<QDate>("finalDate");

    QTest::newRow("programSilent")         << QStringList{"p2026-11-30"}                << 0 << QDate(2026, 11, 30);
    QTest::newRow("programTwiceSilent")    << QStringList{"p2026-11-30", "p2001-01-01"} << 0 << QDate(2001, 1, 1);
    QTest::newRow("operatorPicks")         << QStringList{"o2026-11-30"}                << 1 << QDate(2026, 11, 30);
    QTest::newRow("operatorSameDate")      << QStringList{"o2001-01-01"}                << 0 << QDate(2001, 1, 1);
    QTest::newRow("programThenOperator")   << QStringList{"p2010-05-05", "o2010-05-06"} << 1 << QDate(2010, 5, 6);
    QTest::newRow("operatorThenProgram")   << QStringList{"o2010-05-06", "p2030-01-31"} << 1 << QDate(2030, 1, 31);
    QTest::newRow("operatorKeyUpOnYear")   << QStringList{"k"}                          << 1 << QDate(2002, 1, 1);
}
// clang-format on

void TestWidgetAdapters::datePickerNotifiesOperatorEditsOnly()
{
    QFETCH(QStringList, steps);
    QFETCH(int, notifications);
    QFETCH(QDate, finalDate);

    QDateEdit edit(QDate(2001, 1, 1));
    edit.setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit.setCalendarPopup(true);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QtDatePicker picker(&edit);
    int count = 0;
    QDate seen;
    picker.changed.setHandler([&] {
        ++count;
        seen = picker.date();
    });
    int widgetSignals = 0;
    QObject::connect(&edit, &QDateEdit::dateChanged, &edit, [&] { ++widgetSignals; });

    int programChanges = 0;
    QDate operatorDate;
    for (const QString &step : steps) {
        const QDate date = QDate::fromString(step.mid(1), Qt::ISODate);
        if (step.startsWith(QLatin1Char('p'))) {
            programChanges += date != picker.date() ? 1 : 0;
            picker.setDate(date);
        } else if (step.startsWith(QLatin1Char('o'))) {
            edit.setDate(date);
            operatorDate = edit.date();
        } else {
            edit.setFocus();
            edit.setCurrentSection(QDateTimeEdit::YearSection);
            QTest::keyClick(&edit, Qt::Key_Up);
            operatorDate = edit.date();
        }
    }

    QCOMPARE(count, notifications);
    QCOMPARE(picker.date(), finalDate);
    if (count > 0)
        QCOMPARE(seen, operatorDate); // the handler reads the operator's new date
    QCOMPARE(widgetSignals, notifications + programChanges); // others still hear the widget
}

// clang-format off
void TestWidgetAdapters::dropDownListStartsUnchosen_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("chosen");   // the operator's choice, -1 for none
    QTest::addColumn<bool>("refill");  // setEntries again after the choice
    QTest::addColumn<int>("position");

    const QStringList intervals{"60", "30", "15", "10", "5", "2", "1", "0.5"};
    QTest::newRow("filledNothingChosen") << intervals     << -1 << false << int(DropDownList::None);
    QTest::newRow("operatorChoosesThird") << intervals    << 2  << false << 2;
    QTest::newRow("operatorChoosesLast") << intervals     << 7  << false << 7;
    QTest::newRow("refillForgetsChoice") << intervals     << 4  << true  << int(DropDownList::None);
    QTest::newRow("emptyList")           << QStringList{} << -1 << false << int(DropDownList::None);
}
// clang-format on

void TestWidgetAdapters::dropDownListStartsUnchosen()
{
    QFETCH(QStringList, entries);
    QFETCH(int, chosen);
    QFETCH(bool, refill);
    QFETCH(int, position);

    QComboBox combo;
    combo.addItems({QStringLiteral("stale"), QStringLiteral("entries")});
    QtDropDownList list(&combo);
    list.setEntries(entries);
    QStringList shown;
    for (int i = 0; i < combo.count(); ++i)
        shown << combo.itemText(i);
    QCOMPARE(shown, entries);
    QCOMPARE(combo.currentIndex(), -1);

    if (chosen >= 0)
        combo.setCurrentIndex(chosen);
    if (refill)
        list.setEntries(entries);
    QCOMPARE(list.currentPosition(), position);
}

// clang-format off
void TestWidgetAdapters::timerRunsOnlyWithIntervalAndEnabled_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("running");

    QTest::newRow("zeroEnabledNeverTicks") << 0    << true  << false;
    QTest::newRow("zeroDisabled")          << 0    << false << false;
    QTest::newRow("secondEnabled")         << 1000 << true  << true;
    QTest::newRow("secondDisabled")        << 1000 << false << false;
    QTest::newRow("negativeIsZero")        << -5   << true  << false;
}
// clang-format on

void TestWidgetAdapters::timerRunsOnlyWithIntervalAndEnabled()
{
    QFETCH(int, interval);
    QFETCH(bool, enabled);
    QFETCH(bool, running);

    QTimer qtimer;
    QtTimer timer(&qtimer);
    timer.setEnabled(enabled);
    timer.setInterval(interval);
    QCOMPARE(qtimer.isActive(), running);
    QCOMPARE(timer.isEnabled(), enabled);
    QCOMPARE(timer.interval(), qMax(0, interval));

    // The same state reached in the other order.
    QTimer other;
    QtTimer timer2(&other);
    timer2.setInterval(interval);
    timer2.setEnabled(enabled);
    QCOMPARE(other.isActive(), running);
}

void TestWidgetAdapters::timerTicksAndDeliversMissedTicksOnce()
{
    QTimer qtimer;
    QtTimer timer(&qtimer);
    int ticks = 0;
    timer.tick.setHandler([&] { ++ticks; });
    timer.setInterval(10);
    timer.setEnabled(true);
    QTRY_VERIFY(ticks > 0);

    // A busy thread misses several periods; they come back as one tick.
    ticks = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    QCoreApplication::processEvents();
    QCOMPARE(ticks, 1);

    // Interval 0 while enabled stops the ticks altogether.
    timer.setInterval(0);
    ticks = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    QCoreApplication::processEvents();
    QCOMPARE(ticks, 0);
    QVERIFY(!qtimer.isActive());
}

// clang-format off
void TestWidgetAdapters::slideKeepsValueAndMarkers_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<double>("lowest");
    QTest::addColumn<double>("highest");

    QTest::newRow("single")          << QList<double>{20}              << 20.0 << 20.0;
    QTest::newRow("riseAndFall")     << QList<double>{20, 22.5, 18, 21} << 18.0 << 22.5;
    QTest::newRow("beyondScale")     << QList<double>{30, 2}           << 2.0  << 30.0;
    QTest::newRow("zeroAfterSwitchOff") << QList<double>{19, 0}        << 0.0  << 19.0;
}
// clang-format on

void TestWidgetAdapters::slideKeepsValueAndMarkers()
{
    QFETCH(QList<double>, values);
    QFETCH(double, lowest);
    QFETCH(double, highest);

    MarkedSlider widget;
    widget.setScale(5, 25);
    QtSlide slide(&widget);
    QVERIFY(!widget.hasMarkers());

    for (double v : values)
        slide.setValue(v);

    QCOMPARE(slide.value(), values.last()); // the value as given, even beyond the scale
    QVERIFY(widget.hasMarkers());
    QCOMPARE(widget.lowest(), lowest);
    QCOMPARE(widget.highest(), highest);
    // Both markers are drawn, in their colours, until the reset takes them away.
    widget.resize(300, 60);
    const auto showsColour = [&widget](const QColor &colour) {
        const QImage image = widget.grab().toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == colour)
                    return true;
        return false;
    };
    const QColor minMarker(40, 110, 230);
    const QColor maxMarker(220, 40, 40);
    QVERIFY(showsColour(minMarker));
    QVERIFY(showsColour(maxMarker));

    slide.resetMarkers();
    QVERIFY(!widget.hasMarkers());
    QVERIFY(!showsColour(minMarker));
    QVERIFY(!showsColour(maxMarker));
    slide.setValue(21);
    QCOMPARE(widget.lowest(), 21.0);
    QCOMPARE(widget.highest(), 21.0);

    slide.setScaleMaximum(30);
    slide.setScaleMinimum(10);
    QCOMPARE(widget.lowerBound(), 10.0);
    QCOMPARE(widget.upperBound(), 30.0);
    QCOMPARE(slide.value(), 21.0);
}

// clang-format off
void TestWidgetAdapters::statusBarPicture_data()
{
    QTest::addColumn<QString>("file");    // made in a temporary folder
    QTest::addColumn<QByteArray>("content"); // "bmp" = a real bitmap
    QTest::addColumn<int>("panel");
    QTest::addColumn<bool>("loads");

    QTest::newRow("bitmap")         << "red.bmp"  << QByteArray("bmp")        << 4 << true;
    QTest::newRow("missingFile")    << "none.bmp" << QByteArray()             << 4 << false;
    QTest::newRow("notAPicture")    << "text.bmp" << QByteArray("not a bmp")  << 4 << false;
    QTest::newRow("emptyFile")      << "empty.bmp" << QByteArray("")          << 4 << false;
    QTest::newRow("panelWithoutPicture") << "red.bmp" << QByteArray("bmp")    << 1 << false;
}
// clang-format on

void TestWidgetAdapters::statusBarPicture()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(int, panel);
    QFETCH(bool, loads);

    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    if (content == "bmp") {
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(path, "BMP"));
    } else if (!content.isNull()) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(content);
    }

    PanelStatusBar bar;
    QtStatusBar status(&bar);
    QString error;
    QCOMPARE(status.setPanelPicture(panel, path, &error), loads);
    if (loads) {
        QVERIFY(error.isEmpty());
        QCOMPARE(bar.pictureLabel()->pixmap(Qt::ReturnByValue).size(), QSize(16, 16));
    } else {
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)) || panel != 4, qPrintable(error));
        QVERIFY(bar.pictureLabel()->pixmap(Qt::ReturnByValue).isNull());
    }
}

void TestWidgetAdapters::statusBarPanels()
{
    PanelStatusBar bar;
    bar.resize(883, 24);
    QtStatusBar status(&bar);
    for (int panel = 1; panel <= 4; ++panel)
        status.setPanelText(panel, QStringLiteral("text %1").arg(panel));
    for (int panel = 1; panel <= 4; ++panel)
        QCOMPARE(status.panelText(panel), QStringLiteral("text %1").arg(panel));
    status.setPanelText(5, QStringLiteral("ignored"));
    QCOMPARE(status.panelText(5), QString());
    QCOMPARE(status.panelText(0), QString());

    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    const int first = bar.panel(1)->parentWidget()->width();
    for (int panel = 2; panel <= 4; ++panel)
        QVERIFY(first > bar.panel(panel)->parentWidget()->width());

    // Crowded down to its least width, a text kept whole still shows whole
    // (an elided one has itself in its tool tip), in a font whose widths
    // are not whole pixels.
    QFont font = bar.font();
    font.setPointSize(9);
    bar.setFont(font);
    bar.keepWhole(4, {QStringLiteral("Not Logging")});
    status.setPanelText(4, QStringLiteral("Not Logging"));
    bar.addPermanentWidget(new QLabel(QString(200, QLatin1Char('x'))));
    bar.resize(bar.minimumSizeHint().width(), 24);
    bar.grab();
    QCOMPARE(bar.panel(4)->width(), bar.panel(4)->minimumWidth());
    QCOMPARE(bar.panel(4)->toolTip(), QString());
}

// clang-format off
void TestWidgetAdapters::fileFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qtFilter");

    QTest::newRow("allFilesWithBlank") << "All Files (*.*) |*.*"       << "All Files (*)";
    QTest::newRow("twoFilters")        << "Logs|*.csv;*.txt|All|*.*"   << "Logs (*.csv *.txt);;All (*)";
    QTest::newRow("noDescription")     << "|*.log"                     << "*.log (*.log)";
    QTest::newRow("danglingPart")      << "Logs|*.csv|Other"           << "Logs (*.csv)";
    QTest::newRow("describedPairs")    << "Text (*.txt)|*.txt|All Files (*.*)|*.*" << "Text (*.txt);;All Files (*)";
    QTest::newRow("blanksAroundPatterns") << "Logs| *.log ; *.csv " << "Logs (*.log *.csv)";
    QTest::newRow("noPatterns")        << "Nothing|;|Logs|*.log"       << "Logs (*.log)";
    QTest::newRow("empty")             << ""                           << "";
}
// clang-format on

void TestWidgetAdapters::fileFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, qtFilter);
    QCOMPARE(QtFileChooser::toQtFilter(filter), qtFilter);
}

// clang-format off
void TestWidgetAdapters::fileChooserAnswers_data()
{
    // The operator's answers in turn: "type:<name>" accepts the file dialog with
    // that name (in a temporary folder), "cancel" cancels it, "yes" / "no"
    // answer the question whether to create the file.
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("result"); // a name in the folder, or "preset"
    QTest::addColumn<QStringList>("shownNames"); // the name each file dialog opened with

    const int prompt = FileChooser::PromptToCreate;
    QTest::newRow("cancelKeepsPreset")  << QStringList{"cancel"}                << prompt << "preset"  << QStringList{"old.txt"};
    QTest::newRow("existingNoQuestion") << QStringList{"type:here.txt"}         << prompt << "here.txt" << QStringList{"old.txt"};
    QTest::newRow("newConfirmed")       << QStringList{"type:new.txt", "yes"}   << prompt << "new.txt" << QStringList{"old.txt"};
    QTest::newRow("newDeclinedAsksAgain")
        << QStringList{"type:new.txt", "no", "type:here.txt"} << prompt << "here.txt" << QStringList{"old.txt", "new.txt"};
    QTest::newRow("declinedThenCancel")
        << QStringList{"type:new.txt", "no", "cancel"}        << prompt << "preset"   << QStringList{"old.txt", "new.txt"};
    QTest::newRow("newWithoutPromptFlag") << QStringList{"type:new.txt"}        << 0      << "new.txt" << QStringList{"old.txt"};
}
// clang-format on

namespace {
// What the operator does with the chooser's dialogs, and what they showed.
struct ChooserSession
{
    QString folder;
    QStringList pending; // the answers still to give
    QStringList shown, titles, questions;
    QList<QFileDialog::AcceptMode> modes;
};

void answerNextModal(const std::shared_ptr<ChooserSession> &session)
{
    whenModalShows([session](QWidget *modal) {
        if (session->pending.isEmpty())
            return;
        const QString next = session->pending.takeFirst();
        session->titles << modal->windowTitle();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            session->modes << dialog->acceptMode();
            session->shown << QFileInfo(dialog->selectedFiles().value(0)).fileName();
            if (next == QLatin1String("cancel")) {
                dialog->reject();
            } else {
                dialog->selectFile(QDir(session->folder).filePath(next.mid(5)));
                static_cast<QDialog *>(dialog)->accept(); // as the Save button does
            }
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            session->questions << box->text();
            box->button(next == QLatin1String("yes") ? QMessageBox::Yes : QMessageBox::No)->click();
        }
        if (!session->pending.isEmpty())
            answerNextModal(session);
    });
}
} // namespace

void TestWidgetAdapters::fileChooserAnswers()
{
    QFETCH(QStringList, answers);
    QFETCH(int, flags);
    QFETCH(QString, result);
    QFETCH(QStringList, shownNames);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile existing(dir.filePath(QStringLiteral("here.txt")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    const QString preset = dir.filePath(QStringLiteral("old.txt"));

    auto session = std::make_shared<ChooserSession>();
    session->folder = dir.path();
    session->pending = answers;
    answerNextModal(session);

    QtFileChooser chooser(nullptr);
    const QString chosen = chooser.choose(QStringLiteral("All Files (*.*) |*.*"), preset, flags);
    const QStringList unanswered = session->pending;
    session->pending.clear(); // a dialog of a later test is none of this one's business

    QCOMPARE(unanswered, QStringList());
    QCOMPARE(chosen, result == QLatin1String("preset") ? preset : dir.filePath(result));
    QCOMPARE(session->shown, shownNames);
    for (QFileDialog::AcceptMode mode : qAsConst(session->modes))
        QCOMPARE(mode, QFileDialog::AcceptSave);
    for (const QString &title : qAsConst(session->titles))
        QCOMPARE(title, QStringLiteral("Select File"));
    // Each question names the file that is not there yet.
    QCOMPARE(session->questions.size(),
             int(answers.count(QStringLiteral("yes")) + answers.count(QStringLiteral("no"))));
    for (const QString &question : qAsConst(session->questions))
        QVERIFY2(
            question.contains(QDir::toNativeSeparators(dir.filePath(QStringLiteral("new.txt")))),
            qPrintable(question));
}

// clang-format off
void TestWidgetAdapters::messageBoxHasOneOk_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shownTitle");

    QTest::newRow("ownTitle")   << "Port Failure" << "Port Failure";
    QTest::newRow("noTitle")    << ""             << "Kestrom dgh ";
}
// clang-format on

void TestWidgetAdapters::messageBoxHasOneOk()
{
    QFETCH(QString, title);
    QFETCH(QString, shownTitle);

    QtMessageBox messages(nullptr);
    QString seenTitle, seenText;
    QStringList buttons;
    whenModalShows([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return;
        seenTitle = box->windowTitle();
        seenText = box->text();
        for (QAbstractButton *b : box->buttons())
            buttons << b->text().remove(QLatin1Char('&'));
        box->button(QMessageBox::Ok)->click();
    });
    // Returns once OK is pressed; without a title of its own, the program's.
    if (title.isEmpty())
        messages.show(QStringLiteral("Port Not open"));
    else
        messages.show(QStringLiteral("Port Not open"), title);

    QCOMPARE(seenTitle, shownTitle);
    QCOMPARE(seenText, QStringLiteral("Port Not open"));
    QCOMPARE(buttons, QStringList{"OK"});
}

// clang-format off
void TestWidgetAdapters::inputBoxAnswers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("answer");

    QTest::newRow("okWithNumber")  << " 3 " << true  << " 3 ";
    QTest::newRow("okEmpty")       << ""    << true  << "";
    QTest::newRow("cancelTyped")   << "7"   << false << "";
}
// clang-format on

void TestWidgetAdapters::inputBoxAnswers()
{
    QFETCH(QString, typed);
    QFETCH(bool, accept);
    QFETCH(QString, answer);

    QtInputBox input(nullptr);
    QString seenTitle, seenPrompt, preset = QStringLiteral("unset");
    whenModalShows([&](QWidget *modal) {
        auto *dialog = qobject_cast<QInputDialog *>(modal);
        if (!dialog)
            return;
        seenTitle = dialog->windowTitle();
        seenPrompt = dialog->labelText();
        preset = dialog->textValue();
        dialog->findChild<QLineEdit *>()->setText(typed);
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
    QCOMPARE(input.ask(QStringLiteral("Enter Commport Number"), QStringLiteral("Commport Setup")),
             answer);
    QCOMPARE(seenTitle, QStringLiteral("Commport Setup"));
    QCOMPARE(seenPrompt, QStringLiteral("Enter Commport Number"));
    QCOMPARE(preset, QString()); // the entry starts empty
}

QTEST_MAIN(TestWidgetAdapters)
#include "test_widget_adapters.moc"
