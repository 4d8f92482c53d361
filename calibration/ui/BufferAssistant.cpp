#include "calibration/ui/BufferAssistant.h"

#include "calibration/BufferTables.h"
#include "calibration/CalibrationText.h"
#include "station/PhModel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int LookMs = 250;

QString number(double value, int decimals)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

QLabel *wrappingLabel(const QString &name)
{
    auto *label = new QLabel;
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

BufferAssistant::BufferAssistant(const StationState &state, Apply apply, QWidget *parent)
    : QDialog(parent)
    , m_session(state)
    , m_apply(std::move(apply))
{
    setObjectName(QStringLiteral("frmBufferAssistant"));
    setWindowTitle(QStringLiteral("Buffer Calibration"));
    setModal(false);

    auto *probeBox = new QGroupBox(QStringLiteral("Probe"));
    auto *probeLayout = new QHBoxLayout(probeBox);
    auto *probes = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        m_probes[i] = new QRadioButton(QStringLiteral("pH Probe #%1").arg(i + 1));
        m_probes[i]->setObjectName(QStringLiteral("optProbe_%1").arg(i));
        probes->addButton(m_probes[i], i + 1);
        probeLayout->addWidget(m_probes[i]);
    }
    m_probes[0]->setChecked(true);
    probeLayout->addStretch();

    auto *liveBox = new QGroupBox(QStringLiteral("In the buffer now"));
    auto *liveLayout = new QVBoxLayout(liveBox);
    m_live = wrappingLabel(QStringLiteral("lblLive"));
    m_stability = wrappingLabel(QStringLiteral("lblStability"));
    m_notice = wrappingLabel(QStringLiteral("lblNotice"));
    m_notice->setStyleSheet(QStringLiteral("color: #b00000;"));
    liveLayout->addWidget(m_live);
    liveLayout->addWidget(m_stability);
    liveLayout->addWidget(m_notice);

    auto *buffersBox = new QGroupBox(QStringLiteral("Buffers (pH at 25 °C)"));
    auto *grid = new QGridLayout(buffersBox);
    for (int i = 0; i < BufferSession::Rows; ++i) {
        Row &row = m_rows[i];
        row.buffer = new QComboBox;
        row.buffer->setObjectName(QStringLiteral("cmbBuffer_%1").arg(i));
        row.buffer->setEditable(true);
        row.buffer->setInsertPolicy(QComboBox::NoInsert);
        if (i == 2)
            row.buffer->addItem(QString()); // the third buffer is optional
        for (const double known : BufferTables::known())
            row.buffer->addItem(number(known, 2));
        row.buffer->setCurrentIndex(i == 2 ? 0 : (i == 0 ? 2 : 0)); // 7.00, then 4.01
        row.capture = new QPushButton(QStringLiteral("Capture"));
        row.capture->setObjectName(QStringLiteral("cmdCapture_%1").arg(i));
        row.capture->setAutoDefault(false);
        row.captured = new QLabel;
        row.captured->setObjectName(QStringLiteral("lblCaptured_%1").arg(i));
        row.captured->setMinimumWidth(row.captured->fontMetrics().horizontalAdvance(
            QStringLiteral("2577.70 mV at 25.0 °C: pH 7.000 (typed)  ")));
        grid->addWidget(new QLabel(QStringLiteral("%1.").arg(i + 1)), i, 0);
        grid->addWidget(row.buffer, i, 1);
        grid->addWidget(row.capture, i, 2);
        grid->addWidget(row.captured, i, 3);
        connect(row.capture, &QPushButton::clicked, this, [this, i] { captureRow(i); });
        connect(row.buffer, &QComboBox::currentTextChanged, this, [this, i] {
            m_session.clearRow(i); // a capture belongs to the buffer it was taken in
            m_rows[i].captured->clear();
            showResult();
        });
    }
    grid->setColumnStretch(3, 1);

    auto *resultBox = new QGroupBox(QStringLiteral("Calibration"));
    auto *resultLayout = new QVBoxLayout(resultBox);
    m_result = wrappingLabel(QStringLiteral("lblResult"));
    resultLayout->addWidget(m_result);

    m_applyButton = new QPushButton(QStringLiteral("Apply..."));
    m_applyButton->setObjectName(QStringLiteral("cmdApply"));
    m_applyButton->setToolTip(
        QStringLiteral("Fill the pH Calibration dialog in with this offset and slope, to Save"));
    m_applyButton->setAutoDefault(false);
    auto *close = new QPushButton(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_applyButton);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(probeBox);
    layout->addWidget(liveBox);
    layout->addWidget(buffersBox);
    layout->addWidget(resultBox);
    layout->addLayout(buttons);

    connect(probes, QOverload<int>::of(&QButtonGroup::idClicked), this, [this](int probe) {
        m_session.setProbe(probe);
        for (Row &row : m_rows)
            row.captured->clear();
        look();
    });
    connect(m_applyButton, &QPushButton::clicked, this, [this] {
        const BufferCalibration::Result result = m_session.result();
        if (result.ok)
            m_apply(m_session.probe(), number(result.offset, 4), number(result.slope, 4),
                    m_session.capturesText());
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    m_sinceOpened.start();
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { look(); });
    timer->start(LookMs);
    look();
    showResult();
}

void BufferAssistant::look()
{
    m_session.look(m_sinceOpened.elapsed());
    m_live->setText(QStringLiteral("pH Probe #%1: %2 mV      thermistor %3: %4 °C")
                        .arg(m_session.probe())
                        .arg(number(m_session.millivoltsNow(), 2))
                        .arg(m_session.thermistor())
                        .arg(number(m_session.celsiusNow(), 2)));
    const StabilityWindow &window = m_session.window();
    QString stability;
    QString colour = QStringLiteral("#a06000");
    if (window.isStable()) {
        stability = QStringLiteral("Stable: %1 mV and %2 °C over the last %3 readings")
                        .arg(number(window.millivoltSpan(), 2), number(window.celsiusSpan(), 2))
                        .arg(StabilityWindow::Count);
        colour = QStringLiteral("#007000");
    } else if (window.size() < StabilityWindow::Count) {
        stability = QStringLiteral("Settling: %1 of %2 readings")
                        .arg(window.size())
                        .arg(StabilityWindow::Count);
    } else {
        stability = QStringLiteral("Not stable: %1 mV and %2 °C over the last %3 readings (stable "
                                   "below %4 mV and %5 °C)")
                        .arg(number(window.millivoltSpan(), 2), number(window.celsiusSpan(), 2))
                        .arg(StabilityWindow::Count)
                        .arg(number(StabilityWindow::MillivoltSpan, 1),
                             number(StabilityWindow::CelsiusSpan, 1));
    }
    m_stability->setText(stability);
    m_stability->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(colour));
    const QString blocker = m_session.blocker();
    m_notice->setText(blocker.isEmpty() ? m_session.temperatureNote() : blocker);
    m_notice->setVisible(!m_notice->text().isEmpty());
    for (Row &row : m_rows)
        row.capture->setEnabled(blocker.isEmpty() && window.size() > 0);
}

