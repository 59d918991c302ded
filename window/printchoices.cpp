#include "window/printchoices.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <memory>
#include <utility>

#include "calc/formview.h"
#include "numtext/numtext.h"
#include "numtext/qtext.h"
#include "numtext/runtimeerror.h"
#include "print/pagecapture.h"
#include "print/printer.h"
#include "print/stampascala.h"
#include "print/targets/pdffiletarget.h"
#include "print/targets/pdffoldertarget.h"
#include "print/targets/printqueue.h"
#include "window/printpreview.h"
#include "window/services.h"
#include "window/tablescopy.h"
#include "work/offthread.h"

namespace rotamet {

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

PrintChoices::PrintChoices(QPushButton &cmdStampa, FormView &form, PlatformServices &services, QWidget &window)
    : cmdStampa_(cmdStampa), form_(form), services_(services), window_(window)
{
    // The menu's first entry is also the window's Ctrl+P, which the menu
    // shows: it is there from the start. The menu itself is built when it
    // first opens (menu()).
    mnuStampaStampa_ = new QAction(QStringLiteral("&Stampa"), &window);
    mnuStampaStampa_->setObjectName(QStringLiteral("mnuStampaStampa"));
    mnuStampaStampa_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuStampaStampa_->setShortcutContext(Qt::WindowShortcut);
    mnuStampaStampa_->setShortcutVisibleInContextMenu(true);
    window.addAction(mnuStampaStampa_);
    connect(mnuStampaStampa_, &QAction::triggered, this, [this] { print(); });
    // The right click, the menu key and Shift+F10 on "stampa".
    cmdStampa_.installEventFilter(this);
}

QMenu &PrintChoices::menu()
{
    if (mnuStampa_)
        return *mnuStampa_;
    const auto action = [this](const char *name, const QString &text) {
        auto *a = new QAction(text, &window_);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    mnuStampaSu_ = action("mnuStampaSu", QStringLiteral("Stampa s&u…"));
    mnuStampaPdf_ = action("mnuStampaPdf", QStringLiteral("Salva come &PDF…"));
    mnuStampaAnteprima_ = action("mnuStampaAnteprima", QStringLiteral("&Anteprima di stampa…"));
    mnuStampaCopia_ = action("mnuStampaCopia", QStringLiteral("&Copia tabelle"));

    mnuStampa_ = new QMenu(&window_);
    mnuStampa_->setObjectName(QStringLiteral("mnuStampa"));
    mnuStampa_->setAccessibleName(QStringLiteral("Scelte di stampa"));
    mnuStampa_->addActions({mnuStampaStampa_, mnuStampaSu_, mnuStampaPdf_, mnuStampaAnteprima_, mnuStampaCopia_});

    connect(mnuStampaSu_, &QAction::triggered, this, &PrintChoices::printOnChosenPrinter);
    connect(mnuStampaPdf_, &QAction::triggered, this, &PrintChoices::saveAsPdf);
    connect(mnuStampaAnteprima_, &QAction::triggered, this, &PrintChoices::preview);
    connect(mnuStampaCopia_, &QAction::triggered, this, &PrintChoices::copyTables);
    return *mnuStampa_;
}

PrintChoices::~PrintChoices() { cmdStampa_.removeEventFilter(this); }

bool PrintChoices::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &cmdStampa_)
        return false;
    // A menu opened from the keyboard hangs below the button; one opened by
    // the mouse, at the pointer.
    const QPoint below = cmdStampa_.mapToGlobal(QPoint(0, cmdStampa_.height()));
    // A right click and the menu key come as a context-menu event on X and
    // on Windows, and Shift+F10 too on Windows.
    if (event->type() == QEvent::ContextMenu) {
        const auto *menu = static_cast<QContextMenuEvent *>(event);
        showMenu(menu->reason() == QContextMenuEvent::Mouse ? menu->globalPos() : below);
        return true;
    }
    // On X, Shift+F10 comes as the key it is.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier) {
            showMenu(below);
            return true;
        }
    }
    return false;
}

