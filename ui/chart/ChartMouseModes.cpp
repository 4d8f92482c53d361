#include "ui/chart/ChartMouseModes.h"

#include "platform/Graph.h"

#include <QMouseEvent>
#include <QWidget>

ChartMouseModes::ChartMouseModes(QWidget *canvas)
    : QObject(canvas)
    , m_canvas(canvas)
    , m_mode(Graph::ZoomMode)
{
    canvas->installEventFilter(this);
}

ChartMouseModes::~ChartMouseModes()
{
    m_canvas->removeEventFilter(this);
}

bool ChartMouseModes::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_canvas)
        return QObject::eventFilter(watched, event);
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();

    if (type == QEvent::MouseButtonPress)
        pressing.notify();
    if (m_mode == Graph::ZoomMode && type == QEvent::MouseButtonDblClick &&
        button == Qt::LeftButton) {
        showAll.notify();
        return true;
    }
    if (m_mode == Graph::PanMode && type == QEvent::MouseButtonPress && button == Qt::LeftButton)
        takeHold.notify();
    else if (m_mode == Graph::PanMode && type == QEvent::MouseButtonRelease &&
             button == Qt::RightButton)
        follow.notify();
    return QObject::eventFilter(watched, event);
}
