#include "print/targets/pdffiletarget.h"

#include <QDir>
#include <QFileInfo>

#include "print/targets/pdfwriting.h"

namespace rotamet::print {

PdfFileTarget::PdfFileTarget(QString path, bool replace)
    : path_(QDir::fromNativeSeparators(std::move(path))), replace_(replace)
{}

std::string PdfFileTarget::deviceName() const { return QDir::toNativeSeparators(path_).toStdString(); }

RunTimeError PdfFileTarget::lateError(std::chrono::seconds deadline, bool mayStillCome) const
{
    return folderLateError(QFileInfo(path_).absolutePath(), deadline, mayStillCome);
}

std::optional<PrintTarget::Handed> PdfFileTarget::deliver(const Page &page)
{
    PdfPart part(QFileInfo(path_).absolutePath(), page);
    if (replace_)
        part.giveNameReplacing(path_);
    else if (!part.giveName(path_))
        throw RunTimeError(errcode::FileExists, "Il file esiste già: '" + deviceName() + "'");
    return Handed{deviceName(), {}};
}

}  // namespace rotamet::print
