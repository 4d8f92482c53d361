#pragma once

#include <QDialog>

#include <deque>

class QPlainTextEdit;
struct StationEvent;

// The recent events of the unattended station as its journal has them, one
// line each, the newest last; modeless, and updated while it is open.
class EventsWindow : public QDialog
{
    Q_OBJECT

public:
    EventsWindow(const std::deque<StationEvent> &recent, const QString &journalFile,
                 QWidget *parent = nullptr);

    void append(const StationEvent &event);

private:
    QPlainTextEdit *m_list;
};
