// How the window prints: the click on "stampa" and the menu of "stampa"
// (a right click, the menu key or Shift+F10) with "Stampa" (also Ctrl+P
// anywhere in the window), "Stampa su…", "Salva come PDF…", "Anteprima di
// stampa…" and "Copia tabelle", their dialogs, and the print under way: while the page prints, the window
// repaints but takes no user input, a second print is not started, and a
// close of the window waits for the print's end.
#pragma once

#include <QObject>
#include <chrono>

#include "work/offthread.h"

class QAction;
class QMenu;
class QPoint;
class QPushButton;
class QWidget;

namespace rotamet {

class FormView;
class PlatformServices;

namespace print {
class Printer;
}

class PrintChoices : public QObject {
    Q_OBJECT
public:
    // cmdStampa: the window's "stampa"; form: what the printed table reads
    // and writes of the window.
    PrintChoices(QPushButton &cmdStampa, FormView &form, PlatformServices &services, QWidget &window);
    ~PrintChoices() override;

    // The page on printer (nullptr: the system's printer); nothing while a
    // print is under way.
    void print(print::Printer *printer = nullptr);

    bool printing() const { return printing_; }

    // How long "Salva come PDF…" waits for a folder to say what it holds
    // (the documents folder's next name, whether the file chosen exists).
    static constexpr std::chrono::milliseconds kFolderDeadline{10000};
    // A close of the window during a print: kept, and carried out once the
    // print has ended with its message. False when no print is under way.
    bool keepClose();
    // Before a box that a print shows: a close of the window that the window
    // system held back meanwhile reaches the window now, while the box would
    // refuse it, and is kept as above.
    void takeHeldClose();

signals:
    // A print starts: the window shows the inputs the page is to print.
    void aboutToPrint();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The menu of "stampa", built when it first opens: the window's first
    // paint does without it.
    QMenu &menu();
    void showMenu(const QPoint &globalPos);
    // "Stampa su…": the print dialog, then the page on the printer chosen,
    // in the number of copies chosen.
    void printOnChosenPrinter();
    // "Salva come PDF…": a save dialog on the documents folder with the name
    // the next PDF of a print without a printer would get there, then the
    // page as a PDF file under the name chosen.
    void saveAsPdf();
    // Whether a folder check of saveAsPdf() answered; if not, the user is
    // told why (folder: "La cartella …", the subject of the message).
    template <class Result>
    bool folderAnswered(const work::Answer<Result> &answer, const QString &folder);
    // "Anteprima di stampa…": the page composed as a print composes it, then
    // shown in the print preview (window/printpreview.h), whose buttons run
    // the entries above.
    void preview();
    // "Copia tabelle": the page composed as a print composes it, then its
    // tables on the clipboard (window/tablescopy.h).
    void copyTables();

    QPushButton &cmdStampa_;
    FormView &form_;
    PlatformServices &services_;
    QWidget &window_;
    QMenu *mnuStampa_ = nullptr;
    QAction *mnuStampaStampa_ = nullptr;
    QAction *mnuStampaSu_ = nullptr;
    QAction *mnuStampaPdf_ = nullptr;
    QAction *mnuStampaAnteprima_ = nullptr;
    QAction *mnuStampaCopia_ = nullptr;
    bool printing_ = false;
    bool closeAfterPrint_ = false;
};

}  // namespace rotamet
