#include "window/frmmain.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include <utility>

#include "calc/calculation.h"
#include "numtext/numtext.h"
#include "print/offthread.h"
#include "print/pagecapture.h"
#include "print/pdffiletarget.h"
#include "print/pdffoldertarget.h"
#include "print/printer.h"
#include "print/printqueue.h"
#include "print/stampascala.h"
#include "window/design.h"
#include "window/designwidgets.h"
#include "window/dlgpompa.h"
#include "window/keyrules.h"
#include "window/printpreview.h"
#include "window/screenreader.h"
#include "window/services.h"
#include "window/tablescopy.h"
#include "window/textbox.h"

namespace rotamet {

namespace {

constexpr const char *kTitle = "Rotamet - 09/12/2023";
constexpr const char *kAnglePattern = "##,##0.0°";
constexpr const char *kCatalogueTitle = catalogue::kMessageTitle;

QString qs(const std::string &s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string ss(const QString &s) { return s.toStdString(); }

// The six step buttons and the pump choice have no error handling of their
// own in the design; a field that is not a number must still not end the
// program, so the failure is shown as the calculation shows its own.
void showError(PlatformServices &services, const RunTimeError &e)
{
    services.messageBox(qs(calc::errorText(e)), QString::fromUtf8(calc::kErrorTitle), BoxIcon::Critical);
}

}  // namespace

FrmMain::FrmMain(PlatformServices &services, QWidget *parent)
    : QWidget(parent), services_(services), pumpFile_(services.pumpFilePath())
{
    design::setUpWindow(*this);
    setWindowTitle(QStringLiteral("Rotamet"));
    offerNoMaximise();
    buildFromDesign();
    buildPrintMenu();
    connectEvents();
    drawStepArrows();
    tabToTheChosenOption();
    hideFromScreenReaders(this, Frame1);
    // On Linux a screen reader names a combo box by its text; the name goes
    // to the text field inside it too.
    cboCodice->lineEdit()->setAccessibleName(cboCodice->accessibleName());
}

FrmMain::~FrmMain()
{
    // ~QWidget closes the window, which takes the focus from the entry fields
    // and so raises their hooks; by then this is no longer a FrmMain.
    for (TextBox *t : {txtGiriMinuto, txtAngolo, txtMillisecondi, txtMillimetri}) {
        t->onKeyPress = nullptr;
        t->onGotFocus = nullptr;
        t->onLostFocus = nullptr;
    }
    // The same for the pump list: its leaving runs a handler of this window.
    disconnect(cboCodice->lineEdit(), nullptr, this, nullptr);
    cboCodice->removeEventFilter(this);
}

void FrmMain::buildFromDesign()
{
    const design::Controls built = design::buildControls(*this, [](const design::Control &row, QWidget *parent) {
        auto *box = new TextBox(parent);
        box->setTypedLengthLimit(row.maxTyped);
        return box;
    });
    fraMain = built.get<QFrame>("fraMain");
    Frame1 = built.get<QFrame>("Frame1");
    built.getArray(lblValori, "lblValori");
    built.getArray(lblEtichetta, "lblEtichetta");
    built.getArray(lblComando, "lblComando");
    txtGiriMinuto = built.get<TextBox>("txtGiriMinuto");
    txtAngolo = built.get<TextBox>("txtAngolo");
    txtMillisecondi = built.get<TextBox>("txtMillisecondi");
    txtMillimetri = built.get<TextBox>("txtMillimetri");
    cboCodice = built.get<QComboBox>("cboCodice");
    built.getArray(optAlzataGiro, "optAlzataGiro");
    cmdCalcola = built.get<QPushButton>("cmdCalcola");
    cmdStampa = built.get<QPushButton>("cmdStampa");
    cmdAngUp = built.get<QPushButton>("cmdAngUp");
    cmdAngDown = built.get<QPushButton>("cmdAngDown");
    cmdMSUp = built.get<QPushButton>("cmdMSUp");
    cmdMSDown = built.get<QPushButton>("cmdMSDown");
    cmdMMUp = built.get<QPushButton>("cmdMMUp");
    cmdMMDown = built.get<QPushButton>("cmdMMDown");
    Shape[1] = built.get<QFrame>("Shape1");
    Shape[2] = built.get<QFrame>("Shape2");
    Shape[3] = built.get<QFrame>("Shape3");
    optionGroup_ = built.options;
}

// The context menu of "stampa", made once and shown by cmdStampa_ContextMenu.
// Its first entry is also the window's Ctrl+P, which the menu shows.
void FrmMain::buildPrintMenu()
{
    const auto action = [this](const char *name, const QString &text) {
        auto *a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    mnuStampaStampa = action("mnuStampaStampa", QStringLiteral("&Stampa"));
    mnuStampaStampa->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuStampaStampa->setShortcutContext(Qt::WindowShortcut);
    mnuStampaStampa->setShortcutVisibleInContextMenu(true);
    addAction(mnuStampaStampa);
    mnuStampaSu = action("mnuStampaSu", QStringLiteral("Stampa s&u…"));
    mnuStampaPdf = action("mnuStampaPdf", QStringLiteral("Salva come &PDF…"));
    mnuStampaAnteprima = action("mnuStampaAnteprima", QStringLiteral("&Anteprima di stampa…"));
    mnuStampaCopia = action("mnuStampaCopia", QStringLiteral("&Copia tabelle"));

    mnuStampa = new QMenu(this);
    mnuStampa->setObjectName(QStringLiteral("mnuStampa"));
    mnuStampa->setAccessibleName(QStringLiteral("Scelte di stampa"));
    mnuStampa->addActions({mnuStampaStampa, mnuStampaSu, mnuStampaPdf, mnuStampaAnteprima, mnuStampaCopia});
}

void FrmMain::connectEvents()
{
    // A choice from the list (popup, arrow keys, wheel) emits activated, also
    // when the chosen item is the current one. currentIndexChanged is not
    // used: it also fires when the first item is added.
    connect(cboCodice, &QComboBox::activated, this, [this] { cboCodice_Click(); });
    // Enter; the list has already taken a text that names one of its codes
    // (it chose that code, raising activated). A text that is no code asks
    // whether to add it (cboCodice_ReturnPressed). The focus leaving the list
    // is seen in eventFilter(): QLineEdit's editingFinished would also come
    // when the window merely loses the activation or the list's drop-down
    // opens.
    connect(cboCodice->lineEdit(), &QLineEdit::returnPressed, this, [this] { cboCodice_ReturnPressed(); });
    cboCodice->installEventFilter(this);
    // The same context menu on the list's text and on its arrow.
    for (QWidget *w : {static_cast<QWidget *>(cboCodice), static_cast<QWidget *>(cboCodice->lineEdit())}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint &pos) { cboCodice_ContextMenu(w->mapToGlobal(pos)); });
    }
    // clicked, not toggled: an option set by code raises its click through
    // setOptionValue(), exactly once.
    connect(optionGroup_, &QButtonGroup::idClicked, this, [this](int id) { optAlzataGiro_Click(std::int16_t(id)); });

