#include "alarms/ui/AlarmLimitsDialog.h"

#include "alarms/AlarmSettings.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

AlarmLimitsDialog::AlarmLimitsDialog(const QHash<QString, QString> &values, const QString &file,
                                     Save save, QWidget *parent)
    : QDialog(parent)
    , m_values(values)
    , m_problem(new QLabel(this))
    , m_save(std::move(save))
{
    setObjectName(QStringLiteral("frmAlarmLimits"));
    setWindowTitle(QStringLiteral("Alarm Limits"));
    const int number = fontMetrics().horizontalAdvance(QStringLiteral("-8888.888"));

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    const QStringList heads{QStringLiteral("Low low"),  QStringLiteral("Low"),
                            QStringLiteral("High"),     QStringLiteral("High high"),
                            QStringLiteral("Deadband"), QStringLiteral("Delay (s)")};
    for (int column = 0; column < heads.size(); ++column)
        grid->addWidget(new QLabel(heads[column], this), 0, column + 1, Qt::AlignCenter);
    int row = 1;
    for (const QString &source : AlarmSettings::limitSources()) {
        AlarmDefinition named;
        named.source = source;
        grid->addWidget(new QLabel(QStringLiteral("%1 (%2)").arg(AlarmSettings::sourceName(source),
                                                                 named.unit()),
                                   this),
                        row, 0);
        int column = 1;
        for (const QString &key : AlarmSettings::limitKeys() +
                 QStringList{QStringLiteral("deadband"), QStringLiteral("delay")})
            grid->addWidget(field(source + QLatin1Char('.') + key, number), row, column++);
        ++row;
    }
    grid->addWidget(new QLabel(QStringLiteral("pH 1 and pH 2 apart by more than"), this), row, 0, 1,
                    4, Qt::AlignRight);
    grid->addWidget(field(QStringLiteral("deviation.ph"), number), row, 4);
    grid->addWidget(field(QStringLiteral("deviation.deadband"), number), row, 5);
    grid->addWidget(field(QStringLiteral("deviation.delay"), number), row++, 6);
    grid->addWidget(
        new QLabel(QStringLiteral("A module, or the port, without a valid reading for (s)"), this),
        row, 0, 1, 4, Qt::AlignRight);
    grid->addWidget(field(QStringLiteral("stale.seconds"), number), row++, 4);
    grid->addWidget(new QLabel(QStringLiteral("Command run at each change"), this), row, 0);
    QLineEdit *command = field(AlarmSettings::COMMAND, number * 4);
    command->setPlaceholderText(QStringLiteral("/usr/local/bin/page-operator"));
    grid->addWidget(command, row++, 1, 1, 6);

    m_problem->setObjectName(QStringLiteral("lblAlarmLimitsProblem"));
    m_problem->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_problem->setWordWrap(true);
    m_problem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *where = new QLabel(
        QStringLiteral("In %1, section [alarms]. An empty field sets nothing.").arg(file), this);
    where->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *saveButton = buttons->addButton(QDialogButtonBox::Save);
    saveButton->setObjectName(QStringLiteral("cmdAlarmLimitsSave"));
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(saveButton, &QPushButton::clicked, this, &AlarmLimitsDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addLayout(grid);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
}

QLineEdit *AlarmLimitsDialog::field(const QString &key, int width)
{
    auto *edit = new QLineEdit(m_values.value(key), this);
    edit->setObjectName(key);
    edit->setMinimumWidth(width);
    m_fields.insert(key, edit);
    return edit;
}

void AlarmLimitsDialog::save()
{
    QVector<IniFile::Entry> entries;
    QVector<StationConfig::Change> changes;
    for (auto it = m_fields.constBegin(); it != m_fields.constEnd(); ++it) {
        const QString text = it.value()->text().trimmed();
        entries.append({AlarmSettings::SECTION, it.key(), text, 0});
        if (text != m_values.value(it.key()).trimmed())
            changes.append({AlarmSettings::SECTION, it.key(), text});
    }
    // The keys the form has no field for stand as they are.
    for (auto it = m_values.constBegin(); it != m_values.constEnd(); ++it)
        if (!m_fields.contains(it.key()))
            entries.append({AlarmSettings::SECTION, it.key(), it.value(), 0});
    const AlarmSettings checked = AlarmSettings::read(entries, [](const IniFile::Entry &entry) {
        return QStringLiteral("Field %1").arg(entry.key);
    });
    QStringList problems;
    for (const QString &problem : checked.problems)
        if (m_fields.contains(problem.section(QLatin1Char(' '), 1, 1).chopped(1)))
            problems << problem;
    if (!problems.isEmpty()) {
        m_problem->setText(problems.join(QLatin1Char('\n')));
        return;
    }
    const QString problem = changes.isEmpty() ? QString() : m_save(changes);
    if (!problem.isEmpty()) {
        m_problem->setText(problem);
        return;
    }
    accept();
}
