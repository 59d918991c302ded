// frmMain: the program's one window. Owns its controls, built from the design
// table, and the event procedures of the window: start-up and shut-down, the
// pump list (the catalogue itself lives in catalogue/), the lifts-per-revolution
// selector, the entry fields and the step buttons. The calculation and the
// printing live in calc/ and print/ and reach the controls through FormView.
// Everything outside the window goes through PlatformServices. Tests find the
// controls by their object names, the design names.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <optional>

#include "calc/formview.h"
#include "catalogue/catalogue.h"
#include "catalogue/pumpfile.h"
#include "print/offthread.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace rotamet {

class PlatformServices;
class TextBox;

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

    // Event procedures.
    void Form_Load();
    void Form_Unload(std::int16_t &cancel);
    void cmdCalcola_Click();
    void cmdStampa_Click();
    // The context menu of "stampa" (mnuStampa), opened by a right click, the
    // menu key or Shift+F10: "Stampa" (Ctrl+P anywhere in the window, as a
    // click), "Stampa su…", "Salva come PDF…", "Anteprima di stampa…" and
    // "Copia tabelle".
    void cmdStampa_ContextMenu(const QPoint &globalPos);
    void mnuStampaStampa_Click();
    // The print dialog (PlatformServices::choosePrinter), then the page on
    // the printer chosen, in the number of copies chosen.
    void mnuStampaSu_Click();
    // A save dialog on the documents folder (the home folder while there is
    // none) with the name the PDF of a print without a printer would get
    // there (PlatformServices::choosePdfFile), then the page as a PDF file
    // under the name chosen.
    void mnuStampaPdf_Click();
    // The page composed as a print composes it, then shown in the print
    // preview (window/printpreview.h), whose buttons run the entries above.
    void mnuStampaAnteprima_Click();
    // The page composed as a print composes it, then its tables on the
    // clipboard (window/tablescopy.h).
    void mnuStampaCopia_Click();
    void cboCodice_Click();
    // Leaving the pump list (Enter answered No, or the focus moving to
    // another control): a text that is no catalogue code gives way to the
    // code whose data the window shows.
    void cboCodice_LostFocus();
    // Enter in the pump list: a text that is no catalogue code asks
    // "Il codice … non è in catalogo. Aggiungerlo?"; Sì opens the pump dialog
    // with the code filled in, No leaves the list as cboCodice_LostFocus does.
    void cboCodice_ReturnPressed();
    // The pump list's context menu: the line edit's own, then "Aggiungi
    // pompa…", and while a user pump is shown "Modifica pompa…" and "Elimina
    // pompa".
    void cboCodice_ContextMenu(const QPoint &globalPos);
    void optAlzataGiro_Click(std::int16_t index);
    void txtGiriMinuto_KeyPress(int &keyAscii);
    void txtGiriMinuto_Change();
    void txtGiriMinuto_GotFocus();
    void txtGiriMinuto_LostFocus();
    void txtAngolo_KeyPress(int &keyAscii);
    void txtMillisecondi_KeyPress(int &keyAscii);
    void txtMillimetri_KeyPress(int &keyAscii);
    void cmdAngUp_Click();
    void cmdAngDown_Click();
    void cmdMSUp_Click();
    void cmdMSDown_Click();
    void cmdMMUp_Click();
    void cmdMMDown_Click();

    // Setting by code, raising the events the user's change would raise.
    void setListIndex(int index);    // cboCodice: runs cboCodice_Click
    void setOptionValue(int index);  // optAlzataGiro(index) = True: runs its click

    // Where the window's outer frame goes: centred, with one third of the free
    // height above it.
    static QPoint placement(QSize screen, QSize outer);

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
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Controls.
    QComboBox *cboCodice = nullptr;
    TextBox *txtGiriMinuto = nullptr;
    TextBox *txtAngolo = nullptr;
    TextBox *txtMillisecondi = nullptr;
    TextBox *txtMillimetri = nullptr;
    std::array<QLabel *, 15> lblValori{};
    std::array<QLabel *, 13> lblEtichetta{};  // index 10 does not exist
    std::array<QLabel *, 3> lblComando{};
    std::array<QRadioButton *, 3> optAlzataGiro{};
    QPushButton *cmdCalcola = nullptr;
    QPushButton *cmdStampa = nullptr;
    QPushButton *cmdAngUp = nullptr;
    QPushButton *cmdAngDown = nullptr;
    QPushButton *cmdMSUp = nullptr;
    QPushButton *cmdMSDown = nullptr;
    QPushButton *cmdMMUp = nullptr;
    QPushButton *cmdMMDown = nullptr;
    QFrame *fraMain = nullptr;
    QFrame *Frame1 = nullptr;
    std::array<QFrame *, 4> Shape{};  // Shape[1..3]
    QMenu *mnuStampa = nullptr;       // the context menu of cmdStampa
    QAction *mnuStampaStampa = nullptr;
    QAction *mnuStampaSu = nullptr;
    QAction *mnuStampaPdf = nullptr;
    QAction *mnuStampaAnteprima = nullptr;
    QAction *mnuStampaCopia = nullptr;

    void buildFromDesign();
    void buildPrintMenu();
    void connectEvents();
    // The printed table, on printer (nullptr: the system's printer), with
    // user input held back meanwhile; a print asked for during a print is
    // not started.
    void printOn(print::Printer *printer);
    void offerNoMaximise();
    void drawStepArrows();
    void tabToTheChosenOption();
    void placeByFrame();
    TextBox *field(calc::Field field) const;
    // A step button on a field that is not a number: the calculation's box.
    template <class Body>
    void stepButton(Body &&body);

    // The pump catalogue and the list that shows it.
    void fillPumpList();
    // Fills the list again and chooses the pump with this code.
    void showCatalogue(const std::string &code);
    // The row of the pump whose data the labels show: the current row if it
    // does, else the first that does.
    std::optional<std::size_t> shownPump() const;
    void addPump(const std::string &code);
    void editPump(const std::string &code);
    void deletePump(const std::string &code);
    void openPumpDialog(const QString &title, const catalogue::PumpText &start, std::optional<std::string> replacing);
    // Makes a change in the pumps' file off the window's thread.
    catalogue::PumpFile::Changed changePumpFile(catalogue::PumpFile::Edit edit);

    PlatformServices &services_;
    catalogue::PumpFile pumpFile_;
    print::WorkThread pumpFileThread_;  // reads and writes the pumps' file
    catalogue::Catalogue catalogue_;
    QString startUpMessage_;  // about the pumps' file, shown by load()
    QButtonGroup *optionGroup_ = nullptr;
    int calculationRuns_ = 0;
    bool placedByFrame_ = false;
    bool lookUpAfterFirstPaint_ = false;  // set by load()
    bool printing_ = false;
    bool closeAfterPrint_ = false;  // the user closed the window during a print
    // Before a box that a print shows: a close of the window that the window
    // system held back meanwhile reaches the window now, while the box would
    // refuse it, and is kept for the print's end.
    void takeHeldClose();
};

}  // namespace rotamet
