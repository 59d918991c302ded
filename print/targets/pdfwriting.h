// How a PDF file the user keeps is written, for both PDF targets (the
// documents folder, a file the user chose): the page goes whole into a new
// hidden file of the folder that will keep it, is written through to the
// disk, and only then is given its name, in one step (filesystem.h).
// A page that fails on the way leaves nothing behind, not even the hidden
// file.
#pragma once

#include <QFile>
#include <QPageLayout>
#include <QString>
#include <chrono>
#include <optional>

#include "numtext/runtimeerror.h"
#include "work/failurecause.h"

namespace rotamet::print {

class Page;

// Error 75 with the folder's name, as the system writes paths, and the
// cause when known: the folder cannot be made or written, or the disk
// failed.
RunTimeError pathError(const QString &folder, work::FailureCause cause);

// A PDF target's hand-over given up at its deadline: error 75 naming the
// folder that did not answer; mayStillCome: the file was about to take its
// name, and may still appear (PageMayStillCome).
RunTimeError folderLateError(const QString &folder, std::chrono::seconds deadline, bool mayStillCome);

// At the program's end, when work is still stuck writing or handing a page
// over (work/offthread.h): removes the hidden files of the pages under way,
// which no destructor will remove.
void removePartsUnderWay();

// Writes the page as a PDF into file, open for writing, and flushes it:
// false, with the cause when known, when the page did not all reach the
// file. A write that failed on the way leaves its error on the file, not in
// the PDF engine's answer (the engine goes on), and close() would clear it:
// it is read here, before.
bool writePdfFile(QFileDevice &file, const Page &page, const QPageLayout &layout, work::FailureCause &cause);

// Notes a temporary file for removePartsUnderWay() while it lives.
class FileUnderWay {
public:
    explicit FileUnderWay(QString file);
    ~FileUnderWay();
    FileUnderWay(const FileUnderWay &) = delete;
    FileUnderWay &operator=(const FileUnderWay &) = delete;

private:
    QString file_;
};

// The page as a PDF file in folder under a hidden temporary name, complete
// and on the disk; the file is removed when this goes, unless it was given
// its name (kept()). Throws pathError when the folder cannot be made or
// written, or the disk fails.
class PdfPart {
public:
    PdfPart(const QString &folder, const Page &page);
    ~PdfPart();
    PdfPart(const PdfPart &) = delete;
    PdfPart &operator=(const PdfPart &) = delete;

    // Gives the file the name path, in the same folder, in one step that
    // never replaces a file: false when a file of that name exists. Throws
    // pathError when the system refuses. Once named, the file is the user's.
    // A page whose job was abandoned (work/job.h) takes no name: it throws
    // and leaves nothing.
    bool giveName(const QString &path);
    // The same, replacing a file of that name in that step.
    void giveNameReplacing(const QString &path);

private:
    // Not a QTemporaryFile, which keeps its file open until it goes, and an
    // open file cannot be renamed on Windows.
    QFile file_;
    QString folder_;
    std::optional<FileUnderWay> noted_;
    bool created_ = false;
    bool kept_ = false;
};

}  // namespace rotamet::print
