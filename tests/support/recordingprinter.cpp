#include "support/recordingprinter.h"

#include "numtext/runtimeerror.h"

namespace rotamet::print {

RecordingPrinter::Op &RecordingPrinter::record(const std::string &op, const std::string &text, float value)
{
    ++count_;
    if (failAt && *failAt == count_)
        throw RunTimeError(failCode);
    Op r;
    r.name = op;
    r.text = text;
    r.value = value;
    r.x = x_;
    r.y = y_;
    r.fontName = fontName_;
    r.fontSize = fontSize_;
    r.bold = bold_;
    r.colour = colour_;
    r.drawWidth = drawWidth_;
    ops.push_back(r);
    return ops.back();
}

void RecordingPrinter::setOrientation(std::int16_t orientation) { record("Orientation", {}, orientation); }

void RecordingPrinter::setFontName(const std::string &n)
{
    record("FontName", n);
    fontName_ = n;
}

void RecordingPrinter::setFontSize(float points)
{
    record("FontSize", {}, points);
    fontSize_ = points;
}

void RecordingPrinter::setFontBold(bool bold)
{
    record("FontBold", {}, bold ? 1.0f : 0.0f);
    bold_ = bold;
}

void RecordingPrinter::setForeColor(Rgb colour)
{
    record("ForeColor").colour = colour;
    colour_ = colour;
}

void RecordingPrinter::setCurrentX(float twips)
{
    record("CurrentX", {}, twips);
    x_ = twips;
}

void RecordingPrinter::setCurrentY(float twips)
{
    record("CurrentY", {}, twips);
    y_ = twips;
}

float RecordingPrinter::currentX()
{
    record("GetCurrentX", {}, x_);
    return x_;
}

float RecordingPrinter::currentY()
{
    record("GetCurrentY", {}, y_);
    return y_;
}

void RecordingPrinter::setDrawWidth(std::int16_t pixels)
{
    record("DrawWidth", {}, pixels);
    drawWidth_ = pixels;
}

void RecordingPrinter::print(const std::string &text, bool endLine)
{
    record("Print", text).endLine = endLine;
    if (endLine) {
        x_ = 0;
        y_ += lineHeight(fontSize_);
    } else {
        x_ += textWidth(text);
    }
}

float RecordingPrinter::widthOf(const std::string &text, float points, bool bold)
{
    int characters = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)  // count UTF-8 characters, not bytes
            ++characters;
    float w = static_cast<float>(characters) * points * 10.0f;
    return bold ? w * 1.1f : w;
}

float RecordingPrinter::textWidth(const std::string &text) { return widthOf(text, fontSize_, bold_); }

void RecordingPrinter::line(float x1, float y1, float x2, float y2, Rgb colour)
{
    Op &op = record("Line");
    op.colour = colour;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    x_ = x2;
    y_ = y2;
}

bool RecordingPrinter::endDoc()
{
    record("EndDoc");
    return true;
}

void RecordingPrinter::killDoc()
{
    Op op;
    op.name = "KillDoc";
    op.x = x_;
    op.y = y_;
    ops.push_back(op);
}
std::string RecordingPrinter::deviceName() { return name; }
std::string RecordingPrinter::secondText() { return port; }

}  // namespace rotamet::print
