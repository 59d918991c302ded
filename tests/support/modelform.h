// A stand-in for the main window as the printing sees it, for tests and the
// print-queue check: field texts and captions in plain maps, message boxes
// recorded instead of shown, and a toy calculation whose results name the
// speed and angle they were computed for.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "print/stampascala.h"

namespace rotamet::print {

class ModelForm : public FormView {
public:
    explicit ModelForm(Printer &printer);

    // The window as it opens: speed "1000", angle "7,0°", pump 0445010760.
    std::map<calc::Field, std::string> fields;
    std::string pump = "0445010760";
    std::map<int, std::string> captions;
    std::string today = "10/12/2026";

    struct Box {
        std::string text, title;
        bool critical = false;
        bool warning = false;
    };
    std::vector<Box> boxes;
    int calculations = 0;
    // The speed field's text each time pending events were processed.
    std::vector<std::string> speedsAtEvents;

    // The toy calculation: writes the angle field as "<degrees>,<tenth>°"
    // and fills lblValori(9) and lblValori(10) from the speed and the angle.
    // A speed or angle that is not a plain number leaves the captions as they
    // are; a bad angle shows the "Errore di calcolo" box (once per box scope).
    void calculate();
    static std::string strokeText(int speed, int angleTenths);  // "mm 0,175"
    static std::string timeText(int speed, int angleTenths);    // "ms 0,467"; "ms " at speed 0

    std::string fieldText(calc::Field field) override;
    void setFieldText(calc::Field field, const std::string &text) override;
    std::string pumpCode() override;
    std::string valueCaption(int index) override;
    void runCalculation() override;
    void processPendingEvents() override;
    Printer &printer() override;
    void showInformationBox(const std::string &text, const std::string &title) override;
    void showCriticalBox(const std::string &text, const std::string &title) override;
    void showWarningBox(const std::string &text, const std::string &title) override;
    std::string todayShortDate() override;

    // What the calculation asks for, not the printing: kept, never read.
    std::string printerDeviceName() override;
    std::string printerSecondText() override;
    void setPrintToolTip(const std::string &text) override { printToolTip = text; }
    void setSpeedSelection(int, int) override {}
    void setValueCaption(int index, const std::string &text) override { captions[index] = text; }
    void setValueToolTip(int, const std::string &) override {}
    bool optionSelected(int index) override { return index == 1; }
    void setShapeWidth(int, float) override {}
    void setShapeFill(int, calc::Fill) override {}
    void setCommandCaption(int, const std::string &) override {}
    std::string printToolTip;

private:
    Printer &printer_;
};

}  // namespace rotamet::print
