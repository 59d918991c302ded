// The six step buttons beside the command fields: which button steps which
// field by how much, the stepping rules, and the arrows they show. The rules
// are plain functions of the field's text.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "calc/formview.h"
#include "window/formcontrols.h"

namespace rotamet::steps {

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
    QPushButton *FormControls::*button;
    calc::Field field;
    Rule rule;
    double step;
};

// cmdAngUp, cmdAngDown, cmdMSUp, cmdMSDown, cmdMMUp, cmdMMDown.
std::span<const StepButton> buttons();

// The buttons have no caption: the style's own up or down arrow (as on a
// spin box), in the button's text colour.
void drawArrows(const FormControls &ui);

}  // namespace rotamet::steps
