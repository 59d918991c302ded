#include "print/pdffiletarget.h"

#include <QDir>
#include <QFileInfo>

#include "print/filesystem.h"
#include "print/pdfwriting.h"

namespace rotamet::print {

namespace {
constexpr int kFileExists = 58;
}

PdfFileTarget::PdfFileTarget(QString path, bool replace)
    : path_(QDir::fromNativeSeparators(std::move(path))), replace_(replace)
{}

std::string PdfFileTarget::deviceName() const { return QDir::toNativeSeparators(path_).toStdString(); }

PrintTarget::Handed PdfFileTarget::deliver(const Page &page)
{
    const QString folder = QFileInfo(path_).absolutePath();
    PdfPart part(folder, page);
    if (replace_) {
        if (!files::moveReplacing(part.fileName(), path_))
            throw pathError(folder);
    } else {
        switch (files::moveNoReplace(part.fileName(), path_)) {
        case files::Move::Done: break;
        case files::Move::NameTaken: throw RunTimeError(kFileExists, "Il file esiste già: '" + deviceName() + "'");
        case files::Move::Failed: throw pathError(folder);
        }
    }
    part.kept();
    return {deviceName(), {}};
}

}  // namespace rotamet::print
