#include "print/recordingprinter.h"

#include "numtext/runtimeerror.h"

namespace rotamet::print {

void RecordingPrinter::record(const std::string &op, const std::string &text, bool endLine)
{
    ++count_;
    if (failAt && *failAt == count_)
        throw RunTimeError(failCode);
    ops.push_back({op, text, x_, y_, fontName_, fontSize_, bold_, colour_, endLine});
}

void RecordingPrinter::setOrientation(std::int16_t) { record("Orientation"); }
void RecordingPrinter::setFontName(const std::string &n) { record("FontName", n); fontName_ = n; }
void RecordingPrinter::setFontSize(float points) { record("FontSize"); fontSize_ = points; }
void RecordingPrinter::setFontBold(bool bold) { record("FontBold"); bold_ = bold; }
void RecordingPrinter::setForeColor(Rgb colour) { record("ForeColor"); colour_ = colour; }
void RecordingPrinter::setCurrentX(float twips) { record("CurrentX"); x_ = twips; }
void RecordingPrinter::setCurrentY(float twips) { record("CurrentY"); y_ = twips; }
float RecordingPrinter::currentX() { record("GetCurrentX"); return x_; }
float RecordingPrinter::currentY() { record("GetCurrentY"); return y_; }
void RecordingPrinter::setDrawWidth(std::int16_t) { record("DrawWidth"); }

void RecordingPrinter::print(const std::string &text, bool endLine)
{
    record("Print", text, endLine);
    if (endLine) {
        x_ = 0;
        y_ += lineHeight(fontSize_);
    } else {
        x_ += textWidth(text);
    }
}

float RecordingPrinter::textWidth(const std::string &text)
{
    // 100 twips a character per 10 points, bold 10% wider: enough to tell
    // widths apart in tests.
    float w = static_cast<float>(text.size()) * fontSize_ * 10.0f;
    return bold_ ? w * 1.1f : w;
}

void RecordingPrinter::line(float, float, float x2, float y2, Rgb colour)
{
    Rgb saved = colour_;
    colour_ = colour;
    record("Line");
    colour_ = saved;
    x_ = x2;
    y_ = y2;
}

void RecordingPrinter::endDoc() { record("EndDoc"); }
std::string RecordingPrinter::deviceName() { return name; }
std::string RecordingPrinter::secondText() { return port; }

}  // namespace rotamet::print
