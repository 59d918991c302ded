#include "print/pdffoldertarget.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "numtext/runtimeerror.h"
#include "print/filesystem.h"
#include "print/page.h"

namespace rotamet::print {

namespace {

constexpr int kPathError = 75;

RunTimeError pathError(const QString &folder)
{
    return RunTimeError(kPathError, "Errore di accesso al percorso/file: impossibile scrivere in '"
                                        + QDir::toNativeSeparators(folder).toStdString() + "'");
}

// The first "Rotamet <date> NNN.pdf" in folder that does not exist yet.
QString nextFreePdf(const QString &folder)
{
    const QString stem = QDir(folder).filePath("Rotamet " + QDate::currentDate().toString(Qt::ISODate) + " ");
    for (int n = 1; n < 1000000; ++n) {
        const QString candidate = stem + QString::number(n).rightJustified(3, '0') + ".pdf";
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
    throw pathError(folder);
}

}  // namespace

PdfFolderTarget::PdfFolderTarget(QString folder) : folder_(std::move(folder)) {}

QString PdfFolderTarget::documentsFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder.isEmpty() ? QDir::homePath() : folder;
}

std::string PdfFolderTarget::deviceName() const
{
    return QDir::toNativeSeparators(nextFreePdf(folder_)).toStdString();
}

PrintTarget::Handed PdfFolderTarget::deliver(const Page &page)
{
    if (!QDir().mkpath(folder_))
        throw pathError(folder_);
    // Removed, whatever its name by then, unless it became the user's file.
    QTemporaryFile part(QDir(folder_).filePath(".Rotamet-XXXXXX.pdf"));
    if (!part.open())
        throw pathError(folder_);
    files::hide(part.fileName());
    if (!writePdf(page, pdfPageLayout(page.orientation), part) || !files::syncToDisk(part))
        throw pathError(folder_);
    part.close();
    if (part.error() != QFile::NoError)
        throw pathError(folder_);
    files::makeOrdinary(part.fileName());

    // Another program may take the free name first: the next one then.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = nextFreePdf(folder_);
        switch (files::moveNoReplace(part.fileName(), name)) {
        case files::Move::Done:
            part.setAutoRemove(false);
            return {QDir::toNativeSeparators(name).toStdString(), {}};
        case files::Move::NameTaken: continue;
        case files::Move::Failed: throw pathError(folder_);
        }
    }
    throw pathError(folder_);
}

}  // namespace rotamet::print
