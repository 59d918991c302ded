// The PDF target: each page becomes a new file in a folder, named
// "Rotamet <date> NNN.pdf" with the first number that is free, so that no
// earlier print and no other file is ever overwritten. The page is written in
// that folder under a hidden temporary name, made durable, and renamed in one
// step (pdfwriting.h): the folder never holds a part of a page under a
// name the user sees, and a page that fails leaves nothing at all.
//
// Finding the free number checks the folder name by name, which on a folder
// of a file server is a round trip each: only workOutNextFile() and
// deliver() do it, off the window's thread; deviceName() tells the name they
// found last, and never touches the disk.
#pragma once

#include <QString>
#include <functional>
#include <mutex>
#include <optional>

#include "print/targets/printtarget.h"

namespace rotamet::print {

class PdfFolderTarget : public PrintTarget {
public:
    // The folder is made when the first page is written.
    explicit PdfFolderTarget(QString folder);

    // The user's documents folder (else the home folder).
    static QString documentsFolder();
    // Where a save dialog for a PDF opens: the documents folder's next file;
    // the home folder when the documents folder is not there (a dialog
    // cannot open in it), the folder alone when no number is free. Blocks:
    // never on the window's thread.
    static QString suggestedFile();

    // The file the next page would get ("/" between folders), checked now:
    // blocks as long as the folder takes to answer. Nothing when no number
    // is free.
    std::optional<QString> nextFile() const;
    // Checks the folder as nextFile() does and keeps the answer for
    // deviceName(). Blocks: never on the window's thread.
    void workOutNextFile() const;
    // The next file as the system writes paths, as last worked out (by
    // workOutNextFile() or after a page was delivered); the folder until
    // then. Never touches the disk.
    std::string deviceName() const override;
    // Whether deviceName() names the next file yet.
    bool nextFileKnown() const;
    std::string secondText() const override { return kPdfFileText; }
    // A folder that cannot be made or written, or a disk that fails: error 75
    // with the folder's name. Works the next file out again afterwards.
    std::optional<Handed> deliver(const Page &page) override;
    // The folder that did not answer (error 75).
    RunTimeError lateError(std::chrono::seconds deadline, bool mayStillCome) const override;

    // For tests: how a name is checked for an existing file, on whichever
    // thread checks it (QFileInfo::exists when empty). Not for the program.
    static void setFileCheck(std::function<bool(const QString &path)> check);

private:
    const QString folder_;
    mutable std::mutex mutex_;
    mutable std::string next_;  // empty until worked out
};

}  // namespace rotamet::print
