#include "print/pdffoldertarget.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include "numtext/runtimeerror.h"
#include "print/filesystem.h"
#include "print/page.h"

namespace rotamet::print {

namespace {

constexpr int kPathError = 75;

RunTimeError pathError(const QString &folder)
{
    return RunTimeError(kPathError,
                        "Errore di accesso al percorso/file: impossibile scrivere in '"
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

std::string PdfFolderTarget::deviceName() const { return QDir::toNativeSeparators(nextFreePdf(folder_)).toStdString(); }

namespace {
// The page while it is written: a new file of the folder's under a hidden
// temporary name, removed when it goes unless it became the user's file.
// (Not a QTemporaryFile, which keeps its file open until it goes, and an
// open file cannot be renamed on Windows.)
class PartFile {
public:
    explicit PartFile(const QString &folder)
    {
        for (int attempt = 0; attempt < 100 && !created; ++attempt) {
            const QString name
                = QString(".Rotamet-%1.pdf").arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
            file.setFileName(QDir(folder).filePath(name));
            created = file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
            if (!created && !file.exists())
                return;  // not a name in use: the folder refuses
        }
    }
    ~PartFile()
    {
        file.close();
        if (created && !kept)
            QFile::remove(file.fileName());
    }
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    QFile file;
    bool created = false;
    bool kept = false;
};
}  // namespace

PrintTarget::Handed PdfFolderTarget::deliver(const Page &page)
{
    if (!QDir().mkpath(folder_))
        throw pathError(folder_);
    PartFile part(folder_);
    if (!part.created)
        throw pathError(folder_);
    const QString partName = part.file.fileName();
    files::hide(partName);
    const bool written = writePdf(page, pdfPageLayout(page.orientation), part.file) && part.file.flush();
    part.file.close();
    if (!written || part.file.error() != QFile::NoError || !files::syncToDisk(partName))
        throw pathError(folder_);
    files::makeOrdinary(partName);

    // Another program may take the free name first: the next one then.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = nextFreePdf(folder_);
        switch (files::moveNoReplace(partName, name)) {
        case files::Move::Done: part.kept = true; return {QDir::toNativeSeparators(name).toStdString(), {}};
        case files::Move::NameTaken: continue;
        case files::Move::Failed: throw pathError(folder_);
        }
    }
    throw pathError(folder_);
}

}  // namespace rotamet::print
