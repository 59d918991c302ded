// Platform services for tests: message boxes and questions are recorded
// instead of shown, questions get a set answer, the print and save dialogs
// (and the pump files' dialogs) are recorded and get a set answer (cancelled unless a test says), the
// printer is a RecordingPrinter, the clipboard is a list of what was put
// there, the screen has a set size, and the pumps' file is wherever a test
// puts it (none unless it says).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "numtext/runtimeerror.h"
#include "support/recordingprinter.h"
#include "window/services.h"

namespace rotamet {

class RecordingServices : public PlatformServices {
public:
    struct Box {
        QString text;
        QString title;
        BoxIcon icon;
    };

    std::vector<Box> boxes;
    std::vector<Box> questions;  // with BoxIcon::Information
    bool answer = false;         // to every question: true Sì, false No
    QString pumpFile;
    print::RecordingPrinter recordingPrinter;
    print::Printer *printerInUse = &recordingPrinter;  // a test may put another printer here
    QSize screen{1024, 768};
    int processEventsCalls = 0;
    int quitCalls = 0;
    // Runs while a box or a question is "open", e.g. to check that nothing
    // else happens then.
    std::function<void(const Box &)> onBox;
    // Runs at each processEvents(), e.g. to act as a user in the middle of printing.
    std::function<void()> onProcessEvents;

    // The print dialogs opened, and the answer each one gives: a printer
    // and copies, or none (cancelled).
    int printDialogs = 0;
    std::optional<PrinterChoice> printerChoice;
    // Raised by the print dialog instead of opening (print support missing).
    std::optional<RunTimeError> printDialogError;
    // The file each save dialog opened on, and the answer each one gives: a
    // file, or none (cancelled).
    std::vector<QString> saveDialogs;
    std::optional<QString> pdfFile;
    // The same for the pump files: the name each export dialog opened on
    // and its answer, how many import dialogs opened and their answer.
    std::vector<QString> exportDialogs;
    std::optional<QString> exportFile;
    int importDialogs = 0;
    std::optional<QString> importFile;
    // The targets the window asked a printer for, in order. Each print goes
    // to a PageComposer on that target, or on what retarget gives for it (a
    // test's stand-in for a print queue).
    std::vector<std::shared_ptr<print::PrintTarget>> targets;
    std::function<std::shared_ptr<print::PrintTarget>(std::shared_ptr<print::PrintTarget>)> retarget;
    // What was put on the clipboard, in order.
    struct Copied {
        QString text;
        QString html;
    };
    std::vector<Copied> clipboard;

    void messageBox(const QString &text, const QString &title, BoxIcon icon) override;
    bool questionBox(const QString &text, const QString &title) override;
    QString pumpFilePath() override { return pumpFile; }
    print::Printer &printer() override { return *printerInUse; }
    std::optional<PrinterChoice> choosePrinter() override;
    std::optional<QString> choosePdfFile(const QString &suggested) override;
    std::optional<QString> chooseExportFile(const QString &suggested) override;
    std::optional<QString> chooseImportFile() override;
    std::unique_ptr<print::Printer> printerOn(std::shared_ptr<print::PrintTarget> target) override;
    void copyToClipboard(const QString &text, const QString &html) override { clipboard.push_back({text, html}); }
    // The folders shown in the file manager, in order.
    std::vector<QString> openedFolders;
    void openFolder(const QString &folder) override { openedFolders.push_back(folder); }
    QSize screenSize() override { return screen; }
    void processEvents() override;
    void quit() override { ++quitCalls; }
};

}  // namespace rotamet
