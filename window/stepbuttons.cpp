#include "window/stepbuttons.h"

#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <array>

#include "numtext/numtext.h"

namespace rotamet::steps {

namespace {

constexpr std::array<StepButton, 6> kButtons{{
    {&FormControls::cmdAngUp, calc::Field::Angolo, Rule::Angle, 0.1},
    {&FormControls::cmdAngDown, calc::Field::Angolo, Rule::Angle, -0.1},
    {&FormControls::cmdMSUp, calc::Field::Millisecondi, Rule::Single, 0.05},
    {&FormControls::cmdMSDown, calc::Field::Millisecondi, Rule::Single, -0.05},
    {&FormControls::cmdMMUp, calc::Field::Millimetri, Rule::Single, 0.05},
    {&FormControls::cmdMMDown, calc::Field::Millimetri, Rule::Single, -0.05},
}};

}  // namespace

std::optional<std::string> stepped(Rule rule, const std::string &text, double step)
{
    if (rule == Rule::Angle) {
        const double value = ParseDouble(RemoveAll(text, "°"));
        if (step < 0 && !(value > 0))
            return std::nullopt;
        return PatternText(checkedAdd(value, step), "##,##0.0°");
    }
    // The Single's sum passes through its plain text (7 significant digits)
    // before the pattern.
    const float value = toSingle(checkedAdd(double(ParseSingle(text)), step));
    if (step < 0 && !(value > 0))
        return std::nullopt;
    return PatternText(ParseDouble(NumberText(value)), "##,##0.#0");
}

std::span<const StepButton> buttons() { return kButtons; }

void drawArrows(const FormControls &ui)
{
    for (const StepButton &row : kButtons) {
        QPushButton *button = ui.*row.button;
        const QStyle::PrimitiveElement element
            = row.step > 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown;
        const int side = std::max(4, std::min(button->width(), button->height()) - 8);
        const qreal ratio = button->devicePixelRatioF();
        QPixmap pixmap(QSize(side, side) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        QStyleOption option;
        option.initFrom(button);
        option.rect = QRect(0, 0, side, side);
        option.state = QStyle::State_Enabled;
        option.palette.setColor(QPalette::ButtonText, button->palette().color(QPalette::ButtonText));
        button->style()->drawPrimitive(element, &option, &painter, button);
        painter.end();
        button->setIcon(QIcon(pixmap));
        button->setIconSize(QSize(side, side));
    }
}

}  // namespace rotamet::steps
