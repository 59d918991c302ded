// A printer for tests: keeps every operation with the drawing state it ran
// under, and the table cells the print says, and can be told to fail. Draws
// nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "print/printer.h"

namespace rotamet::print {

class RecordingPrinter : public Printer {
public:
    struct Op {
        // "Orientation", "FontName", "FontSize", "FontBold", "ForeColor",
        // "CurrentX", "CurrentY", "GetCurrentX", "GetCurrentY", "DrawWidth",
        // "Print", "Line", "EndDoc", "KillDoc"
        std::string name;
        std::string text;      // the printed text, or the font name set
        float value = 0;       // the number a setting sets (bold: 1 or 0)
        float x = 0, y = 0;    // print position before the operation
        std::string fontName;  // drawing state the operation ran under
        float fontSize = 0;
        bool bold = false;
        Rgb colour;  // for "ForeColor" the colour set, for "Line" the line's
        int drawWidth = 1;
        bool endLine = false;
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // a line's end points
    };

    std::vector<Op> ops;
    // The table cells the print said, in order, each with the number of
    // operations before it: its text is the last "Print" among them. Cells
    // are not operations, and failAt does not count them.
    struct Cell {
        TableCell cell;
        std::size_t after = 0;
    };
    std::vector<Cell> cells;
    std::string name = "Stampante di prova";
    std::string port = "LPT1:";
    // When set, the operation with this 1-based ordinal throws failCode
    // (reads of CurrentX/CurrentY count as operations).
    std::optional<int> failAt;
    int failCode = 482;
    // What waitingReason() answers after EndDoc.
    std::string waiting;

    void setOrientation(std::int16_t orientation) override;
    void setFontName(const std::string &n) override;
    void setFontSize(float points) override;
    void setFontBold(bool bold) override;
    void setForeColor(Rgb colour) override;
    void setCurrentX(float twips) override;
    void setCurrentY(float twips) override;
    float currentX() override;
    float currentY() override;
    void setDrawWidth(std::int16_t pixels) override;
    void print(const std::string &text, bool endLine) override;
    float textWidth(const std::string &text) override;
    void tableCell(const TableCell &cell) override { cells.push_back({cell, ops.size()}); }
    void line(float x1, float y1, float x2, float y2, Rgb colour) override;
    bool endDoc() override;   // true: the page counts as printed
    void killDoc() override;  // recorded; never fails, and not counted for failAt
    std::string waitingReason() override { return waiting; }
    std::string deviceName() override;
    std::string secondText() override;

    // Line height used by print(): a fixed figure per point size.
    static float lineHeight(float points) { return points * 20.0f * 1.15f; }
    // The width textWidth() gives for a text in a size and weight: 10 twips a
    // character per point, bold 10% wider; enough to tell widths apart.
    static float widthOf(const std::string &text, float points, bool bold);

private:
    Op &record(const std::string &op, const std::string &text = {}, float value = 0);
    float x_ = 0, y_ = 0;
    std::string fontName_ = "Arial";
    float fontSize_ = 10;
    bool bold_ = false;
    Rgb colour_;
    int drawWidth_ = 1;
    int count_ = 0;
};

}  // namespace rotamet::print
