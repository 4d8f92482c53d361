#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

class QPainter;
class QwtPlot;

// A picture of plots one above the other as they are drawn, legends and
// footers included, headed by a title, as the bytes of a PNG, SVG or PDF file.
class ChartPicture
{
public:
    ChartPicture(const QList<QwtPlot *> &plots, const QString &title);

    // In screen pixels; a PNG has twice as many a side, to stay sharp.
    QSize size() const;
    // "png", "svg" or "pdf"; empty, with *why, when it could not be drawn.
    QByteArray draw(const QString &format, QString *why) const;

private:
    int titleHeight() const;
    void paint(QPainter *painter, double scale) const;
    QByteArray svg(QString *why) const;

    QList<QwtPlot *> m_plots;
    QString m_title;
};
