#pragma once

#include <QDialog>

#include <memory>

class CalibrationEditor;
class CalibrationHistory;
class CalibrationStore;
class MessageBox;
class QtDatePicker;
class QtOptionGroup;
class QtLabel;
struct StationState;

// The "pH Calibration" window (frmCalkestrom): fixed size, modeless, loaded
// from the store when it is created. Closing it saves nothing.
class CalibrationDialog : public QDialog
{
    Q_OBJECT

public:
    CalibrationDialog(CalibrationStore &store, StationState &state, MessageBox &messages,
                      QWidget *parent = nullptr, const CalibrationHistory *history = nullptr);
    ~CalibrationDialog() override;

    // See CalibrationEditor::fillIn.
    void fillIn(int probe, const QString &offset, const QString &slope, const QDate &date,
                const QString &buffers);

private:
    std::unique_ptr<QtLabel> m_offset;
    std::unique_ptr<QtLabel> m_slope;
    std::unique_ptr<QtLabel> m_serialNumber;
    std::unique_ptr<QtLabel> m_calTemp;
    std::unique_ptr<QtOptionGroup> m_probe;
    std::unique_ptr<QtDatePicker> m_date;
    std::unique_ptr<CalibrationEditor> m_editor;
};
