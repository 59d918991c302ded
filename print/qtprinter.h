// The real printer: composes the page that the printed table draws
// (print/page.h) on the window's thread, then hands the finished page to a
// print target (print/printtarget.h) that draws it and passes it on, on a
// thread of its own: the system's default print queue, PDF files in the
// documents folder when there is none, or a target the caller chose.
//
// Positions are twips from the top-left corner of the printable area; a text
// is drawn with its top-left corner at the print position. Font sizes are in
// points, and line heights and text widths come from the font's metrics at
// 600 dpi, the resolution the page is composed in, so what TextWidth says is
// what gets drawn; no printer is asked for them.
//
// Nothing reaches a target before EndDoc: a page that a run left open (it
// failed before EndDoc) is dropped, when the next run sets the orientation
// (every run starts with it), at KillDoc, or when the printer is destroyed.
//
// Waiting: every call that may block on the print server, the spooler, a
// driver or the disk (finding the default queue, handing the page over) runs
// off the window's thread, and the window's thread waits for it in a local
// event loop that processes every event but user input (print/offthread.h).
//
// Failures: a folder that cannot be written is error 75 with the folder in
// its description; anything that goes wrong with the queue is the printer
// error 482 with the reason; a print server that does not say within
// kLookupTimeout where the page goes is 482 "Il server di stampa non
// risponde", and that question is given up: the next page asks anew; a
// dialog the user cancelled is PrintCancelled.
//
// Names: deviceName() and secondText() tell what is known already (the
// lookup's answer, the page handed over) and never ask the print server or
// the disk.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <QString>

#include "print/printer.h"

namespace rotamet::print {

class PrintTarget;

class QtPrinter : public Printer {
public:
    // The system's default print queue when there is one, otherwise PDF
    // files in the user's documents folder. Not looked up here: lookUp()
    // asks without waiting, and each page asks again and waits for the
    // answer (at most kLookupTimeout). Until a first answer has come, the
    // names below are not known and throw RunTimeError.
    QtPrinter();
    // Every page to this target, whatever the system has.
    explicit QtPrinter(std::shared_ptr<PrintTarget> target);
    // PDF files in this folder (a PdfFolderTarget); the folder is created
    // when the first page is written.
    explicit QtPrinter(const QString &pdfFolder);
    ~QtPrinter() override;
    QtPrinter(const QtPrinter &) = delete;
    QtPrinter &operator=(const QtPrinter &) = delete;

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
    void line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void endDoc() override;
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

    // Asks the print server for the default queue again, on a thread of its
    // own, and returns at once; a question under way is not asked twice.
    // When the answer comes, the names above follow it (unless a page is
    // being composed) and onLookedUp runs, on this printer's thread.
    void lookUp();
    std::function<void()> onLookedUp;
    // Waits at most timeout for the question under way, processing events
    // other than user input; true once an answer has come.
    bool waitForLookup(std::chrono::milliseconds timeout);

    static constexpr int kDotsPerInch = 600;
    static constexpr std::chrono::milliseconds kLookupTimeout{10000};

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace rotamet::print