void PrintChoices::showMenu(const QPoint &globalPos)
{
    if (printing_ || (mnuStampa_ && mnuStampa_->isVisible()))
        return;
    menu().popup(globalPos);
}

void PrintChoices::print(print::Printer *printer)
{
    if (printing_)
        return;
    {
        const QScopedValueRollback busy(printing_, true);
        const UserInputBlocker block(&window_);
        emit aboutToPrint();
        if (printer)
            print::StampaScala(form_, *printer);
        else
            print::StampaScala(form_);
    }  // the blocker delivers a close held back meanwhile, kept as below
    if (std::exchange(closeAfterPrint_, false))
        window_.close();
}

bool PrintChoices::keepClose()
{
    if (!printing_)
        return false;
    closeAfterPrint_ = true;
    return true;
}

void PrintChoices::takeHeldClose()
{
    if (printing_)
        services_.deliverHeldEvents();
}

void PrintChoices::printOnChosenPrinter()
{
    if (printing_)
        return;
    std::optional<PlatformServices::PrinterChoice> choice;
    try {
        choice = services_.choosePrinter();
    } catch (const RunTimeError &e) {
        services_.messageBox(qs(print::printErrorText(e)), QStringLiteral("Errore di stampa"), BoxIcon::Critical);
        return;
    }
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
    print(printer.get());
}

void PrintChoices::saveAsPdf()
{
    if (printing_)
        return;
    // The folders are asked off the window's thread: they may be on a file
    // server that is slow or gone.
    const work::Answer<QString> suggested
        = work::awaitOffThread<QString>(&print::PdfFolderTarget::suggestedFile, kFolderDeadline);
    if (!folderAnswered(suggested, QStringLiteral("La cartella dei documenti")))
        return;
    const std::optional<QString> file = services_.choosePdfFile(*suggested.value);
    if (!file || file->isEmpty())
        return;  // cancelled: nothing written, nothing said
    // The dialog has asked before choosing a file that exists.
    const work::Answer<bool> replace
        = work::awaitOffThread<bool>([path = *file] { return QFileInfo::exists(path); }, kFolderDeadline);
    if (!folderAnswered(replace, QStringLiteral("La cartella '%1'")
                                     .arg(QDir::toNativeSeparators(QFileInfo(*file).absolutePath()))))
        return;
    const std::unique_ptr<print::Printer> printer
        = services_.printerOn(std::make_shared<print::PdfFileTarget>(*file, *replace.value));
    print(printer.get());
}

template <class Result>
bool PrintChoices::folderAnswered(const work::Answer<Result> &answer, const QString &folder)
{
    switch (answer.waited) {
    case work::Waited::Done: break;
    case work::Waited::ProgramEnds: return false;
    case work::Waited::TimedOut:
        services_.messageBox(
            QStringLiteral("%1 non risponde entro %2 secondi: la pagina non è stata salvata.")
                .arg(folder, qs(NumberText(std::int32_t(
                                 std::chrono::duration_cast<std::chrono::seconds>(kFolderDeadline).count())))),
            QStringLiteral("Stampa scala"), BoxIcon::Warning);
        return false;
    }
    if (answer.error) {
        services_.messageBox(qs(print::printErrorText(*answer.error)), QStringLiteral("Errore di stampa"),
                             BoxIcon::Critical);
        return false;
    }
    return true;
}

void PrintChoices::preview()
{
    print::PageCapture capture;
    print(&capture.printer());
    if (capture.page() && window_.isVisible())
        PrintPreview::open(*capture.page(), window_, services_.screenSize(),
                           {[this] { print(); }, [this] { printOnChosenPrinter(); }, [this] { saveAsPdf(); }});
}

void PrintChoices::copyTables()
{
    print::PageCapture capture;
    print(&capture.printer());
    if (capture.page())
        rotamet::copyTables(services_, capture.page()->cells(), cmdStampa_);
}

}  // namespace rotamet
