// The PDF target: each page becomes a new file in a folder, named
// "Rotamet <date> NNN.pdf" with the first number that is free, so that no
// earlier print and no other file is ever overwritten. The page is written in
// that folder under a hidden temporary name, made durable, and renamed in one
// step (print/pdfwriting.h): the folder never holds a part of a page under a
// name the user sees, and a page that fails leaves nothing at all.
#pragma once

#include <QString>

#include "print/printtarget.h"

namespace rotamet::print {

class PdfFolderTarget : public PrintTarget {
public:
    // The folder is made when the first page is written.
    explicit PdfFolderTarget(QString folder);

    // The user's documents folder (else the home folder).
    static QString documentsFolder();

    // The file the next page would get ("/" between folders).
    QString nextFile() const;
    // The same, as the system writes paths.
    std::string deviceName() const override;
    std::string secondText() const override { return "(file PDF)"; }
    // A folder that cannot be made or written, or a disk that fails: error 75
    // with the folder's name.
    Handed deliver(const Page &page) override;

private:
    const QString folder_;
};

}  // namespace rotamet::print