    connect(cmdCalcola, &QPushButton::clicked, this, [this] { cmdCalcola_Click(); });
    connect(cmdStampa, &QPushButton::clicked, this, [this] { cmdStampa_Click(); });
    // The right click, the menu key and Shift+F10 on "stampa": eventFilter().
    cmdStampa->installEventFilter(this);
    connect(mnuStampaStampa, &QAction::triggered, this, [this] { mnuStampaStampa_Click(); });
    connect(mnuStampaSu, &QAction::triggered, this, [this] { mnuStampaSu_Click(); });
    connect(mnuStampaPdf, &QAction::triggered, this, [this] { mnuStampaPdf_Click(); });
    connect(mnuStampaAnteprima, &QAction::triggered, this, [this] { mnuStampaAnteprima_Click(); });
    connect(mnuStampaCopia, &QAction::triggered, this, [this] { mnuStampaCopia_Click(); });
    connect(cmdAngUp, &QPushButton::clicked, this, [this] { cmdAngUp_Click(); });
    connect(cmdAngDown, &QPushButton::clicked, this, [this] { cmdAngDown_Click(); });
    connect(cmdMSUp, &QPushButton::clicked, this, [this] { cmdMSUp_Click(); });
    connect(cmdMSDown, &QPushButton::clicked, this, [this] { cmdMSDown_Click(); });
    connect(cmdMMUp, &QPushButton::clicked, this, [this] { cmdMMUp_Click(); });
    connect(cmdMMDown, &QPushButton::clicked, this, [this] { cmdMMDown_Click(); });

