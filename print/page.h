// A composed page: the texts and lines of one printed page, each with its
// font, colour and place, and nothing else. The printer composes it on the
// window's thread (measuring text needs no printer, see kDotsPerInch); a
// print target draws it later, on a thread of its own, on whatever device it
// has. Every target draws it with draw(), so the page is the same on each.
//
// Positions are dots of 1/600 inch from the top-left corner of the printable
// area; a target's device may have another resolution, and draw() scales.
//
// The page also keeps its tables as data: each cell the print said
// (Printer::tableCell), which the copy of the tables reads. Cells are never
// drawn.
#pragma once

#include <QColor>
#include <QPageLayout>
#include <QPointF>
#include <QString>
#include <vector>

#include "print/printer.h"

class QIODevice;
class QPainter;

namespace rotamet::print {

struct PageFont {
    QString family;
    double points = 12;
    bool bold = false;
};

class Page {
public:
    // The resolution of positions and of the font metrics they come from.
    static constexpr int kDotsPerInch = 600;

    QPageLayout::Orientation orientation = QPageLayout::Portrait;

    // A text whose baseline starts at baseline.
    void addText(QPointF baseline, const PageFont &font, QColor colour, const QString &text);
    // A straight line, width in dots, with round ends.
    void addLine(QPointF from, QPointF to, double width, QColor colour);
    // A cell of one of the page's tables, in the order the print said them.
    void addCell(const TableCell &cell) { cells_.push_back(cell); }
    const std::vector<TableCell> &cells() const { return cells_; }

    // Draws the page with a painter whose device has dotsPerInch, its origin
    // at the printable area's top-left corner. Any thread may draw.
    void draw(QPainter &painter, double dotsPerInch) const;

    std::size_t size() const { return items_.size(); }

private:
    struct Item {
        bool isText = true;
        QPointF from, to;  // a text's baseline start; a line's ends
        PageFont font;
        QColor colour;
        double width = 1;
        QString text;
    };
    std::vector<Item> items_;
    std::vector<TableCell> cells_;
};

// Writes the page as a one-page PDF of the given layout into device (open for
// writing). False when the device failed.
bool writePdf(const Page &page, const QPageLayout &layout, QIODevice &device);

// A PDF page: A4 with the quarter inch that most printers cannot reach, so
// that it looks as the page would on paper.
QPageLayout pdfPageLayout(QPageLayout::Orientation orientation);

}  // namespace rotamet::print
