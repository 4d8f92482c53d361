#pragma once

#include "platform/Notifier.h"

#include <QObject>

class QWidget;

// The chart's own mouse gestures on the canvas, seen before the zoomer, the
// panner and the cursor dragger: in zoom mode a double click asks for every
// point; in pan mode a press takes hold of the time axis and a right click
// asks to follow the newest points again. Every press is announced first,
// so what is pending can be drawn before zoom, pan or a cursor take their
// positions from the screen.
class ChartMouseModes : public QObject
{
public:
    // Install it after the zoomer, the panner and the dragger: the filter
    // installed last sees the events first.
    explicit ChartMouseModes(QWidget *canvas);
    ~ChartMouseModes() override;

    // A Graph interaction mode code.
    void setMode(int code) { m_mode = code; }
    int mode() const { return m_mode; }

    Notifier<> pressing;
    Notifier<> showAll;
    Notifier<> takeHold;
    Notifier<> follow;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_canvas;
    int m_mode;
};
