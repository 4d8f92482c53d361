#include "ui/chart/GraphModeSelector.h"

#include <qwt_scale_div.h>
#include <qwt_scale_draw.h>

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
}
