#include "print/pdffoldertarget.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "print/filesystem.h"
#include "print/pdfwriting.h"

namespace rotamet::print {

PdfFolderTarget::PdfFolderTarget(QString folder) : folder_(std::move(folder)) {}

QString PdfFolderTarget::documentsFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder.isEmpty() ? QDir::homePath() : folder;
}

QString PdfFolderTarget::nextFile() const
{
    const QString stem = QDir(folder_).filePath("Rotamet " + QDate::currentDate().toString(Qt::ISODate) + " ");
    for (int n = 1; n < 1000000; ++n) {
        const QString candidate = stem + QString::number(n).rightJustified(3, '0') + ".pdf";
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
    throw pathError(folder_);
}

std::string PdfFolderTarget::deviceName() const { return QDir::toNativeSeparators(nextFile()).toStdString(); }

PrintTarget::Handed PdfFolderTarget::deliver(const Page &page)
{
    PdfPart part(folder_, page);
    // Another program may take the free name first: the next one then.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = nextFile();
        switch (files::moveNoReplace(part.fileName(), name)) {
        case files::Move::Done: part.kept(); return {QDir::toNativeSeparators(name).toStdString(), {}};
        case files::Move::NameTaken: continue;
        case files::Move::Failed: throw pathError(folder_);
        }
    }
    throw pathError(folder_);
}

}  // namespace rotamet::print
