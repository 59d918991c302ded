// The platform services of the running program, on Qt.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "window/services.h"

namespace rotamet {

namespace print {
class PageComposer;
}

class QtServices : public PlatformServices {
public:
    QtServices();
    ~QtServices() override;
    // The program's window: message boxes open over it, whichever window or
    // program is active (none may be, when the user has switched away).
    void setMainWindow(QWidget *window);
    void messageBox(const QString &text, const QString &title, BoxIcon icon) override;
    bool questionBox(const QString &text, const QString &title) override;
    QString pumpFilePath() override;
    print::Printer &printer() override;
    // QPrintDialog, native on Windows: only the printer and the number of
    // copies are taken from it.
    std::optional<PrinterChoice> choosePrinter() override;
    // QFileDialog, native where the system has one (Windows; a desktop whose
    // Qt theme offers one), else Qt's own, in Italian.
    std::optional<QString> choosePdfFile(const QString &suggested) override;
    // QFileDialog as for the PDF, for CSV files.
    std::optional<QString> chooseExportFile(const QString &suggested) override;
    std::optional<QString> chooseImportFile() override;
    std::unique_ptr<print::Printer> printerOn(std::shared_ptr<print::PrintTarget> target) override;
    void lookUpPrinter(QObject *context, std::function<void()> answered) override;
    void copyToClipboard(const QString &text, const QString &html) override;
    // QDesktopServices::openUrl on the folder, or on the nearest folder above
    // it that exists (a user who never added a pump has none yet); the folder
    // is looked for off the window's thread.
    void openFolder(const QString &folder) override;
    QSize screenSize() override;
    void processEvents() override;
    void deliverHeldEvents() override;
    void quit() override;

private:
    print::PageComposer &systemPrinter();
    // The main window, else the active one.
    QWidget *dialogParent() const;

    QPointer<QWidget> mainWindow_;
    std::unique_ptr<print::PageComposer> printer_;
    QElapsedTimer sinceEvents_;  // since processEvents() last processed them
};

}  // namespace rotamet
