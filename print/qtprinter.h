// The real printer: composes the page with QPainter on a QPrinter that writes
// PDF, then hands the finished page either to the system's default print
// queue (through CUPS) or, when there is no queue, to a numbered PDF file in a
// folder ("Rotamet 2026-12-10 001.pdf"; an earlier print is never
// overwritten). Owns the page being composed and its temporary file.
//
// Positions are twips from the top-left corner of the printable area; a text
// is drawn with its top-left corner at the print position. Font sizes are in
// points and line heights and text widths come from the font's metrics on the
// device (600 dpi), so what TextWidth says is what gets drawn.
//
// The page starts at the first text or line and is composed in a temporary
// file outside the target folder; only a finished page reaches the folder. A
// page that a run left open (it failed before EndDoc) is dropped, never
// handed over: when the next run sets the orientation (every run starts with
// it) or when the printer is destroyed. The temporary file goes with it.
//
// Failures: a folder that cannot be written, or a file that cannot be moved
// into place, is error 75 with the folder in its description; anything that
// goes wrong with the page or the queue is the printer error 482; a queue
// that refuses jobs says so in its description.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <QString>

#include "print/printer.h"

namespace rotamet::print {

class QtPrinter : public Printer {
public:
    // The system's default print queue when there is one, otherwise PDF
    // files in the user's documents folder. Not looked up here: lookUp()
    // asks without waiting, and each page asks again and waits for the
    // answer (at most kLookupTimeout). Until a first answer has come, the
    // names below are not known and throw RunTimeError.
    QtPrinter();
    // PDF files in this folder, whatever the system has; the folder is
    // created when the first page starts.
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

    // A queue: its name. PDF: the file's full path (the page being composed,
    // else the last one written, else the one the next page will get).
    std::string deviceName() override;
    // A queue: its device URI (where it sends the page), else its location or
    // make and model. PDF: "(file PDF)".
    std::string secondText() override;

    // Asks the print server for the default queue again, on a thread of its
    // own, and returns at once; a question under way is not asked twice.
    // When the answer comes, the names above follow it (unless a page is
    // being composed) and onLookedUp runs, on this printer's thread.
    void lookUp();
    std::function<void()> onLookedUp;
    // Waits at most timeout for the question under way; true once answered.
    bool waitForLookup(std::chrono::milliseconds timeout);

    static constexpr int kDotsPerInch = 600;
    static constexpr std::chrono::milliseconds kLookupTimeout{10000};

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace rotamet::print