    // textChanged fires for a real change only, by the user or by code: the
    // change event of the speed field.
    connect(txtGiriMinuto, &QLineEdit::textChanged, this, [this] { txtGiriMinuto_Change(); });
    txtGiriMinuto->onKeyPress = [this](int &k) { txtGiriMinuto_KeyPress(k); };
    txtGiriMinuto->onGotFocus = [this] { txtGiriMinuto_GotFocus(); };
    txtGiriMinuto->onLostFocus = [this] { txtGiriMinuto_LostFocus(); };
    txtAngolo->onKeyPress = [this](int &k) { txtAngolo_KeyPress(k); };
    txtMillisecondi->onKeyPress = [this](int &k) { txtMillisecondi_KeyPress(k); };
    txtMillimetri->onKeyPress = [this](int &k) { txtMillimetri_KeyPress(k); };
}

// The window has a fixed size: its frame offers no maximise button.
void FrmMain::offerNoMaximise()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

// The step buttons have no caption: an arrow tells up from down. The arrow
// is the style's own (as on a spin box), in the button's text colour.
void FrmMain::drawStepArrows()
{
    const auto arrow = [this](QPushButton *button, QStyle::PrimitiveElement element) {
        const int side = std::max(4, std::min(button->width(), button->height()) - 8);
        const qreal ratio = devicePixelRatioF();
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
    };
    for (QPushButton *up : {cmdAngUp, cmdMSUp, cmdMMUp})
        arrow(up, QStyle::PE_IndicatorArrowUp);
    for (QPushButton *down : {cmdAngDown, cmdMSDown, cmdMMDown})
        arrow(down, QStyle::PE_IndicatorArrowDown);
}

// Tab enters the lifts group on the chosen option, and the arrow keys move
// within the group: only the chosen option takes the focus from Tab.
void FrmMain::tabToTheChosenOption()
{
    connect(optionGroup_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (!checked)
            return;
        for (QRadioButton *option : optAlzataGiro)
            option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    });
}

// ---- Start-up and shut-down ------------------------------------------------

QPoint FrmMain::placement(QSize screen, QSize outer)
{
    const float left = float(screen.width() - outer.width()) / 2.0f;
    const float top = float(screen.height() - outer.height()) / 3.0f;
    return QPoint(qRound(left), qRound(top));
}

// Until the window is shown its frame is unknown, so Form_Load places it by
// its client area; once a window manager has framed it, it is placed again by
// its outer size. Only the first frame counts: the user may move the window.
void FrmMain::placeByFrame()
{
    if (placedByFrame_ || !isVisible())
        return;
    const QSize outer = frameGeometry().size();
    if (outer == size())
        return;
    placedByFrame_ = true;
    move(placement(services_.screenSize(), outer));
}

bool FrmMain::event(QEvent *event)
{
    const bool done = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate: placeByFrame(); break;
    default: break;
    }
    return done;
}

bool FrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cboCodice && event->type() == QEvent::FocusOut
        && focusMovedWithinWindow(*static_cast<QFocusEvent *>(event)))
        cboCodice_LostFocus();
    if (watched == cmdStampa) {
        // A menu opened from the keyboard hangs below the button; one opened
        // by the mouse, at the pointer.
        const QPoint below = cmdStampa->mapToGlobal(QPoint(0, cmdStampa->height()));
        // A right click and the menu key come as a context-menu event on X
        // and on Windows, and Shift+F10 too on Windows.
        if (event->type() == QEvent::ContextMenu) {
            const auto *menu = static_cast<QContextMenuEvent *>(event);
            cmdStampa_ContextMenu(menu->reason() == QContextMenuEvent::Mouse ? menu->globalPos() : below);
            return true;
        }
        // On X, Shift+F10 comes as the key it is.
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier) {
                cmdStampa_ContextMenu(below);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmMain::load()
{
    Form_Load();
    show();
    activateWindow();
    cboCodice->setFocus();
    lookUpAfterFirstPaint_ = true;
    if (!startUpMessage_.isEmpty())
        services_.messageBox(std::exchange(startUpMessage_, {}), QString::fromUtf8(kCatalogueTitle), BoxIcon::Warning);
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
        services_.lookUpPrinter(this, [this] { cmdStampa->setToolTip(qs(calc::printToolTip(*this))); });
    });
}

