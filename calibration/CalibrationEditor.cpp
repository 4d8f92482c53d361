#include "calibration/CalibrationEditor.h"

#include "calibration/CalibrationHistory.h"
#include "calibration/CalibrationStore.h"
#include "calibration/CalibrationText.h"
#include "platform/DatePicker.h"
#include "platform/Label.h"
#include "platform/MessageBox.h"
#include "platform/OptionGroup.h"
#include "station/StationState.h"

#include <QStringList>

CalibrationEditor::CalibrationEditor(const Controls &controls, CalibrationStore &store,
                                     StationState &state, MessageBox &messages,
                                     const CalibrationHistory *history)
    : m_controls(controls)
    , m_store(store)
    , m_state(state)
    , m_messages(messages)
    , m_history(history)
{
    m_handlers.install(m_controls.probe.clicked, [this](int member) { showProbe(member); });
    m_handlers.install(m_controls.date.changed, [this] { dateChanged(); });
}

void CalibrationEditor::load()
{
    const ProbeCalibrationTexts texts = m_store.ReadProbeCalibration(1);
    m_controls.offset.setText(texts.offset);
    m_controls.slope.setText(texts.slope);
    m_controls.serialNumber.setText(texts.serialNumber);
    m_controls.calTemp.setText(QString::fromLatin1(CAL_TEMP_TEXT));

    const QDate date = CalibrationStore::dateOrDefault(texts.date);
    m_state.probe1CalDate = OleDates::fromDate(date);
    m_controls.date.setDate(date);
}

void CalibrationEditor::showProbe(int member)
{
    if (member != 0 && member != 1)
        return;
    const int probe = member + 1;
    m_filledIn = {};
    const ProbeCalibrationTexts texts = m_store.ReadProbeCalibration(probe);
    m_controls.offset.setText(texts.offset);
    m_controls.slope.setText(texts.slope);
    m_controls.serialNumber.setText(texts.serialNumber);

    const QDate date = CalibrationStore::dateOrDefault(texts.date);
    (probe == 1 ? m_state.probe1CalDate : m_state.probe2CalDate) = OleDates::fromDate(date);
    m_controls.date.setDate(date);
}

void CalibrationEditor::fillIn(int probe, const QString &offset, const QString &slope,
                               const QDate &date, const QString &buffers)
{
    if (probe != 1 && probe != 2)
        return;
    if (m_controls.probe.selected() == probe - 1)
        showProbe(probe - 1); // the stored values first, as a click on it would show them
    else
        m_controls.probe.select(probe - 1);
    m_controls.offset.setText(offset);
    m_controls.slope.setText(slope);
    m_controls.date.setDate(date);
    m_filledIn = {probe, offset, slope, buffers};
}

void CalibrationEditor::addToHistory(int probe, const QString &offset, const QString &slope,
                                     const QString &serialNumber)
{
    if (!m_history)
        return;
    const bool asFilledIn =
        m_filledIn.probe == probe && m_filledIn.offset == offset && m_filledIn.slope == slope;
    const QString problem = m_history->append(
        {probe, offset, slope, serialNumber, asFilledIn ? m_filledIn.buffers : QString()});
    if (!problem.isEmpty())
        m_messages.show(QStringLiteral("The calibration of pH Probe #%1 was saved, but it could "
                                       "not be added to the calibration history %2:\n%3")
                            .arg(probe)
                            .arg(m_history->fileName(), problem));
}

void CalibrationEditor::dateChanged()
{
    // Probe 2's date reaches StationState only through Save.
    if (m_controls.probe.selected() == 1)
        return;
    m_state.probe1CalDate = OleDates::fromDate(m_controls.date.date());
}

void CalibrationEditor::save()
{
    const int member = m_controls.probe.selected();
    if (member != 0 && member != 1)
        return;
    const int probe = member + 1;

    const QString offsetText = m_controls.offset.text();
    const QString slopeText = m_controls.slope.text();
    const QString serialNumber = m_controls.serialNumber.text();
    const QDate date = m_controls.date.date();

    // Check everything first: a probe is saved whole or not at all.
    QStringList wrong;
    double offset = 0;
    double slope = 0;
    if (!CalibrationText::toNumber(offsetText, &offset))
        wrong << QStringLiteral("The offset \"%1\" is not a number.").arg(offsetText);
    if (!CalibrationText::toNumber(slopeText, &slope))
        wrong << QStringLiteral("The slope \"%1\" is not a number.").arg(slopeText);
    if (!date.isValid())
        wrong << QStringLiteral("The date is not a valid date.");
    if (!wrong.isEmpty()) {
        wrong << QStringLiteral("Nothing of pH Probe #%1 was saved.").arg(probe);
        m_messages.show(wrong.join(QLatin1Char('\n')));
        return;
    }

    double &offsetField = probe == 1 ? m_state.probe1Offset : m_state.probe2Offset;
    double &slopeField = probe == 1 ? m_state.probe1Slope : m_state.probe2Slope;
    QString &serialField = probe == 1 ? m_state.probe1Serial : m_state.probe2Serial;
    OleDate &dateField = probe == 1 ? m_state.probe1CalDate : m_state.probe2CalDate;

    // Each field follows its key only once the key is stored.
    QString problem;
    bool stored =
        m_store.WriteCalibrationValue(probe, CalibrationItem::Offset, offsetText, &problem);
    if (stored) {
        offsetField = offset;
        stored = m_store.WriteCalibrationValue(probe, CalibrationItem::Slope, slopeText, &problem);
    }
    if (stored) {
        slopeField = slope;
        stored = m_store.WriteCalibrationValue(probe, CalibrationItem::SerialNumber, serialNumber,
                                               &problem);
    }
    if (stored) {
        serialField = serialNumber;
        stored = m_store.WriteCalibrationValue(probe, CalibrationItem::Date,
                                               CalibrationText::fromDate(date), &problem);
    }
    if (stored) {
        dateField = OleDates::fromDate(date);
        addToHistory(probe, offsetText, slopeText, serialNumber);
        return;
    }
    QString text = QStringLiteral("The calibration of pH Probe #%1 could not be written to the "
                                  "settings store.")
                       .arg(probe);
    if (!problem.isEmpty())
        text += QLatin1Char('\n') + problem;
    m_messages.show(text);
}
