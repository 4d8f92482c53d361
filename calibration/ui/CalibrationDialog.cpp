#include "calibration/ui/CalibrationDialog.h"

#include "calibration/CalibrationEditor.h"
#include "platform/qt/widgets/QtDatePicker.h"
#include "platform/qt/widgets/QtLabel.h"
#include "platform/qt/widgets/QtOptionGroup.h"
#include "station/LocaleTexts.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QLineEdit *entry(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    // Room for a coefficient such as "4.53580" without scrolling.
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000.00000")));
    return edit;
}

} // namespace

CalibrationDialog::CalibrationDialog(CalibrationStore &store, StationState &state,
                                     MessageBox &messages, QWidget *parent,
                                     const CalibrationHistory *history)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                  Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmCalkestrom"));
    setWindowTitle(QStringLiteral("pH Calibration"));
    setModal(false);

    auto *frame = new QGroupBox(QStringLiteral("Coefficients"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *probe1 = new QRadioButton(QStringLiteral("pH Probe #1"), frame);
    probe1->setObjectName(QStringLiteral("option1_0"));
    auto *probe2 = new QRadioButton(QStringLiteral("pH Probe #2"), frame);
    probe2->setObjectName(QStringLiteral("option1_1"));

    // The design-time texts; load() replaces all but the temperature's at once.
    QLineEdit *offset = entry("txtOffset", frame);
    offset->setText(QStringLiteral("2.4530"));
    QLineEdit *slope = entry("txtSlope", frame);
    slope->setText(QStringLiteral("4.5358"));
    QLineEdit *serialNumber = entry("txtSerialNum", frame);
    serialNumber->setText(QStringLiteral("000.0"));
    QLineEdit *calTemp = entry("txtCalTemp", frame);
    calTemp->setText(QString::fromLatin1(CalibrationEditor::CAL_TEMP_TEXT));

    auto *date = new QDateEdit(frame);
    date->setObjectName(QStringLiteral("DTPicker1"));
    date->setCalendarPopup(true);
    date->setDisplayFormat(LocaleTexts::shortDateFormat());

    auto *save = new QPushButton(QStringLiteral("Save"), this);
    save->setObjectName(QStringLiteral("Command1"));
    save->setAutoDefault(false); // Enter in an entry must not save

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Offset:"), offset);
    fields->addRow(QStringLiteral("Slope:"), slope);
    fields->addRow(QStringLiteral("S/N.:"), serialNumber);
    fields->addRow(QStringLiteral("Temp.:"), calTemp);
    fields->addRow(QStringLiteral("Date:"), date);

    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(probe1);
    frameLayout->addWidget(probe2);
    frameLayout->addSpacing(fontMetrics().height());
    frameLayout->addLayout(fields);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(save);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(serialNumber, offset);
    setTabOrder(offset, slope);
    setTabOrder(slope, calTemp);
    setTabOrder(calTemp, date);
    setTabOrder(date, save);
    setTabOrder(save, probe1);
    setTabOrder(probe1, probe2);

    auto *probes = new QButtonGroup(this);
    probes->addButton(probe1, 0);
    probes->addButton(probe2, 1);

    m_offset = std::make_unique<QtLabel>(offset);
    m_slope = std::make_unique<QtLabel>(slope);
    m_serialNumber = std::make_unique<QtLabel>(serialNumber);
    m_calTemp = std::make_unique<QtLabel>(calTemp);
    m_probe = std::make_unique<QtOptionGroup>(probes);
    m_date = std::make_unique<QtDatePicker>(date);
    m_editor = std::make_unique<CalibrationEditor>(
        CalibrationEditor::Controls{*m_offset, *m_slope, *m_serialNumber, *m_calTemp, *m_probe,
                                    *m_date},
        store, state, messages, history);
    connect(save, &QPushButton::clicked, this, [this] { m_editor->save(); });

    m_editor->load();
    serialNumber->setFocus();
}

CalibrationDialog::~CalibrationDialog() = default;

void CalibrationDialog::fillIn(int probe, const QString &offset, const QString &slope,
                               const QDate &date, const QString &buffers)
{
    m_editor->fillIn(probe, offset, slope, date, buffers);
}
