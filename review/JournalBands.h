#pragma once

#include "review/JournalReader.h"

#include <QDate>
#include <qwt_plot_item.h>

#include <memory>
#include <vector>

// The stretches a journal tells of, drawn across a plot of the review
// behind its curves: a module, the port or the log failing in red, a source
// failing now and then hatched in amber, an alarm up in violet with a bar
// along the top. Where named, each kind that is there has its entry in the
// legend.
class JournalBands : public QwtPlotItem
{
public:
    using Stretches = std::vector<JournalStretch>;

    JournalBands(JournalStretch::Kind kind, bool named);

    int rtti() const override;
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;
    QwtGraphic legendIcon(int index, const QSizeF &size) const override;

    // The stretches to draw (those of this kind); open ones reach openEnd,
    // in days like their starts.
    void setStretches(std::shared_ptr<const Stretches> stretches, double openEnd);

    // What the journal says of the moment x (days) and those within
    // tolerance of it, with the dates from origin; empty where it says nothing.
    static QString textAt(const Stretches &stretches, double x, double tolerance, QDate origin);

private:
    JournalStretch::Kind m_kind;
    bool m_named;
    std::shared_ptr<const Stretches> m_stretches;
    double m_openEnd = 0;
};