void FrmMain::Form_Load()
{
    // One half of the free width on each side, one third of the free height above.
    move(placement(services_.screenSize(), frameGeometry().size()));

    setWindowTitle(QString::fromUtf8(kTitle));

    // The built-in pumps and the user's, from their file.
    catalogue::PumpFile::Loaded loaded = pumpFile_.load();
    catalogue_ = std::move(loaded.catalogue);
    startUpMessage_ = loaded.message;
    fillPumpList();
    setListIndex(0);    // the pump's geometry, and the first calculation
    setOptionValue(1);  // two lifts per revolution, and the second calculation

    cmdStampa->setToolTip(qs(calc::printToolTip(*this)));
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
    if (printing_) {
        closeAfterPrint_ = true;
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
        const QSignalBlocker block(cboCodice);
        cboCodice->setCurrentIndex(index);
        // Also when the row was current already, under a text typed over it.
        cboCodice->setEditText(cboCodice->itemText(index));
    }
    cboCodice_Click();
}

void FrmMain::setOptionValue(int index)
{
    optAlzataGiro[index]->setChecked(true);
    optAlzataGiro_Click(std::int16_t(index));
}

// ---- The calculation and the printing ---------------------------------------

void FrmMain::cmdCalcola_Click()
{
    ++calculationRuns_;
    calc::Calcola(*this);
}

namespace {
// While the page prints, the window repaints but takes no user input: a key
// typed into the speed field between two rows would change the loop that
// counts the speeds down, and a second click on "stampa" would start a print
// inside the print. Input that arrives meanwhile is dropped, not delivered
// once the print is over. Other windows (the message boxes) are not touched.
class UserInputBlocker : public QObject {
public:
    explicit UserInputBlocker(QWidget *window) : window_(window)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~UserInputBlocker() override
    {
        // Input the platform held back meanwhile reaches the filter now.
        QCoreApplication::processEvents();
        QCoreApplication::instance()->removeEventFilter(this);
    }
    UserInputBlocker(const UserInputBlocker &) = delete;
    UserInputBlocker &operator=(const UserInputBlocker &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::ShortcutOverride: {
            // Taken, so that no shortcut (Ctrl+P) fires either.
            auto *widget = qobject_cast<QWidget *>(watched);
            if (!widget || widget->window() != window_)
                return false;
            event->accept();
            return true;
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::InputMethod:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Drop: {
            auto *widget = qobject_cast<QWidget *>(watched);
            return widget && widget->window() == window_;
        }
        default: return false;
        }
    }

private:
    QWidget *window_;
};
}  // namespace

void FrmMain::cmdStampa_Click() { printOn(nullptr); }

void FrmMain::printOn(print::Printer *printer)
{
    if (printing_)
        return;
    {
        const QScopedValueRollback busy(printing_, true);
        const UserInputBlocker block(this);
        // The page header names the pump whose data it prints, whatever is
        // typed in the list.
        cboCodice_LostFocus();
        if (printer)
            print::StampaScala(*this, *printer);
        else
            print::StampaScala(*this);
    }  // the blocker delivers a close held back meanwhile, kept as above
    if (std::exchange(closeAfterPrint_, false))
        close();
}

void FrmMain::takeHeldClose()
{
    if (printing_)
        services_.deliverHeldEvents();
}

void FrmMain::cmdStampa_ContextMenu(const QPoint &globalPos)
{
    if (printing_ || mnuStampa->isVisible())
        return;
    mnuStampa->popup(globalPos);
}

void FrmMain::mnuStampaStampa_Click() { cmdStampa_Click(); }

