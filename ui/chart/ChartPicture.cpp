#include "ui/chart/ChartPicture.h"

#include <QApplication>
#include <QBuffer>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <qwt_plot.h>
#include <qwt_plot_renderer.h>

#include <algorithm>

namespace {

constexpr double ScreenDpi = 96;
constexpr int Margin = 8;

QFont titleFont()
{
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    return font;
}

QSizeF sizeMm(const QSize &pixels)
{
    return QSizeF(pixels) * 25.4 / ScreenDpi;
}

QString svgText(const QString &text, int x, int y, const QFont &font, const char *anchor)
{
    return QStringLiteral("<text x=\"%1\" y=\"%2\" font-family=\"%3\" font-size=\"%4\" "
                          "font-weight=\"%5\" text-anchor=\"%6\" fill=\"black\">%7</text>\n")
        .arg(x)
        .arg(y)
        .arg(font.family().toHtmlEscaped())
        .arg(QFontInfo(font).pixelSize())
        .arg(font.bold() ? QStringLiteral("bold") : QStringLiteral("normal"))
        .arg(QLatin1String(anchor))
        .arg(text.toHtmlEscaped());
}

} // namespace

ChartPicture::ChartPicture(const QList<QwtPlot *> &plots, const QString &title)
    : m_plots(plots)
    , m_title(title)
{
}

int ChartPicture::titleHeight() const
{
    return m_title.isEmpty() ? 0 : QFontMetrics(titleFont()).height() + 2 * Margin;
}

QSize ChartPicture::size() const
{
    QSize whole(0, titleHeight());
    for (const QwtPlot *plot : m_plots)
        whole = QSize(std::max(whole.width(), plot->width()), whole.height() + plot->height());
    return whole;
}

// scale: the device's pixels a screen pixel; its fonts grow with its dots
// an inch by themselves, so only the places are scaled.
void ChartPicture::paint(QPainter *painter, double scale) const
{
    const QSize whole = size();
    const auto scaled = [scale](double x, double y, double width, double height) {
        return QRectF(x * scale, y * scale, width * scale, height * scale);
    };
    painter->fillRect(scaled(0, 0, whole.width(), whole.height()), Qt::white);
    painter->setPen(Qt::black);
    painter->setFont(titleFont());
    painter->drawText(scaled(0, 0, whole.width(), titleHeight()), Qt::AlignCenter, m_title);
    QwtPlotRenderer renderer;
    int top = titleHeight();
    for (QwtPlot *plot : m_plots) {
        renderer.render(plot, painter, scaled(0, top, plot->width(), plot->height()));
        top += plot->height();
    }
}

QByteArray ChartPicture::draw(const QString &format, QString *why) const
{
    const QSize whole = size();
    if (m_plots.isEmpty() || whole.isEmpty()) {
        *why = QStringLiteral("there is no chart to draw");
        return {};
    }
    if (format == QLatin1String("svg"))
        return svg(why);
    QByteArray bytes;
    if (format == QLatin1String("png")) {
        // Twice the screen's resolution keeps a picture sharp on a page or a fine screen.
        QImage picture(whole * 2, QImage::Format_ARGB32);
        picture.setDotsPerMeterX(qRound(2 * ScreenDpi / 0.0254));
        picture.setDotsPerMeterY(qRound(2 * ScreenDpi / 0.0254));
        {
            QPainter painter(&picture);
            paint(&painter, 2);
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setResolution(static_cast<int>(ScreenDpi));
        pdf.setPageSize(QPageSize(sizeMm(whole), QPageSize::Millimeter));
        pdf.setPageMargins(QMarginsF());
        QPainter painter(&pdf);
        paint(&painter, 1);
    }
    if (bytes.isEmpty())
        *why = QStringLiteral("nothing could be drawn into it");
    return bytes;
}

// Qt draws SVG only through its renderer's own file: each plot is drawn into
// one, and the documents are nested in one whole, under the title, placed in
// its units rather than in millimetres.
QByteArray ChartPicture::svg(QString *why) const
{
    const QSize whole = size();
    QString document = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1mm\" "
                                      "height=\"%2mm\" viewBox=\"0 0 %3 %4\">\n"
                                      "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n")
                           .arg(sizeMm(whole).width())
                           .arg(sizeMm(whole).height())
                           .arg(whole.width())
                           .arg(whole.height());
    const QFont title = titleFont();
    if (!m_title.isEmpty())
        document += svgText(m_title, whole.width() / 2, Margin + QFontMetrics(title).ascent(),
                            title, "middle");
    static const QRegularExpression size(QStringLiteral("\\s(width|height)=\"[^\"]*\""));
    int top = titleHeight();
    for (QwtPlot *plot : m_plots) {
        QTemporaryFile drawn;
        if (!drawn.open()) {
            *why = drawn.errorString();
            return {};
        }
        drawn.close();
        QwtPlotRenderer renderer;
        renderer.renderDocument(plot, drawn.fileName(), QStringLiteral("svg"), sizeMm(plot->size()),
                                static_cast<int>(ScreenDpi));
        if (!drawn.open()) {
            *why = drawn.errorString();
            return {};
        }
        const QString drawing = QString::fromUtf8(drawn.readAll());
        const int svg = drawing.indexOf(QLatin1String("<svg"));
        const int tagEnd = drawing.indexOf(QLatin1Char('>'), svg);
        if (svg < 0 || tagEnd < 0) {
            *why = QStringLiteral("nothing could be drawn into it");
            return {};
        }
        QString tag = drawing.mid(svg, tagEnd - svg);
        tag.remove(size);
        tag.insert(4,
                   QStringLiteral(" x=\"0\" y=\"%1\" width=\"%2\" height=\"%3\"")
                       .arg(top)
                       .arg(plot->width())
                       .arg(plot->height()));
        document += tag + drawing.mid(tagEnd) + QLatin1Char('\n');
        top += plot->height();
    }
    return (document + QStringLiteral("</svg>\n")).toUtf8();
}
