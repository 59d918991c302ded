#include "print/page.h"

#include <QFont>
#include <QIODevice>
#include <QPainter>
#include <QPdfWriter>

namespace rotamet::print {

namespace {
constexpr const char *kCreator = "Rotamet";
constexpr double kPdfMarginPoints = 18;
}  // namespace

void Page::addText(QPointF baseline, const PageFont &font, QColor colour, const QString &text)
{
    Item item;
    item.from = baseline;
    item.font = font;
    item.colour = colour;
    item.text = text;
    items_.push_back(std::move(item));
}

void Page::addLine(QPointF from, QPointF to, double width, QColor colour)
{
    Item item;
    item.isText = false;
    item.from = from;
    item.to = to;
    item.width = width;
    item.colour = colour;
    items_.push_back(std::move(item));
}

void Page::draw(QPainter &painter, double dotsPerInch) const
{
    const double scale = dotsPerInch / kDotsPerInch;
    for (const Item &item : items_) {
        if (item.isText) {
            // The size in points: the device's own resolution makes it as
            // large as the positions are far apart.
            QFont font(item.font.family);
            font.setPointSizeF(item.font.points);
            font.setBold(item.font.bold);
            painter.setFont(font);
            painter.setPen(item.colour);
            painter.drawText(item.from * scale, item.text);
        } else {
            QPen pen(item.colour);
            pen.setWidthF(item.width * scale);
            pen.setCapStyle(Qt::RoundCap);
            painter.setPen(pen);
            painter.drawLine(item.from * scale, item.to * scale);
        }
    }
}

bool writePdf(const Page &page, const QPageLayout &layout, QIODevice &device)
{
    QPdfWriter pdf(&device);
    pdf.setResolution(Page::kDotsPerInch);
    pdf.setCreator(kCreator);
    pdf.setTitle(kCreator);
    pdf.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    page.draw(painter, pdf.resolution());
    return painter.end();
}

QPageLayout pdfPageLayout(QPageLayout::Orientation orientation)
{
    const QMarginsF margins(kPdfMarginPoints, kPdfMarginPoints, kPdfMarginPoints, kPdfMarginPoints);
    return QPageLayout(QPageSize(QPageSize::A4), orientation, margins, QPageLayout::Point);
}

}  // namespace rotamet::print
