#include "alarms/ui/AlarmsWindow.h"

#include "alarms/AlarmMessage.h"
#include "alarms/Alarms.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { Name, State, Value, Limit, Since, Columns };

QString since(const Alarm &alarm)
{
    if (alarm.state == AlarmState::Shelved)
        return QStringLiteral("until %1")
            .arg(alarm.shelvedUntilTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    return alarm.since.isValid() ? alarm.since.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                 : QString();
}

// The state's colours: red waiting for the operator, amber acknowledged.
void paint(QTreeWidgetItem *item, AlarmState state)
{
    QColor background;
    QColor text;
    if (state == AlarmState::Active) {
        background = QColor(208, 0, 0);
        text = Qt::white;
    } else if (state == AlarmState::Acknowledged) {
        background = QColor(255, 196, 64);
        text = Qt::black;
    } else if (state == AlarmState::Returned) {
        text = QColor(176, 0, 0);
    } else if (state == AlarmState::Shelved) {
        text = QColor(112, 112, 112);
    }
    item->setBackground(State, background.isValid() ? QBrush(background) : QBrush());
    item->setForeground(State, text.isValid() ? QBrush(text) : QBrush());
    QFont font = item->font(State);
    font.setBold(AlarmStates::isUnacknowledged(state));
    item->setFont(State, font);
}

} // namespace

AlarmsWindow::AlarmsWindow(Alarms &alarms, const QStringList &notes, QWidget *parent)
    : QDialog(parent)
    , m_alarms(alarms)
    , m_list(new QTreeWidget(this))
    , m_notes(new QLabel(this))
    , m_acknowledge(new QPushButton(QStringLiteral("&Acknowledge"), this))
    , m_acknowledgeAll(new QPushButton(QStringLiteral("Acknowledge A&ll"), this))
    , m_shelveFor(new QComboBox(this))
    , m_shelve(new QPushButton(QStringLiteral("&Shelve"), this))
{
    setObjectName(QStringLiteral("frmAlarms"));
    setWindowTitle(QStringLiteral("Alarms"));
    setModal(false);

    m_list->setObjectName(QStringLiteral("lstAlarms"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels({QStringLiteral("Alarm"), QStringLiteral("State"),
                             QStringLiteral("Value"), QStringLiteral("Limit"),
                             QStringLiteral("Since")});
    m_notes->setObjectName(QStringLiteral("lblAlarmNotes"));
    m_notes->setWordWrap(true);
    m_notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const QString none = QStringLiteral("No alarm is armed: Alarms > Alarm Limits... sets them.");
    QStringList shown = notes;
    if (!alarms.any())
        shown.prepend(none);
    m_notes->setText(shown.join(QLatin1Char('\n')));
    m_notes->setVisible(!shown.isEmpty());

    m_acknowledge->setObjectName(QStringLiteral("cmdAcknowledge"));
    m_acknowledgeAll->setObjectName(QStringLiteral("cmdAcknowledgeAll"));
    m_shelve->setObjectName(QStringLiteral("cmdShelve"));
    m_shelveFor->setObjectName(QStringLiteral("cmbShelveFor"));
    for (const int minutes : {15, 30, 60, 120, 240, 480})
        m_shelveFor->addItem(minutes < 60 ? QStringLiteral("for %1 min").arg(minutes)
                                          : QStringLiteral("for %1 h").arg(minutes / 60),
                             minutes);
    m_shelveFor->setCurrentIndex(2);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_acknowledge);
    buttons->addWidget(m_acknowledgeAll);
    buttons->addStretch();
    buttons->addWidget(m_shelve);
    buttons->addWidget(m_shelveFor);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_notes);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_acknowledge, &QPushButton::clicked, this,
            [this] { m_alarms.acknowledge(selectedNames()); });
    connect(m_acknowledgeAll, &QPushButton::clicked, this, [this] { m_alarms.acknowledgeAll(); });
    connect(m_shelve, &QPushButton::clicked, this, [this] {
        m_alarms.shelve(selectedNames(), std::chrono::minutes(m_shelveFor->currentData().toInt()));
    });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        const bool any = !m_list->selectedItems().isEmpty();
        m_acknowledge->setEnabled(any);
        m_shelve->setEnabled(any);
    });
    m_handlers.install(m_alarms.changed, [this] { refresh(); });
    refresh();
    m_acknowledge->setEnabled(false);
    m_shelve->setEnabled(false);
    // Every column in view, without scrolling sideways.
    int width = 2 * m_list->frameWidth() + m_list->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < Columns; ++column)
        width += m_list->columnWidth(column);
    const QMargins margins = layout->contentsMargins();
    resize(width + margins.left() + margins.right() + 8, 380);
}

