// The chosen-file target ("Salva come PDF…"): the page as a PDF file under
// the name the user chose in a save dialog. It is written as the documents
// folder's files are (pdfwriting.h): whole, in a hidden file beside
// the chosen name, and given that name in one step once it is complete. A
// file that already has the name is replaced, in that same step, only when
// the user agreed to replace it; one that appears while the page is written
// is never touched.
#pragma once

#include <QString>

#include "print/targets/printtarget.h"

namespace rotamet::print {

class PdfFileTarget : public PrintTarget {
public:
    // path: the file the user chose ("/" or the system's separators);
    // replace: the user agreed to replace a file of that name.
    PdfFileTarget(QString path, bool replace);

    // The file, as the system writes paths.
    std::string deviceName() const override;
    std::string secondText() const override { return kPdfFileText; }
    // A folder that cannot be written, or a disk that fails: error 75 with
    // the folder's name. A file of that name that the user did not agree to
    // replace: error 58 with the file's name. Either way nothing changes.
    std::optional<Handed> deliver(const Page &page) override;
    // The folder that did not answer (error 75).
    RunTimeError lateError(std::chrono::seconds deadline, bool mayStillCome) const override;

private:
    const QString path_;
    const bool replace_;
};

}  // namespace rotamet::print
