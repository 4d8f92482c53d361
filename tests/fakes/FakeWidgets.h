#pragma once

// Recording stand-ins for the window controls: they keep what the logic set
// and raise the change notifications the way the real widgets do.

#include "platform/Button.h"
#include "platform/DatePicker.h"
#include "platform/DropDownList.h"
#include "platform/FileChooser.h"
#include "platform/InputBox.h"
#include "platform/Knob.h"
#include "platform/Label.h"
#include "platform/OptionGroup.h"
#include "platform/Slide.h"
#include "platform/StatusBar.h"
#include "platform/Switch.h"
#include "platform/Timer.h"

#include <QMap>
#include <QStringList>
#include <QVector>

#include <functional>

class FakeLabel : public Label
{
public:
    QString m_text = QStringLiteral("000");
    void setText(const QString &text) override { m_text = text; }
    QString text() const override { return m_text; }
};

class FakeSlide : public Slide
{
public:
    double m_value = 0;
    double minimum = 0;
    double maximum = 0;
    int markerResets = 0;
    QVector<double> values; // every value set, in order
    void setValue(double value) override
    {
        m_value = value;
        values << value;
    }
    double value() const override { return m_value; }
    void setScaleMinimum(double m) override { minimum = m; }
    void setScaleMaximum(double m) override { maximum = m; }
    void resetMarkers() override { ++markerResets; }
};

class FakeKnob : public Knob
{
public:
    double m_value = 0;
    double value() const override { return m_value; }
    void setValue(double value) override
    {
        if (value == m_value)
            return;
        m_value = value;
        changed.notify();
    }
};

class FakeSwitch : public Switch
{
public:
    bool m_value = false;
    bool value() const override { return m_value; }
    void setValue(bool on) override
    {
        if (on == m_value)
            return;
        m_value = on;
        changed.notify();
    }
    void press() { setValue(!m_value); }
};

class FakeOptionGroup : public OptionGroup
{
public:
    int m_selected = None;
    QMap<int, bool> enabled; // members not set here count as enabled
    int selected() const override { return m_selected; }
    void select(int member) override
    {
        m_selected = member;
        clicked.notify(member);
    }
    void setMemberEnabled(int member, bool on) override { enabled[member] = on; }
    bool isMemberEnabled(int member) const { return enabled.value(member, true); }
};

class FakeTimer : public Timer
{
public:
    int m_interval = 0;
    bool m_enabled = false;
    void setInterval(int ms) override { m_interval = ms; }
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override { m_enabled = on; }
    bool isEnabled() const override { return m_enabled; }
    // A tick as the real timer would deliver it: only while it runs.
    void fire()
    {
        if (m_enabled && m_interval > 0)
            tick.notify();
    }
};

class FakeStatusBar : public StatusBar
{
public:
    QMap<int, QString> texts;
    QMap<int, QString> pictures;
    QStringList missingPictures; // paths that fail to load
    void setPanelText(int panel, const QString &text) override { texts[panel] = text; }
    QString panelText(int panel) const override { return texts.value(panel); }
    bool setPanelPicture(int panel, const QString &path, QString *error) override
    {
        if (missingPictures.contains(path)) {
            if (error)
                *error = QStringLiteral("File not found: ") + path;
            return false;
        }
        pictures[panel] = path;
        return true;
    }
};

// A push button or a menu entry; like the real ones, a disabled one cannot
// be clicked.
class FakeButton : public Button
{
public:
    bool m_enabled = true;
    void setEnabled(bool on) override { m_enabled = on; }
    bool isEnabled() const override { return m_enabled; }
    // The operator clicking it.
    void press()
    {
        if (m_enabled)
            clicked.notify();
    }
};

class FakeDatePicker : public DatePicker
{
public:
    QDate m_date;
    void setDate(const QDate &date) override { m_date = date; }
    QDate date() const override { return m_date; }
    // The operator picking a date.
    void pick(const QDate &date)
    {
        m_date = date;
        changed.notify();
    }
};

class FakeDropDownList : public DropDownList
{
public:
    QStringList entries;
    int position = None;
    void setEntries(const QStringList &e) override { entries = e; }
    int currentPosition() const override { return position; }
};

class FakeInputBox : public InputBox
{
public:
    QString answer;
    QStringList prompts;
    QStringList titles;
    QStringList details;
    std::function<void()> whileOpen; // the operator taking time to type
    QString ask(const QString &prompt, const QString &title, const QString &detail) override
    {
        prompts << prompt;
        titles << title;
        details << detail;
        if (whileOpen)
            whileOpen();
        return answer;
    }
};

class FakeFileChooser : public FileChooser
{
public:
    QString answer;      // the name the operator picks
    bool cancel = false; // or the operator cancels
    QString lastFilter;
    QString lastPreset;
    int lastFlags = 0;
    QString choose(const QString &filter, const QString &preset, int flags) override
    {
        lastFilter = filter;
        lastPreset = preset;
        lastFlags = flags;
        return cancel ? preset : answer;
    }
};
