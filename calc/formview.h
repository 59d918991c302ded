// What the calculation run needs of the main window, and nothing more.
// The window implements it over its real controls; tests implement it over a
// plain model of texts and selections.
#pragma once

#include <cstdint>
#include <string>

namespace rotamet::calc {

enum class Field { GiriMinuto, Angolo, Millisecondi, Millimetri };

// A shape's fill: either a fixed colour or the system's button-face colour,
// which the window resolves from the palette in force.
struct Fill {
    bool buttonFace = false;
    std::uint8_t red = 0, green = 0, blue = 0;
    static Fill ButtonFace() { return {true, 0, 0, 0}; }
    static Fill Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {false, r, g, b}; }
    friend bool operator==(const Fill &, const Fill &) = default;
};

class CalcForm {
public:
    virtual ~CalcForm() = default;

    // The current printer's device name and second identifying text.
    // Either may throw RunTimeError when there is no printer to ask.
    virtual std::string printerDeviceName() = 0;
    virtual std::string printerSecondText() = 0;
    virtual void setPrintToolTip(const std::string &text) = 0;  // cmdStampa

    virtual std::string fieldText(Field field) = 0;
    // Writing txtGiriMinuto with a different text raises its change event at
    // once, which runs the calculation nested inside this call.
    virtual void setFieldText(Field field, const std::string &text) = 0;
    virtual void setSpeedSelection(int start, int length) = 0;

    virtual std::string valueCaption(int index) = 0;  // lblValori(index)
    virtual void setValueCaption(int index, const std::string &text) = 0;
    virtual void setValueToolTip(int index, const std::string &text) = 0;

    virtual bool optionSelected(int index) = 0;  // optAlzataGiro(index)

    // shape is 2 for Shape2, 3 for Shape3; width in twips.
    virtual void setShapeWidth(int shape, float twips) = 0;
    virtual void setShapeFill(int shape, Fill fill) = 0;
    virtual void setCommandCaption(int index, const std::string &text) = 0;  // lblComando(index)

    // A modal message box with the critical icon and one OK button.
    virtual void showCriticalBox(const std::string &text, const std::string &title) = 0;
};

}  // namespace rotamet::calc