void FrmMain::mnuStampaSu_Click()
{
    if (printing_)
        return;
    const std::optional<PlatformServices::PrinterChoice> choice = services_.choosePrinter();
    if (!choice)
        return;  // cancelled: nothing printed, nothing said
    if (choice->printer.isEmpty()) {
        // The dialog of a system with no printer still has its button.
        services_.messageBox(QStringLiteral("Non c'è alcuna stampante: la pagina non è stata stampata."),
                             QStringLiteral("Stampa scala"), BoxIcon::Warning);
        return;
    }
    const std::unique_ptr<print::Printer> printer
        = services_.printerOn(print::queue::targetFor({ss(choice->printer), {}}, choice->copies));
    printOn(printer.get());
}

void FrmMain::mnuStampaPdf_Click()
{
    if (printing_)
        return;
    // The folders are asked off the window's thread: they may be on a file
    // server that is slow or gone.
    const std::optional<QString> suggested = print::awaitOffThread<QString>(&print::PdfFolderTarget::suggestedFile);
    if (!suggested)
        return;  // the program ends meanwhile
    const std::optional<QString> file = services_.choosePdfFile(*suggested);
    if (!file || file->isEmpty())
        return;  // cancelled: nothing written, nothing said
    // The dialog has asked before choosing a file that exists.
    const std::optional<bool> replace = print::awaitOffThread<bool>([path = *file] { return QFileInfo::exists(path); });
    if (!replace)
        return;
    const std::unique_ptr<print::Printer> printer
        = services_.printerOn(std::make_shared<print::PdfFileTarget>(*file, *replace));
    printOn(printer.get());
}

void FrmMain::mnuStampaAnteprima_Click()
{
    print::PageCapture capture;
    printOn(&capture.printer());
    if (capture.page() && isVisible())
        PrintPreview::open(
            *capture.page(), *this, services_.screenSize(),
            {[this] { mnuStampaStampa_Click(); }, [this] { mnuStampaSu_Click(); }, [this] { mnuStampaPdf_Click(); }});
}

void FrmMain::mnuStampaCopia_Click()
{
    print::PageCapture capture;
    printOn(&capture.printer());
    if (capture.page())
        copyTables(services_, capture.lines(), *cmdStampa);
}

// ---- Pump catalogue ------------------------------------------------------------

void FrmMain::cboCodice_Click()
{
    const std::string code = ss(cboCodice->currentText());
    if (const catalogue::Pump *pump = catalogue_.find(code)) {
        lblValori[3]->setText(qs(NumberText(pump->minAlbero)));
        lblValori[4]->setText(qs(NumberText(pump->maxAlbero)));
        lblValori[6]->setText(qs(pump->fineAlzataText()));
    }
    try {
        // The lift from the labels as shown, in single precision.
        const float a = ParseSingle(ss(lblValori[3]->text()));
        const float b = ParseSingle(ss(lblValori[4]->text()));
        lblValori[5]->setText(qs(calc::liftText(a, b)));
    } catch (const RunTimeError &e) {
        showError(services_, e);
    }
    cmdCalcola_Click();
}

std::optional<std::size_t> FrmMain::shownPump() const
{
    const auto pumps = catalogue_.pumps();
    const auto shows = [&](const catalogue::Pump &pump) {
        return ss(lblValori[3]->text()) == NumberText(pump.minAlbero)
            && ss(lblValori[4]->text()) == NumberText(pump.maxAlbero)
            && ss(lblValori[6]->text()) == pump.fineAlzataText();
    };
    // Two pumps may share their data: the current row is the one shown.
    const int current = cboCodice->currentIndex();
    if (current >= 0 && std::size_t(current) < pumps.size() && shows(pumps[std::size_t(current)]))
        return std::size_t(current);
    for (std::size_t row = 0; row < pumps.size(); ++row)
        if (shows(pumps[row]))
            return row;
    return std::nullopt;
}

void FrmMain::cboCodice_LostFocus()
{
    if (catalogue_.find(ss(cboCodice->currentText())))
        return;
    // The row whose geometry the labels show.
    if (const std::optional<std::size_t> row = shownPump()) {
        const QSignalBlocker block(cboCodice);
        cboCodice->setCurrentIndex(int(*row));
        cboCodice->setEditText(qs(catalogue_.pumps()[*row].code));
    }
}

