// The printer as the printed table uses it: a drawing state (font, colour,
// print position in twips, line width) and a few operations. Every operation
// may throw rotamet::RunTimeError; code 482 is a printer error. The program's
// own printer is print/pagecomposer.h.
//
// Beside the drawing, the printed table says which of its texts are table
// cells (tableCell): what copies the page's tables reads those cells, never
// the drawn texts.
#pragma once

#include <cstdint>
#include <string>

#include "numtext/runtimeerror.h"

namespace rotamet::print {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// A print given up at its deadline once its target had let the page out
// (to the spooler, or a file about to take its name): the page may still
// come out, and the message says so instead of saying it was not printed.
class PageMayStillCome : public RunTimeError {
public:
    using RunTimeError::RunTimeError;
};

// One cell of a table on the page, as data. Tables, rows and columns count
// from 0 in the order the page prints them; the page's header is table 0,
// one value a row, its title in column 0. text is the cell's content without
// a unit: a figure as the page prints it ("0,400" for "mm 0,400"), a title
// with its unit ("Millimetri (mm)").
struct TableCell {
    enum class Kind {
        Title,   // a column's or a value's title
        Figure,  // a number in Italian conventions ("2500", "0,305")
        Text,    // text that stays text whatever digits it holds: a pump code
    };
    int table = 0;
    int row = 0;
    int column = 0;
    Kind kind = Kind::Figure;
    std::string text;
    friend bool operator==(const TableCell &, const TableCell &) = default;
};

class Printer {
public:
    virtual ~Printer() = default;

    virtual void setOrientation(std::int16_t orientation) = 0;  // 1 portrait
    virtual void setFontName(const std::string &name) = 0;
    virtual void setFontSize(float points) = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual void setForeColor(Rgb colour) = 0;
    virtual void setCurrentX(float twips) = 0;
    virtual void setCurrentY(float twips) = 0;
    virtual float currentX() = 0;
    virtual float currentY() = 0;
    virtual void setDrawWidth(std::int16_t pixels) = 0;

    // Prints text with its top-left corner at the print position. If the line
    // does not end, CurrentX moves right by the text's width; if it ends,
    // CurrentX becomes 0 and CurrentY moves down by one line height.
    virtual void print(const std::string &text, bool endLine) = 0;
    virtual float textWidth(const std::string &text) = 0;  // twips, current font
    // A cell of a table on the page, said just after the text that shows it
    // is printed. Draws nothing, moves nothing and never fails; a printer
    // that keeps no tables ignores it.
    virtual void tableCell(const TableCell &) {}
    // A straight line in the current width; the print position becomes (x2, y2).
    virtual void line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    // Finishes the page and hands it over; later output starts a new document.
    // False when nothing was printed and nobody needs to be told: the user
    // cancelled a dialog the printer showed, or the program is ending.
    virtual bool endDoc() = 0;
    // Drops the page being composed, if any, without handing it over; the
    // next output starts a new document. Never fails: a failed print calls it.
    virtual void killDoc() = 0;
    // After EndDoc: why the page that was handed over waits instead of being
    // printed now, as an Italian clause ("la coda è sospesa, ..."); empty when
    // nothing is known to hold it back.
    virtual std::string waitingReason() = 0;

    // The printer's name, and its second identifying text (where the page
    // goes); both empty while the printer is not known yet.
    virtual std::string deviceName() = 0;
    virtual std::string secondText() = 0;
};

}  // namespace rotamet::print
