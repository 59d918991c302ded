// The window's design as data: one row per control, in twips (15 twips = one
// pixel at 96 dpi), read row by row next to the design it comes from.
// Owns no widget; window/designwidgets.cpp builds the widgets from these rows.
#pragma once

#include <span>

namespace rotamet::design {

enum class Kind { Frame, Label, TextBox, ComboBox, Option, Button, Shape, Line };
enum class Align { Left, Centre, Right };

struct Colour {
    int red = -1, green = -1, blue = -1;  // -1: the control's default
    bool isSet() const { return red >= 0; }
};

struct Font {
    const char *face = nullptr;  // nullptr: the window's default font
    double points = 0;
    bool bold = false;
};

struct Control {
    const char *name;  // design name; "lblValori" with an index is lblValori(index)
    int index;         // control-array index, -1 for a plain control
    Kind kind;
    const char *container;         // "frmMain", "fraMain" or "Frame1"
    int left, top, width, height;  // twips; a Line gives x1, y1, x2, y2
    const char *caption;           // caption or default text
    const char *toolTip;           // nullptr: none
    Font font;
    Align align;
    Colour fore;
    Colour back;
    int maxTyped;  // typed-length limit of an entry field, 0: none
    int tabOrder;  // 1-based position in the tab order, 0: not listed
    bool wordWrap;
    const char *spokenName;  // the name a screen reader speaks; nullptr: its caption
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = 9870;   // twips
inline constexpr int kClientHeight = 6615;  // twips
inline constexpr Font kDefaultFont{"Arial", 9.75, false};

std::span<const Control> controls();

}  // namespace rotamet::design