void FrmMain::cboCodice_ReturnPressed()
{
    const QString typed = cboCodice->currentText();
    const std::string code = catalogue::normalisedCode(ss(typed));
    // A code of the catalogue in small letters, or with blanks around it: that
    // pump, as if chosen from the list.
    if (const std::optional<std::size_t> row = catalogue_.indexOf(code); row && ss(typed) != code) {
        setListIndex(int(*row));
        return;
    }
    if (!catalogue_.find(ss(typed)) && !code.empty() && !catalogue_.find(code)
        && services_.questionBox(QStringLiteral("Il codice %1 non è in catalogo. Aggiungerlo?").arg(qs(code)),
                                 QString::fromUtf8(kCatalogueTitle))) {
        addPump(code);
        return;
    }
    cboCodice_LostFocus();
}

void FrmMain::cboCodice_ContextMenu(const QPoint &globalPos)
{
    QMenu *menu = cboCodice->lineEdit()->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    QAction *add = menu->addAction(QStringLiteral("Aggiungi pompa…"), this, [this] { addPump({}); });
    add->setObjectName(QStringLiteral("mnuAggiungiPompa"));
    if (const std::optional<std::size_t> row = shownPump()) {
        const std::string code = catalogue_.pumps()[*row].code;
        if (catalogue_.isUserPump(code)) {
            menu->addAction(QStringLiteral("Modifica pompa…"), this, [this, code] { editPump(code); })
                ->setObjectName(QStringLiteral("mnuModificaPompa"));
            menu->addAction(QStringLiteral("Elimina pompa"), this, [this, code] { deletePump(code); })
                ->setObjectName(QStringLiteral("mnuEliminaPompa"));
        }
    }
    menu->popup(globalPos);
}

void FrmMain::fillPumpList()
{
    const QSignalBlocker block(cboCodice);
    cboCodice->clear();
    for (const catalogue::Pump &pump : catalogue_.pumps())
        cboCodice->addItem(qs(pump.code));
}

void FrmMain::showCatalogue(const std::string &code)
{
    fillPumpList();
    setListIndex(int(catalogue_.indexOf(code).value_or(0)));
}

void FrmMain::addPump(const std::string &code)
{
    openPumpDialog(QStringLiteral("Aggiungi pompa"), {code, {}, {}, {}}, std::nullopt);
}

void FrmMain::editPump(const std::string &code)
{
    const catalogue::Pump *pump = catalogue_.find(code);
    if (!pump)
        return;
    openPumpDialog(QStringLiteral("Modifica pompa"),
                   {pump->code, NumberText(pump->minAlbero), NumberText(pump->maxAlbero),
                    NumberText(std::int32_t(pump->fineAlzata))},
                   code);
}

