#pragma once

#include "fakes/FakeWidgets.h"

// Labels and slides that also write every change into one shared log, so a
// test can check the order in which several displays were updated.
class LoggedLabel : public FakeLabel
{
public:
    LoggedLabel(QString name, QStringList &log) : m_name(std::move(name)), m_log(log) { }
    void setText(const QString &text) override
    {
        FakeLabel::setText(text);
        m_log << m_name + QStringLiteral(" text \"") + text + QLatin1Char('"');
    }

private:
    QString m_name;
    QStringList &m_log;
};

class LoggedSlide : public FakeSlide
{
public:
    LoggedSlide(QString name, QStringList &log) : m_name(std::move(name)), m_log(log) { }
    void setValue(double v) override
    {
        FakeSlide::setValue(v);
        m_log << m_name + QStringLiteral(" value ") + QString::number(v, 'g', 17);
    }
    void setScaleMinimum(double m) override
    {
        FakeSlide::setScaleMinimum(m);
        m_log << m_name + QStringLiteral(" minimum ") + QString::number(m, 'g', 17);
    }
    void setScaleMaximum(double m) override
    {
        FakeSlide::setScaleMaximum(m);
        m_log << m_name + QStringLiteral(" maximum ") + QString::number(m, 'g', 17);
    }
    void resetMarkers() override
    {
        FakeSlide::resetMarkers();
        m_log << m_name + QStringLiteral(" reset markers");
    }

private:
    QString m_name;
    QStringList &m_log;
};