bool BufferAssistant::bufferOf(int row, double *nominal, QString *why) const
{
    const QString text = m_rows[row].buffer->currentText().trimmed();
    if (text.isEmpty()) {
        *why = QStringLiteral("Choose the buffer of row %1 first.").arg(row + 1);
        return false;
    }
    if (!CalibrationText::toNumber(text, nominal) || *nominal < 0 || *nominal > 14) {
        *why = QStringLiteral("The buffer \"%1\" of row %2 is not a pH from 0 to 14.")
                   .arg(text)
                   .arg(row + 1);
        return false;
    }
    return true;
}

void BufferAssistant::captureRow(int row)
{
    double nominal = 0;
    QString why;
    if (!bufferOf(row, &nominal, &why)) {
        m_rows[row].captured->setText(why);
        return;
    }
    // What the operator is asked about is what gets taken, whatever comes in
    // while the question is open.
    const StabilityWindow window = m_session.window();
    if (!window.isStable()) {
        const auto answer = QMessageBox::question(
            this, windowTitle(),
            QStringLiteral("The reading has not settled yet (%1 of %2 readings, %3 mV and %4 °C "
                           "apart). Capture it anyway?")
                .arg(window.size())
                .arg(StabilityWindow::Count)
                .arg(number(window.millivoltSpan(), 2), number(window.celsiusSpan(), 2)));
        if (answer != QMessageBox::Yes)
            return;
    }
    if (!m_session.capture(row, nominal, window, &why)) {
        m_rows[row].captured->setText(why);
        return;
    }
    const BufferSession::Capture &capture = m_session.row(row);
    // The buffer's pH as used; where it came from in full on the tooltip.
    m_rows[row].captured->setText(
        QStringLiteral("%1 mV at %2 °C: pH %3 %4")
            .arg(number(capture.millivolts, 2), number(capture.celsius, 1),
                 number(capture.buffer.ph, 3),
                 capture.buffer.fromTable ? QStringLiteral("(table)") : QStringLiteral("(typed)")));
    m_rows[row].captured->setToolTip(capture.buffer.source);
    showResult();
}

void BufferAssistant::showResult()
{
    const BufferCalibration::Result result = m_session.result();
    m_applyButton->setEnabled(result.ok);
    if (!result.ok) {
        m_result->setText(result.problem);
        return;
    }
    QString text =
        QStringLiteral("Offset %1 V (%2%3 V from the default %4 V)\nSlope %5 (%6 % of the "
                       "default %7)")
            .arg(number(result.offset, 4),
                 result.offsetShift() < 0 ? QStringLiteral("\u2212") : QStringLiteral("+"),
                 number(std::abs(result.offsetShift()), 4), number(PhModel::DEFAULT_OFFSET, 4),
                 number(result.slope, 4), number(result.slopePercent(), 1),
                 number(PhModel::DEFAULT_SLOPE, 4));
    if (result.residuals.size() > 2) {
        QStringList residuals;
        for (const double residual : result.residuals)
            residuals << number(residual, 3);
        text += QStringLiteral("\nResidual per buffer: %1 pH")
                    .arg(residuals.join(QStringLiteral(", ")));
    }
    for (const QString &warning : result.warnings())
        text += QStringLiteral("\nWarning: ") + warning;
    m_result->setText(text);
}