void FrmMain::openPumpDialog(const QString &title, const catalogue::PumpText &start,
                             std::optional<std::string> replacing)
{
    auto *dialog = new DlgPompa(services_, title, start, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->keep = [this, replacing](const catalogue::Pump &pump) -> std::optional<DlgPompa::Refusal> {
        const catalogue::PumpFile::Changed changed = changePumpFile([replacing, pump](catalogue::Catalogue &c) {
            return replacing ? c.replace(*replacing, pump) : c.add(pump);
        });
        if (changed.problem)
            return DlgPompa::Refusal{changed.problem->field, qs(changed.problem->reason)};
        if (!changed.catalogue)
            return DlgPompa::Refusal{std::nullopt, changed.message};
        catalogue_ = *changed.catalogue;
        showCatalogue(pump.code);
        return std::nullopt;
    };
    dialog->open();
}

catalogue::PumpFile::Changed FrmMain::changePumpFile(catalogue::PumpFile::Edit edit)
{
    // The change may wait for the disk and for another copy of the program:
    // on a thread of its own, while the window repaints and takes no input.
    // The edit holds copies, not references: when the program ends meanwhile,
    // that thread ends the change by itself.
    try {
        return pumpFileThread_.await<catalogue::PumpFile::Changed>(
            [file = pumpFile_, edit = std::move(edit)] { return file.change(edit); });
    } catch (const print::PrintCancelled &) {
        return {std::nullopt, std::nullopt, QStringLiteral("Il programma si chiude.")};
    }
}

void FrmMain::deletePump(const std::string &code)
{
    QString question = QStringLiteral("Eliminare la pompa %1 dal catalogo?").arg(qs(code));
    // Lines that repeat the code go with it.
    if (const std::size_t lines = catalogue_.linesWith(code); lines > 1)
        question += QStringLiteral("\nIl codice è su %1 righe del file: saranno eliminate tutte.")
                        .arg(qs(NumberText(std::int32_t(lines))));
    if (!services_.questionBox(question, QStringLiteral("Elimina pompa")))
        return;
    const catalogue::PumpFile::Changed changed = changePumpFile([code](catalogue::Catalogue &c) {
        c.remove(code);
        return std::optional<catalogue::Problem>();
    });
    if (!changed.catalogue) {
        services_.messageBox(changed.message, QString::fromUtf8(kCatalogueTitle), BoxIcon::Warning);
        return;
    }
    const std::optional<std::size_t> row = shownPump();
    const std::string shown = row ? catalogue_.pumps()[*row].code : std::string();
    catalogue_ = *changed.catalogue;
    // The pump shown is gone: the list goes back to its first code.
    showCatalogue(shown);
}

// ---- Lifts-per-revolution selector --------------------------------------------

void FrmMain::optAlzataGiro_Click(std::int16_t index)
{
    static const char *const captions[3]
        = {"Salita e discesa [360°]", "Salita e discesa [180°]", "Salita e discesa [120°]"};
    static const char *const tips[3]
        = {"Millisecondi per 1 giro (360°)", "Millisecondi per 1/2 giro (180°)", "Millisecondi per 1/3 giro (120°)"};
    for (QRadioButton *option : optAlzataGiro)
        design::setForeground(option, Qt::black);
    design::setForeground(optAlzataGiro[index], QColor(0, 128, 0));
    lblEtichetta[4]->setText(QString::fromUtf8(captions[index]));
    lblEtichetta[4]->setToolTip(QString::fromUtf8(tips[index]));
    lblValori[7]->setToolTip(QString::fromUtf8(tips[index]));
    cmdCalcola_Click();
}

// ---- Entry fields ------------------------------------------------------------------

void FrmMain::txtGiriMinuto_KeyPress(int &keyAscii) { keyrules::wholeNumber(keyAscii); }

void FrmMain::txtGiriMinuto_Change() { cmdCalcola_Click(); }

void FrmMain::txtGiriMinuto_GotFocus() { txtGiriMinuto->setSelection(0, int(txtGiriMinuto->text().size())); }

void FrmMain::txtGiriMinuto_LostFocus() {}

namespace {
// Digits, "," and Backspace pass; "." is entered as ","; Enter runs the
// calculation; anything else is discarded.
template <class Calculate>
void conversionKeyPress(int &keyAscii, Calculate &&calculate)
{
    keyrules::decimalNumber(keyAscii);
    if (keyAscii == 13)
        calculate();
}
}  // namespace

void FrmMain::txtAngolo_KeyPress(int &keyAscii)
{
    conversionKeyPress(keyAscii, [this] { cmdCalcola_Click(); });
}
void FrmMain::txtMillisecondi_KeyPress(int &keyAscii)
{
    conversionKeyPress(keyAscii, [this] { cmdCalcola_Click(); });
}
void FrmMain::txtMillimetri_KeyPress(int &keyAscii)
{
    conversionKeyPress(keyAscii, [this] { cmdCalcola_Click(); });
}

// ---- Step buttons ---------------------------------------------------------------------

template <class Body>
void FrmMain::stepButton(Body &&body)
{
    try {
        body();
    } catch (const RunTimeError &e) {
        showError(services_, e);
    }
}

namespace {
// The angle steps by 0.1 in double precision.
bool stepAngle(TextBox *box, double step)
{
    const std::string t = RemoveAll(ss(box->text()), "°");
    const double value = ParseDouble(t);
    if (step < 0 && !(value > 0))
        return false;
    box->setText(qs(PatternText(checkedAdd(value, step), kAnglePattern)));
    return true;
}

// Command time and stroke step by 0.05 from a Single; the result passes
// through its plain text (7 significant digits) before the pattern.
bool stepSingle(TextBox *box, double step)
{
    const float s = ParseSingle(ss(box->text()));
    const float v = toSingle(checkedAdd(double(s), step));
    if (step < 0 && !(v > 0))
        return false;
    box->setText(qs(PatternText(ParseDouble(NumberText(v)), "##,##0.#0")));
    return true;
}
}  // namespace

void FrmMain::cmdAngUp_Click()
{
    stepButton([this] {
        if (stepAngle(txtAngolo, 0.1))
            cmdCalcola_Click();
    });
}

void FrmMain::cmdAngDown_Click()
{
    stepButton([this] {
        if (stepAngle(txtAngolo, -0.1))
            cmdCalcola_Click();
    });
}

void FrmMain::cmdMSUp_Click()
{
    stepButton([this] {
        if (stepSingle(txtMillisecondi, 0.05))
            cmdCalcola_Click();
    });
}

void FrmMain::cmdMSDown_Click()
{
    stepButton([this] {
        if (stepSingle(txtMillisecondi, -0.05))
            cmdCalcola_Click();
    });
}

void FrmMain::cmdMMUp_Click()
{
    stepButton([this] {
        if (stepSingle(txtMillimetri, 0.05))
            cmdCalcola_Click();
    });
}

void FrmMain::cmdMMDown_Click()
{
    stepButton([this] {
        if (stepSingle(txtMillimetri, -0.05))
            cmdCalcola_Click();
    });
}

// ---- FormView -----------------------------------------------------------

std::string FrmMain::printerDeviceName() { return services_.printer().deviceName(); }
std::string FrmMain::printerSecondText() { return services_.printer().secondText(); }
void FrmMain::setPrintToolTip(const std::string &text) { cmdStampa->setToolTip(qs(text)); }

TextBox *FrmMain::field(calc::Field f) const
{
    switch (f) {
    case calc::Field::GiriMinuto: return txtGiriMinuto;
    case calc::Field::Angolo: return txtAngolo;
    case calc::Field::Millisecondi: return txtMillisecondi;
    case calc::Field::Millimetri: break;
    }
    return txtMillimetri;
}

std::string FrmMain::fieldText(calc::Field f) { return ss(field(f)->text()); }
void FrmMain::setFieldText(calc::Field f, const std::string &text) { field(f)->setText(qs(text)); }
void FrmMain::setSpeedSelection(int start, int length) { txtGiriMinuto->setSelection(start, length); }
std::string FrmMain::valueCaption(int index) { return ss(lblValori.at(index)->text()); }
void FrmMain::setValueCaption(int index, const std::string &text) { lblValori.at(index)->setText(qs(text)); }
void FrmMain::setValueToolTip(int index, const std::string &text) { lblValori.at(index)->setToolTip(qs(text)); }
bool FrmMain::optionSelected(int index) { return optAlzataGiro.at(index)->isChecked(); }

void FrmMain::setShapeWidth(int shape, float twips)
{
    QFrame *s = Shape.at(shape);
    s->setProperty("widthTwips", twips);
    s->resize(std::max(0, qRound(twips / float(design::kTwipsPerPixel))), s->height());
}

void FrmMain::setShapeFill(int shape, calc::Fill fill)
{
    QFrame *s = Shape.at(shape);
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

void FrmMain::setCommandCaption(int index, const std::string &text) { lblComando.at(index)->setText(qs(text)); }

void FrmMain::showCriticalBox(const std::string &text, const std::string &title)
{
    takeHeldClose();
    services_.messageBox(qs(text), qs(title), BoxIcon::Critical);
}

void FrmMain::showInformationBox(const std::string &text, const std::string &title)
{
    takeHeldClose();
    services_.messageBox(qs(text), qs(title), BoxIcon::Information);
}

void FrmMain::showWarningBox(const std::string &text, const std::string &title)
{
    takeHeldClose();
    services_.messageBox(qs(text), qs(title), BoxIcon::Warning);
}

std::string FrmMain::pumpCode() { return ss(cboCodice->currentText()); }
void FrmMain::processPendingEvents() { services_.processEvents(); }
print::Printer &FrmMain::printer() { return services_.printer(); }
std::string FrmMain::todayShortDate() { return ss(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))); }

}  // namespace rotamet
