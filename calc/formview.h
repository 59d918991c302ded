// What the calculation run and the printed table read and write of the main
// window, and nothing more: texts, captions and selections by the design's
// names and indexes, the printer, message boxes. The window implements it
// over its real controls; tests implement it over plain models.
#pragma once

#include <cstdint>
#include <string>

namespace rotamet {

namespace print {
class Printer;
}

namespace calc {

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

}  // namespace calc

class FormView {
public:
    virtual ~FormView() = default;

    // The entry fields.
    virtual std::string fieldText(calc::Field field) = 0;
    // Writing txtGiriMinuto with a different text raises its change event at
    // once, which runs the calculation nested inside this call.
    virtual void setFieldText(calc::Field field, const std::string &text) = 0;
    virtual void setSpeedSelection(int start, int length) = 0;
    virtual std::string pumpCode() = 0;  // text of cboCodice

    virtual std::string valueCaption(int index) = 0;  // lblValori(index)
    virtual void setValueCaption(int index, const std::string &text) = 0;
    virtual void setValueToolTip(int index, const std::string &text) = 0;

    virtual bool optionSelected(int index) = 0;  // optAlzataGiro(index)

    // shape is 2 for Shape2, 3 for Shape3; width in twips.
    virtual void setShapeWidth(int shape, float twips) = 0;
    virtual void setShapeFill(int shape, calc::Fill fill) = 0;
    virtual void setCommandCaption(int index, const std::string &text) = 0;  // lblComando(index)

    virtual void setPrintToolTip(const std::string &text) = 0;  // cmdStampa
    virtual void runCalculation() = 0;                          // cmdCalcola_Click
    // Repaints; user input that arrives meanwhile is not taken.
    virtual void processPendingEvents() = 0;

    // The system's current printer, its device name and its second
    // identifying text: empty while the printer is not known yet. Each may
    // throw RunTimeError when there is no printer to ask.
    virtual print::Printer &printer() = 0;
    virtual std::string printerDeviceName() = 0;
    virtual std::string printerSecondText() = 0;

    // Modal message boxes with one OK button.
    virtual void showInformationBox(const std::string &text, const std::string &title) = 0;
    virtual void showWarningBox(const std::string &text, const std::string &title) = 0;
    virtual void showCriticalBox(const std::string &text, const std::string &title) = 0;

    // Today's date in the Italian short form, "dd/mm/yyyy".
    virtual std::string todayShortDate() = 0;
};

}  // namespace rotamet
