#include "ui/chart/GraphModeSelector.h"

#include <QMouseEvent>
#include <qwt_scale_div.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_map.h>

#include <cmath>

namespace {

class ModeLabels : public QwtScaleDraw
{
public:
    QwtText label(double value) const override
    {
        static const char *const names[] = {"Zoom", "Pan", "Cursor "};
        const int position = qRound(value);
        if (position >= 0 && position < 3 && qFuzzyCompare(value + 1, position + 1.0))
            return QwtText(QString::fromLatin1(names[position]));
        return QwtText();
    }
};

} // namespace

GraphModeSelector::GraphModeSelector(Qt::Orientation orientation, QWidget *parent)
    : QwtSlider(orientation, parent)
{
    setObjectName(QStringLiteral("GraphMode"));
    setScaleDraw(new ModeLabels);
    QList<double> ticks[QwtScaleDiv::NTickTypes];
    ticks[QwtScaleDiv::MajorTick] = {0, 1, 2, 3};
    setScale(QwtScaleDiv(0, 3, ticks));
    setTotalSteps(3);
    setSingleSteps(1);
    setPageSteps(1);
    setStepAlignment(true);
    setWrapping(false);
    setScalePosition(orientation == Qt::Vertical ? QwtSlider::TrailingScale
                                                 : QwtSlider::LeadingScale);
    setValue(0);
    setMouseTracking(true); // the hand over a label
}

int GraphModeSelector::labelAt(const QPoint &position) const
{
    if (sliderRect().contains(position))
        return -1;
    const double at =
        scaleMap().invTransform(orientation() == Qt::Horizontal ? position.x() : position.y());
    const int label = qRound(at);
    return label >= 0 && label <= 2 && std::abs(at - label) < 0.4 ? label : -1;
}

void GraphModeSelector::mousePressEvent(QMouseEvent *event)
{
    const int label = labelAt(event->pos());
    if (event->button() == Qt::LeftButton && label >= 0 && isValid() && !isReadOnly()) {
        setValue(label);
        event->accept();
        return;
    }
    QwtSlider::mousePressEvent(event);
}

void GraphModeSelector::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() == Qt::NoButton)
        setCursor(labelAt(event->pos()) >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QwtSlider::mouseMoveEvent(event);
}