void AlarmsWindow::refresh()
{
    const std::vector<Alarm> &alarms = m_alarms.alarms();
    const int count = static_cast<int>(alarms.size());
    // Rows stay where they are, so the operator's selection does too; only
    // what changed is set, as each change makes the list lay itself out.
    const bool rebuilt = m_list->topLevelItemCount() != count;
    while (m_list->topLevelItemCount() > count)
        delete m_list->takeTopLevelItem(m_list->topLevelItemCount() - 1);
    while (m_list->topLevelItemCount() < count) {
        auto *item = new QTreeWidgetItem;
        item->setTextAlignment(Value, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(Limit, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(State, Qt::UserRole, -1);
        m_list->addTopLevelItem(item);
    }
    for (int row = 0; row < count; ++row) {
        const Alarm &alarm = alarms[static_cast<size_t>(row)];
        QTreeWidgetItem *item = m_list->topLevelItem(row);
        const QString unit = QLatin1Char(' ') + alarm.definition.unit();
        const QString value = AlarmMessage::number(alarm.value);
        const QString texts[Columns] = {
            QStringLiteral("%1 (%2)").arg(alarm.definition.description(), alarm.definition.name),
            AlarmStates::name(alarm.state), value.isEmpty() ? QString() : value + unit,
            AlarmMessage::number(alarm.definition.limit) + unit, since(alarm)};
        for (int column = 0; column < Columns; ++column)
            if (item->text(column) != texts[column])
                item->setText(column, texts[column]);
        if (item->data(Name, Qt::UserRole).toString() != alarm.definition.name)
            item->setData(Name, Qt::UserRole, alarm.definition.name);
        if (item->data(State, Qt::UserRole).toInt() != static_cast<int>(alarm.state)) {
            item->setData(State, Qt::UserRole, static_cast<int>(alarm.state));
            paint(item, alarm.state);
        }
    }
    if (rebuilt) {
        // Room for what the columns will hold, not only what they hold now.
        QFont bold = m_list->font();
        bold.setBold(true);
        const int pad = 2 * m_list->style()->pixelMetric(QStyle::PM_HeaderMargin) + 8;
        const int widest[Columns] = {
            0, QFontMetrics(bold).horizontalAdvance(QStringLiteral("acknowledged")),
            m_list->fontMetrics().horizontalAdvance(QStringLiteral("-88888.8888 L/min")),
            m_list->fontMetrics().horizontalAdvance(QStringLiteral("88888.8888 L/min")),
            m_list->fontMetrics().horizontalAdvance(QStringLiteral("until 2026-12-08 14:05:30"))};
        for (int column = 0; column < Columns; ++column) {
            m_list->resizeColumnToContents(column);
            m_list->setColumnWidth(column, qMax(m_list->columnWidth(column), widest[column] + pad));
        }
    }
    m_acknowledgeAll->setEnabled(m_alarms.unacknowledgedCount() > 0);
}

QStringList AlarmsWindow::selectedNames() const
{
    QStringList names;
    for (const QTreeWidgetItem *item : m_list->selectedItems())
        names << item->data(Name, Qt::UserRole).toString();
    return names;
}
