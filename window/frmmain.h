// frmMain: the program's one window. Owns its controls, built from the
// design table, its start-up and shut-down, and the event procedures of the
// design: the pump list, the lifts-per-revolution selector, the entry
// fields, the step buttons, "calcola" and "stampa". The calculation (calc/)
// and the printed table (print/) reach the controls through FormView. The
// window's other jobs each have a room of their own: the pump catalogue and
// its file (PumpList), the print choices and the print under way
// (PrintChoices), the step buttons' table and rules (stepbuttons.h), where
// the window goes (WindowPlacement), F1 and the manual (help::Help). Everything outside the window goes
// through PlatformServices.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "calc/formview.h"
#include "window/formcontrols.h"

class QButtonGroup;

namespace rotamet {

class PlatformServices;
class PrintChoices;
namespace help {
class Help;
}
enum class BoxIcon;
class PumpList;
class WindowPlacement;
namespace steps {
struct StepButton;
}

class FrmMain : public QWidget, public FormView {
    Q_OBJECT
public:
    explicit FrmMain(PlatformServices &services, QWidget *parent = nullptr);
    ~FrmMain() override;

    // Runs Form_Load, then shows the window and tells what there is to tell
    // about the pumps' file (lines skipped, a file that cannot be read); once
    // the window is painted, the printer is looked up
    // (PlatformServices::lookUpPrinter).
    void load();

    // Event procedures that callers and tests raise directly.
    void Form_Load();
    void cmdCalcola_Click();
    void cmdStampa_Click();
    void cboCodice_Click();

    // Setting by code, raising the events the user's change would raise.
    void setListIndex(int index);    // cboCodice: runs cboCodice_Click
    void setOptionValue(int index);  // optAlzataGiro(index) = True: runs its click

    // How many calculation runs have started since the window was made.
    int calculationRuns() const { return calculationRuns_; }

    // FormView.
    std::string printerDeviceName() override;
    std::string printerSecondText() override;
    void setPrintToolTip(const std::string &text) override;
    std::string fieldText(calc::Field field) override;
    void setFieldText(calc::Field field, const std::string &text) override;
    void setSpeedSelection(int start, int length) override;
    std::string valueCaption(int index) override;
    void setValueCaption(int index, const std::string &text) override;
    void setValueToolTip(int index, const std::string &text) override;
    bool optionSelected(int index) override;
    void setShapeWidth(int shape, float twips) override;
    void setShapeFill(int shape, calc::Fill fill) override;
    void setCommandCaption(int index, const std::string &text) override;
    void showCriticalBox(const std::string &text, const std::string &title) override;
    std::string pumpCode() override;
    void runCalculation() override { cmdCalcola_Click(); }
    void processPendingEvents() override;
    print::Printer &printer() override;
    void showInformationBox(const std::string &text, const std::string &title) override;
    void showWarningBox(const std::string &text, const std::string &title) override;
    std::string todayShortDate() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Form_Unload(std::int16_t &cancel);
    // Leaving the pump list (Enter answered No, or the focus moving to
    // another control): a text that is no catalogue code gives way to the
    // code whose data the window shows.
    void cboCodice_LostFocus();
    void optAlzataGiro_Click(std::int16_t index);
    void txtGiriMinuto_KeyPress(int &keyAscii);
    void txtGiriMinuto_Change();
    void txtGiriMinuto_GotFocus();
    // The three command fields: Enter runs the calculation.
    void conversionField_KeyPress(int &keyAscii);
    // cmdAngUp_Click, cmdAngDown_Click, cmdMSUp_Click, ...: one step of the
    // button's field, then the calculation; a field that is not a number
    // gets the calculation's box.
    void stepButton_Click(const steps::StepButton &button);

    void connectEvents();
    void tabToTheChosenOption();
    // Each result label's accessible name: the caption beside it.
    void nameResults();
    TextBox *field(calc::Field field) const;
    void showBox(const std::string &text, const std::string &title, BoxIcon icon);

    PlatformServices &services_;
    const FormControls ui;
    QButtonGroup *optionGroup_ = nullptr;
    std::unique_ptr<WindowPlacement> placement_;
    std::unique_ptr<PumpList> pumps_;
    std::unique_ptr<PrintChoices> printChoices_;
    std::unique_ptr<help::Help> help_;  // F1, in every window of the program
    QString startUpMessage_;  // about the pumps' file, shown by load()
    int calculationRuns_ = 0;
    bool lookUpAfterFirstPaint_ = false;  // set by load()
};

}  // namespace rotamet
