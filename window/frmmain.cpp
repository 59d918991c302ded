#include "window/frmmain.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <utility>

#include "calc/calculation.h"
#include "help/help.h"
#include "numtext/numtext.h"
#include "numtext/qtext.h"
#include "print/printer.h"
#include "window/design.h"
#include "window/designwidgets.h"
#include "window/keyrules.h"
#include "window/printchoices.h"
#include "window/pumplist.h"
#include "window/screenreader.h"
#include "window/services.h"
#include "window/stepbuttons.h"
#include "window/systemmenu.h"
#include "window/textbox.h"
#include "window/windowplacement.h"

namespace rotamet {

namespace {

constexpr const char *kTitle = "Rotamet - 09/12/2023";

// The window's size and font and its controls, from the design table.
FormControls builtFromDesign(QWidget &window)
{
    design::setUpWindow(window);
    const design::Controls built = design::buildControls(window, [](const design::Control &row, QWidget *parent) {
        auto *box = new TextBox(parent);
        box->setTypedLengthLimit(row.maxTyped);
        return box;
    });
    return FormControls([&built](const char *name, int index) { return built.find(name, index); });
}

}  // namespace

FrmMain::FrmMain(PlatformServices &services, QWidget *parent)
    : QWidget(parent), services_(services), ui(builtFromDesign(*this)), optionGroup_(ui.optAlzataGiro[0]->group()),
      placement_(std::make_unique<WindowPlacement>(*this, [&services] { return services.screenSize(); })),
      pumps_(std::make_unique<PumpList>(*ui.cboCodice, services, *this)),
      printChoices_(std::make_unique<PrintChoices>(*ui.cmdStampa, *this, services, *this)),
      help_(std::make_unique<help::Help>(services, *this))
{
    setWindowTitle(QStringLiteral("Rotamet"));
    connectEvents();
    steps::drawArrows(ui);
    tabToTheChosenOption();
    hideFromScreenReaders(this, ui.Frame1);
    // On Linux a screen reader names a combo box by its text; the name goes
    // to the text field inside it too.
    ui.cboCodice->lineEdit()->setAccessibleName(ui.cboCodice->accessibleName());
    nameResults();
}

void FrmMain::nameResults()
{
    const auto caption = [this](int index) { return ui.lblEtichetta.at(index)->text().trimmed(); };
    const QString of = QStringLiteral("%1, %2");
    nameResult(ui.lblValori[0], caption(1));
    nameResult(ui.lblValori[1], caption(2));
    nameResult(ui.lblValori[2], caption(3));
    nameResult(ui.lblValori[3], of.arg(caption(12), QStringLiteral("minima")));
    nameResult(ui.lblValori[4], of.arg(caption(12), QStringLiteral("massima")));
    nameResult(ui.lblValori[5], caption(11));
    nameResult(ui.lblValori[6], caption(5));
    nameResult(ui.lblValori[7], caption(4));
    nameResult(ui.lblValori[8], caption(6));
    nameResult(ui.lblValori[9], of.arg(caption(9), QStringLiteral("millimetri")));
    nameResult(ui.lblValori[10], of.arg(caption(9), QStringLiteral("millisecondi")));
    nameResult(ui.lblValori[11], of.arg(caption(7), QStringLiteral("angolo")));
    nameResult(ui.lblValori[12], of.arg(caption(7), QStringLiteral("millimetri")));
    nameResult(ui.lblValori[13], of.arg(caption(8), QStringLiteral("angolo")));
    nameResult(ui.lblValori[14], of.arg(caption(8), QStringLiteral("millisecondi")));
}

FrmMain::~FrmMain()
{
    // ~QWidget closes the window, which takes the focus from the entry fields
    // and so raises their hooks; by then this is no longer a FrmMain. The
    // rooms go with their members, before that.
    for (TextBox *t : {ui.txtGiriMinuto, ui.txtAngolo, ui.txtMillisecondi, ui.txtMillimetri}) {
        t->onKeyPress = nullptr;
        t->onGotFocus = nullptr;
        t->onLostFocus = nullptr;
    }
}

void FrmMain::connectEvents()
{
    // A choice from the list (popup, arrow keys, wheel) emits activated, also
    // when the chosen item is the current one. currentIndexChanged is not
    // used: it also fires when the first item is added.
    connect(ui.cboCodice, &QComboBox::activated, this, [this] { cboCodice_Click(); });
    connect(pumps_.get(), &PumpList::rowChosen, this, &FrmMain::setListIndex);
    connect(pumps_.get(), &PumpList::left, this, &FrmMain::cboCodice_LostFocus);
    // clicked, not toggled: an option set by code raises its click through
    // setOptionValue(), exactly once.
    connect(optionGroup_, &QButtonGroup::idClicked, this, [this](int id) { optAlzataGiro_Click(std::int16_t(id)); });

    connect(ui.cmdCalcola, &QPushButton::clicked, this, &FrmMain::cmdCalcola_Click);
    connect(ui.cmdStampa, &QPushButton::clicked, this, &FrmMain::cmdStampa_Click);
    // The page header names the pump whose data it prints, whatever is
    // typed in the list.
    connect(printChoices_.get(), &PrintChoices::aboutToPrint, this, &FrmMain::cboCodice_LostFocus);
    for (const steps::StepButton &button : steps::buttons())
        connect(ui.*button.button, &QPushButton::clicked, this, [this, &button] { stepButton_Click(button); });

    // textChanged fires for a real change only, by the user or by code: the
    // change event of the speed field.
    connect(ui.txtGiriMinuto, &QLineEdit::textChanged, this, &FrmMain::txtGiriMinuto_Change);
    ui.txtGiriMinuto->onKeyPress = [this](int &k) { txtGiriMinuto_KeyPress(k); };
    ui.txtGiriMinuto->onGotFocus = [this] { txtGiriMinuto_GotFocus(); };
    for (TextBox *t : {ui.txtAngolo, ui.txtMillisecondi, ui.txtMillimetri})
        t->onKeyPress = [this](int &k) { conversionField_KeyPress(k); };
}

// Tab enters the lifts group on the chosen option, and the arrow keys move
// within the group: only the chosen option takes the focus from Tab.
void FrmMain::tabToTheChosenOption()
{
    connect(optionGroup_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (!checked)
            return;
        for (QRadioButton *option : ui.optAlzataGiro)
            option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    });
}

