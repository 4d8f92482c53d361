#pragma once

#include "calibration/BufferSession.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// "Buffer Calibration" (frmBufferAssistant): walks the operator through a
// two- or three-buffer calibration of one probe. It shows the probe's live
// millivolts and compensation temperature and whether they have settled,
// captures each buffer, corrects the buffer's pH to its temperature, and
// works out and judges the offset and slope. "Apply" hands them on to the
// pH Calibration dialog; only that dialog's Save stores anything.
class BufferAssistant : public QDialog
{
public:
    // probe, offset and slope texts (four decimals), and what was captured.
    using Apply = std::function<void(int, const QString &, const QString &, const QString &)>;

    // Takes a fresh look at the station several times a second.
    BufferAssistant(const StationState &state, Apply apply, QWidget *parent = nullptr);

private:
    struct Row
    {
        QComboBox *buffer;
        QPushButton *capture;
        QLabel *captured;
    };

    void look();
    void captureRow(int row);
    void showResult();
    bool bufferOf(int row, double *nominal, QString *why) const;

    BufferSession m_session;
    Apply m_apply;
    QElapsedTimer m_sinceOpened;
    QRadioButton *m_probes[2];
    QLabel *m_live;
    QLabel *m_stability;
    QLabel *m_notice;
    Row m_rows[BufferSession::Rows];
    QLabel *m_result;
    QPushButton *m_applyButton;
};
