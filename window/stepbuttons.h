// The six step buttons beside the command fields: which button steps which
// field by how much, the stepping rules, and the arrows they show. The rules
// are plain functions of the field's text.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "calc/formview.h"

class QPushButton;

namespace rotamet {

struct FormControls;

namespace steps {

enum class Rule {
    Angle,   // double precision, by 0.1, shown as "##,##0.0°"
    Single,  // from a Single, by 0.05, shown as "##,##0.#0"
};

// The field's text after one step; nothing when a step down would go below
// zero (the field stays as it is). Throws RunTimeError when the text is no
// number or the step overflows.
//   Angle  "7,0°"  +0.1 → "7,1°"     "0,0°" -0.1 → nothing
//   Single "0,40"  -0.05 → "0,35"    "1"    +0.05 → "1,05"
std::optional<std::string> stepped(Rule rule, const std::string &text, double step);

struct StepButton {
    const char *name;  // the design name
    calc::Field field;
    Rule rule;
    double step;
};

// cmdAngUp, cmdAngDown, cmdMSUp, cmdMSDown, cmdMMUp, cmdMMDown.
std::span<const StepButton> buttons();

QPushButton *buttonOf(const FormControls &ui, const StepButton &row);

// The buttons have no caption: the style's own up or down arrow (as on a
// spin box), in the button's text colour.
void drawArrows(const FormControls &ui);

}  // namespace steps
}  // namespace rotamet