// ---- Start-up and shut-down ------------------------------------------------

void FrmMain::load()
{
    Form_Load();
    show();
    activateWindow();
    ui.cboCodice->setFocus();
    addToSystemMenu(*this, QStringLiteral("Informazioni su Rotamet…"), [this] { help_->showAbout(); });
    lookUpAfterFirstPaint_ = true;
    if (!startUpMessage_.isEmpty())
        services_.messageBox(std::exchange(startUpMessage_, {}), QString::fromUtf8(catalogue::kMessageTitle),
                             BoxIcon::Warning);
}

// The printer is looked up once the window is on the screen (painted once),
// without waiting for the print server; its answer names the printer on
// "stampa" as a calculation run would.
void FrmMain::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (!std::exchange(lookUpAfterFirstPaint_, false))
        return;
    QTimer::singleShot(0, this, [this] {
        services_.lookUpPrinter(this, [this] { ui.cmdStampa->setToolTip(qs(calc::printToolTip(*this))); });
    });
}

void FrmMain::Form_Load()
{
    placement_->place();
    setWindowTitle(QString::fromUtf8(kTitle));
    // The built-in pumps and the user's, from their file.
    startUpMessage_ = pumps_->load();
    setListIndex(0);    // the pump's geometry, and the first calculation
    setOptionValue(1);  // two lifts per revolution, and the second calculation
    ui.cmdStampa->setToolTip(qs(calc::printToolTip(*this)));
}

