#include "review/JournalBands.h"

#include "ui/chart/ChartTime.h"
#include "ui/chart/CursorReadout.h"

#include <QPainter>
#include <qwt_graphic.h>
#include <qwt_scale_map.h>

#include <algorithm>
#include <cmath>

namespace {

using Kind = JournalStretch::Kind;

QColor colourOf(Kind kind, int alpha)
{
    switch (kind) {
    case Kind::Failing: return QColor(220, 40, 40, alpha);
    case Kind::Intermittent: return QColor(230, 140, 0, alpha);
    case Kind::Alarm: break;
    }
    return QColor(130, 50, 200, alpha);
}

QString titleOf(Kind kind)
{
    switch (kind) {
    case Kind::Failing: return QStringLiteral("Failing");
    case Kind::Intermittent: return QStringLiteral("Intermittent");
    case Kind::Alarm: break;
    }
    return QStringLiteral("Alarm");
}

// One band: a tint over the whole height, hatched where a source fails now
// and then, with a bar along the top for an alarm.
void paintBand(QPainter *painter, Kind kind, const QRectF &band)
{
    painter->fillRect(band, colourOf(kind, kind == Kind::Alarm ? 40 : 55));
    if (kind == Kind::Intermittent)
        painter->fillRect(band, QBrush(colourOf(kind, 150), Qt::BDiagPattern));
    if (kind == Kind::Alarm)
        painter->fillRect(QRectF(band.left(), band.top(), band.width(), 6), colourOf(kind, 220));
}

QString placeOf(QDate origin, double x)
{
    const auto day = static_cast<qint64>(std::floor(x));
    return origin.addDays(day).toString(Qt::ISODate) + QLatin1Char(' ') +
        CursorReadout::timeText(x - day);
}

} // namespace

JournalBands::JournalBands(JournalStretch::Kind kind, bool named)
    : QwtPlotItem(QwtText(titleOf(kind)))
    , m_kind(kind)
    , m_named(named)
{
    setZ(5); // behind the grid and the curves
    setItemAttribute(QwtPlotItem::Legend, false);
}

int JournalBands::rtti() const
{
    return QwtPlotItem::Rtti_PlotUserItem + 2;
}

void JournalBands::setStretches(std::shared_ptr<const Stretches> stretches, double openEnd)
{
    m_stretches = std::move(stretches);
    m_openEnd = openEnd;
    bool any = false;
    if (m_stretches)
        for (const JournalStretch &stretch : *m_stretches)
            any = any || stretch.kind == m_kind;
    setItemAttribute(QwtPlotItem::Legend, any && m_named);
    legendChanged();
    itemChanged();
}

void JournalBands::draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &,
                        const QRectF &canvasRect) const
{
    if (!m_stretches)
        return;
    painter->save();
    painter->setPen(Qt::NoPen);
    for (const JournalStretch &stretch : *m_stretches) {
        if (stretch.kind != m_kind)
            continue;
        const double to =
            stretch.to == JournalStretch::Open ? std::max(m_openEnd, stretch.from) : stretch.to;
        double left = xMap.transform(ChartTime::toAxis(stretch.from));
        double right = xMap.transform(ChartTime::toAxis(to));
        if (right < canvasRect.left() || left > canvasRect.right())
            continue;
        // A moment, or a stretch too short to see, stays in sight.
        if (right - left < 2) {
            const double middle = (left + right) / 2;
            left = middle - 1;
            right = middle + 1;
        }
        left = std::max(left, canvasRect.left());
        right = std::min(right, canvasRect.right());
        paintBand(painter, m_kind,
                  QRectF(left, canvasRect.top(), right - left, canvasRect.height()));
    }
    painter->restore();
}

QwtGraphic JournalBands::legendIcon(int, const QSizeF &size) const
{
    QwtGraphic icon;
    icon.setDefaultSize(size);
    icon.setRenderHint(QwtGraphic::RenderPensUnscaled, true);
    QPainter painter(&icon);
    paintBand(&painter, m_kind, QRectF(QPointF(0, 0), size));
    return icon;
}

QString JournalBands::textAt(const Stretches &stretches, double x, double tolerance, QDate origin)
{
    QStringList said;
    for (const JournalStretch &stretch : stretches) {
        const bool open = stretch.to == JournalStretch::Open;
        if (x < stretch.from - tolerance || (!open && x > stretch.to + tolerance))
            continue;
        QString what = stretch.what();
        switch (stretch.kind) {
        case Kind::Failing: what += QStringLiteral(" failing"); break;
        case Kind::Intermittent: what += QStringLiteral(" failing now and then"); break;
        case Kind::Alarm: what += QStringLiteral(" up"); break;
        }
        what += QStringLiteral(" from ") + placeOf(origin, stretch.from) +
            (open ? QStringLiteral(", still at the journal's end")
                  : QStringLiteral(" to ") + placeOf(origin, stretch.to));
        said << what + QLatin1Char('\n') + stretch.text();
    }
    return said.join(QStringLiteral("\n\n"));
}
