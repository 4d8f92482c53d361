#pragma once

#include "config/StationConfig.h"

#include <QDialog>
#include <QHash>

#include <functional>

class QLabel;
class QLineEdit;

// "Alarm Limits...", "frmAlarmLimits": the [alarms] section of the
// station's settings file as a form, one field per setting (each named by
// its key, "ph1.high"), an empty field for one not set. Save checks the
// values as the file is checked at start and, only when every one reads,
// hands back the ones changed; what is wrong stays in the dialog, next to
// what the operator typed.
class AlarmLimitsDialog : public QDialog
{
public:
    // Writes the changes; the problem when they could not be written.
    using Save = std::function<QString(const QVector<StationConfig::Change> &)>;

    // `values`: each key's text as the file has it.
    AlarmLimitsDialog(const QHash<QString, QString> &values, const QString &file, Save save,
                      QWidget *parent = nullptr);

private:
    void save();
    QLineEdit *field(const QString &key, int width);

    QHash<QString, QString> m_values;
    QHash<QString, QLineEdit *> m_fields;
    QLabel *m_problem;
    Save m_save;
};
