// The real printer: composes the page that the printed table draws
// (print/page.h) on the window's thread, then hands the finished page to a
// print target as a print job (print/printjob.h): the system's default
// printer (print/defaultprinter.h), or a target the caller chose.
//
// Positions are twips from the top-left corner of the printable area; a text
// is drawn with its top-left corner at the print position. Font sizes are in
// points, and line heights and text widths come from the font's metrics at
// the page's resolution, so what TextWidth says is what gets drawn; no
// printer is asked for them.
//
// Nothing reaches a target before EndDoc: a page that a run left open (it
// failed before EndDoc) is dropped when the next run sets the orientation
// (every run starts with it), at KillDoc, or when the composer goes.
//
// Waiting: the window's thread waits for the default printer's answer (at
// most DefaultPrinter::kLookupTimeout, else 482 "Il server di stampa non
// risponde") and for the page to be handed over (at most kHandOverDeadline,
// else the target's own error naming the printer or the folder that did not
// answer; PageMayStillCome when the page may still come out), both in the
// local event loop of work/offthread.h. When the program ends meanwhile the
// page is given up silently: EndDoc answers false, as for a dialog the user
// cancelled.
//
// Names: deviceName() and secondText() tell what is known already (the
// lookup's answer, the page handed over), empty until then, and never ask
// the print server or the disk.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include <QString>

#include "print/printer.h"

namespace rotamet::print {

class DefaultPrinter;
class PrintTarget;

class PageComposer : public Printer {
public:
    // The system's default printer. Not looked up here: defaultPrinter()
    // asks without waiting, and each page asks again and waits for the
    // answer.
    PageComposer();
    // Every page to this target, whatever the system has.
    explicit PageComposer(std::shared_ptr<PrintTarget> target);
    // PDF files in this folder (a PdfFolderTarget); the folder is created
    // when the first page is written. Its next file is worked out at once,
    // on the caller's thread: for a folder known to be local (tests,
    // benchmarks), never for the program's own printer.
    explicit PageComposer(const QString &pdfFolder);
    ~PageComposer() override;
    PageComposer(const PageComposer &) = delete;
    PageComposer &operator=(const PageComposer &) = delete;

    void setOrientation(std::int16_t orientation) override;
    void setFontName(const std::string &name) override;
    void setFontSize(float points) override;
    void setFontBold(bool bold) override;
    void setForeColor(Rgb colour) override;
    void setCurrentX(float twips) override;
    void setCurrentY(float twips) override;
    float currentX() override;
    float currentY() override;
    void setDrawWidth(std::int16_t pixels) override;
    void print(const std::string &text, bool endLine) override;
    float textWidth(const std::string &text) override;
    // Kept on the page being composed, with its texts.
    void tableCell(const TableCell &cell) override;
    void line(float x1, float y1, float x2, float y2, Rgb colour) override;
    bool endDoc() override;
    void killDoc() override;
    // A queue that took the page while paused: "la coda è sospesa, ...".
    std::string waitingReason() override;

    // The target's name: a queue's name; a PDF file's full path (the page
    // being composed, else the last one written, else the one the next page
    // will get).
    std::string deviceName() override;
    // A queue: its device URI or port (where it sends the page). PDF: "(file
    // PDF)".
    std::string secondText() override;

    // The default printer this composer follows (its names follow each of
    // its answers, unless a page is being composed); null for a composer
    // made for one target.
    DefaultPrinter *defaultPrinter();

    // How long a target may take to take a page: a print server that takes
    // the connection and holds the page, a spooler or a driver that hangs, a
    // folder on a file server that is slow or gone.
    static constexpr std::chrono::milliseconds kHandOverDeadline{30000};
    // For tests: another deadline for this composer's pages.
    void setHandOverDeadline(std::chrono::milliseconds deadline);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace rotamet::print
