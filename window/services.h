// Everything the window asks of the outside world: message boxes, the
// print and save dialogs, the pump files' dialogs, the printers, the clipboard, the screen, where the user's pumps
// are kept, the file manager, event processing and ending the program. The window never calls
// QMessageBox, QPrintDialog, QFileDialog, QPrinter or QApplication for these
// directly, so a test can record a box or answer a dialog instead of
// blocking on it, and can inject printer failures.
#pragma once

#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QObject;

namespace rotamet::print {
class Printer;
class PrintTarget;
}  // namespace rotamet::print

namespace rotamet {

enum class BoxIcon { Information, Warning, Critical };

class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // A modal box with one OK button; returns when the user closes it.
    virtual void messageBox(const QString &text, const QString &title, BoxIcon icon) = 0;
    // A modal question with the buttons "Sì" and "No", No the default; true
    // when the user answers Sì. Closing the box (Esc) answers No.
    virtual bool questionBox(const QString &text, const QString &title) = 0;
    // The system's current printer (always the same object for one services).
    virtual print::Printer &printer() = 0;

    // What the user chose in the print dialog.
    struct PrinterChoice {
        QString printer;  // its name
        int copies = 1;
    };
    // "Stampa su…": the system's print dialog, modal over the main window,
    // opened on the default printer. The printer and the number of copies
    // chosen; nothing when the user cancels. Raises 482 when the print
    // support cannot be loaded.
    virtual std::optional<PrinterChoice> choosePrinter() = 0;
    // "Salva come PDF…": a save dialog for a PDF file, modal over the main
    // window, opened on suggested (a folder and a file name); it asks before
    // a file that exists is replaced. The file chosen; nothing when the user
    // cancels.
    virtual std::optional<QString> choosePdfFile(const QString &suggested) = 0;
    // "Esporta pompe…": a save dialog for a pump file (CSV), modal over the
    // main window, opened on the file name suggested in the user's documents
    // folder; it asks before a file that exists is replaced. The file
    // chosen; nothing when the user cancels.
    virtual std::optional<QString> chooseExportFile(const QString &suggested) = 0;
    // "Importa pompe…": an open dialog for a pump file (CSV) that exists,
    // modal over the main window. The file chosen; nothing when the user
    // cancels.
    virtual std::optional<QString> chooseImportFile() = 0;
    // A printer for one print to a target the user chose (a printer of the
    // print dialog, a PDF file), beside the system's current printer.
    virtual std::unique_ptr<print::Printer> printerOn(std::shared_ptr<print::PrintTarget> target) = 0;

    // Looks the system's current printer up again without waiting for the
    // print server, which may be slow or never answer. answered runs later on
    // the window's thread, once printer() names what was found, unless
    // context is gone by then. A printer that needs no lookup answers at once.
    virtual void lookUpPrinter(QObject *context, std::function<void()> answered)
    {
        (void)context;
        answered();
    }
    // Puts a text on the clipboard twice: as plain text and as HTML.
    virtual void copyToClipboard(const QString &text, const QString &html) = 0;
    // The file that keeps the user's pumps (catalogue/pumpfile.h); empty
    // when there is none, and then only the built-in pumps are known.
    virtual QString pumpFilePath() = 0;
    // Shows a folder in the system's file manager ("Informazioni su
    // Rotamet": the pump file's folder). Returns at once: a folder that is
    // slow or gone never holds the window up.
    virtual void openFolder(const QString &folder) = 0;
    // The whole screen, in pixels.
    virtual QSize screenSize() = 0;
    // Processes pending events: repaints, but takes no user input.
    virtual void processEvents() = 0;
    // Delivers what the window system held back while the window waited
    // without taking user input: keys and clicks (which the window drops
    // during a print) and a request to close the window.
    virtual void deliverHeldEvents() {}
    // Ends the program at once.
    virtual void quit() = 0;
};

}  // namespace rotamet