void FrmMain::Form_Unload(std::int16_t &cancel)
{
    cancel = 0;
    services_.quit();
}

// A close during a print is kept: the print ends as it would, with its
// message, and then the window closes.
void FrmMain::closeEvent(QCloseEvent *event)
{
    if (printChoices_->keepClose()) {
        event->ignore();
        return;
    }
    std::int16_t cancel = 0;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

// Enter on a push button that has the focus clicks it, as Space does. Qt's
// push buttons do that only inside dialogs; the key reaches the window
// because the button ignores it.
void FrmMain::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget())) {
            button->click();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void FrmMain::setListIndex(int index)
{
    {
        const QSignalBlocker block(ui.cboCodice);
        ui.cboCodice->setCurrentIndex(index);
        // Also when the row was current already, under a text typed over it.
        ui.cboCodice->setEditText(ui.cboCodice->itemText(index));
    }
    cboCodice_Click();
}

void FrmMain::setOptionValue(int index)
{
    ui.optAlzataGiro[index]->setChecked(true);
    optAlzataGiro_Click(std::int16_t(index));
}

// ---- Event procedures -------------------------------------------------------

void FrmMain::cmdCalcola_Click()
{
    ++calculationRuns_;
    calc::Calcola(*this);
}

void FrmMain::cmdStampa_Click() { printChoices_->print(); }

void FrmMain::cboCodice_Click()
{
    const std::string code = ss(ui.cboCodice->currentText());
    if (const catalogue::Pump *pump = pumps_->find(code)) {
        ui.lblValori[3]->setText(qs(NumberText(pump->minAlbero)));
        ui.lblValori[4]->setText(qs(NumberText(pump->maxAlbero)));
        ui.lblValori[6]->setText(qs(pump->fineAlzataText()));
        pumps_->setShown(code);
    }
    try {
        // The lift from the labels as shown, in single precision.
        const float a = ParseSingle(ss(ui.lblValori[3]->text()));
        const float b = ParseSingle(ss(ui.lblValori[4]->text()));
        ui.lblValori[5]->setText(qs(calc::liftText(a, b)));
    } catch (const RunTimeError &e) {
        // The design gives the pump choice no error handling of its own; a
        // label that is not a number must still not end the program.
        showCriticalBox(calc::errorText(e), calc::kErrorTitle);
    }
    cmdCalcola_Click();
}

void FrmMain::cboCodice_LostFocus() { pumps_->restoreShown(); }

void FrmMain::optAlzataGiro_Click(std::int16_t index)
{
    static const char *const captions[3]
        = {"Salita e discesa [360°]", "Salita e discesa [180°]", "Salita e discesa [120°]"};
    static const char *const tips[3]
        = {"Millisecondi per 1 giro (360°)", "Millisecondi per 1/2 giro (180°)", "Millisecondi per 1/3 giro (120°)"};
    for (QRadioButton *option : ui.optAlzataGiro)
        design::setForeground(option, Qt::black);
    design::setForeground(ui.optAlzataGiro[index], QColor(0, 128, 0));
    ui.lblEtichetta[4]->setText(QString::fromUtf8(captions[index]));
    ui.lblEtichetta[4]->setToolTip(QString::fromUtf8(tips[index]));
    ui.lblValori[7]->setToolTip(QString::fromUtf8(tips[index]));
    nameResult(ui.lblValori[7], ui.lblEtichetta[4]->text());
    cmdCalcola_Click();
}

void FrmMain::txtGiriMinuto_KeyPress(int &keyAscii) { keyrules::wholeNumber(keyAscii); }

void FrmMain::txtGiriMinuto_Change() { cmdCalcola_Click(); }

void FrmMain::txtGiriMinuto_GotFocus() { ui.txtGiriMinuto->setSelection(0, int(ui.txtGiriMinuto->text().size())); }

// Digits, "," and Backspace pass; "." is entered as ","; Enter runs the
// calculation; anything else is discarded.
void FrmMain::conversionField_KeyPress(int &keyAscii)
{
    keyrules::decimalNumber(keyAscii);
    if (keyAscii == 13)
        cmdCalcola_Click();
}

void FrmMain::stepButton_Click(const steps::StepButton &button)
{
    try {
        if (const std::optional<std::string> text = steps::stepped(button.rule, fieldText(button.field), button.step)) {
            setFieldText(button.field, *text);
            cmdCalcola_Click();
        }
    } catch (const RunTimeError &e) {
        showCriticalBox(calc::errorText(e), calc::kErrorTitle);
    }
}

// ---- FormView -----------------------------------------------------------

std::string FrmMain::printerDeviceName() { return services_.printer().deviceName(); }
std::string FrmMain::printerSecondText() { return services_.printer().secondText(); }
void FrmMain::setPrintToolTip(const std::string &text) { ui.cmdStampa->setToolTip(qs(text)); }

TextBox *FrmMain::field(calc::Field f) const
{
    switch (f) {
    case calc::Field::GiriMinuto: return ui.txtGiriMinuto;
    case calc::Field::Angolo: return ui.txtAngolo;
    case calc::Field::Millisecondi: return ui.txtMillisecondi;
    case calc::Field::Millimetri: break;
    }
    return ui.txtMillimetri;
}

std::string FrmMain::fieldText(calc::Field f) { return ss(field(f)->text()); }
void FrmMain::setFieldText(calc::Field f, const std::string &text) { field(f)->setText(qs(text)); }
void FrmMain::setSpeedSelection(int start, int length) { ui.txtGiriMinuto->setSelection(start, length); }
std::string FrmMain::valueCaption(int index) { return ss(ui.lblValori.at(index)->text()); }
void FrmMain::setValueCaption(int index, const std::string &text) { ui.lblValori.at(index)->setText(qs(text)); }
void FrmMain::setValueToolTip(int index, const std::string &text) { ui.lblValori.at(index)->setToolTip(qs(text)); }
bool FrmMain::optionSelected(int index) { return ui.optAlzataGiro.at(index)->isChecked(); }

void FrmMain::setShapeWidth(int shape, float twips)
{
    QFrame *s = ui.Shape.at(shape);
    s->setProperty("widthTwips", twips);
    s->resize(std::max(0, qRound(twips / float(design::kTwipsPerPixel))), s->height());
}

void FrmMain::setShapeFill(int shape, calc::Fill fill)
{
    QFrame *s = ui.Shape.at(shape);
    if (fill.buttonFace) {
        // The palette's button face, so the block follows the colour scheme.
        s->setBackgroundRole(QPalette::Button);
    } else {
        QPalette p = s->palette();
        p.setColor(QPalette::Window, QColor(fill.red, fill.green, fill.blue));
        s->setPalette(p);
        s->setBackgroundRole(QPalette::Window);
    }
}

void FrmMain::setCommandCaption(int index, const std::string &text) { ui.lblComando.at(index)->setText(qs(text)); }

void FrmMain::showBox(const std::string &text, const std::string &title, BoxIcon icon)
{
    printChoices_->takeHeldClose();
    services_.messageBox(qs(text), qs(title), icon);
}

void FrmMain::showCriticalBox(const std::string &text, const std::string &title)
{
    showBox(text, title, BoxIcon::Critical);
}

void FrmMain::showInformationBox(const std::string &text, const std::string &title)
{
    showBox(text, title, BoxIcon::Information);
}

void FrmMain::showWarningBox(const std::string &text, const std::string &title)
{
    showBox(text, title, BoxIcon::Warning);
}

std::string FrmMain::pumpCode() { return ss(ui.cboCodice->currentText()); }
void FrmMain::processPendingEvents() { services_.processEvents(); }
print::Printer &FrmMain::printer() { return services_.printer(); }
std::string FrmMain::todayShortDate() { return ss(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))); }

}  // namespace rotamet
