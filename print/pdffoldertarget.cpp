#include "print/pdffoldertarget.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "print/filesystem.h"
#include "print/pdfwriting.h"

namespace rotamet::print {

namespace {
std::mutex checkMutex;
std::function<bool(const QString &)> fileCheck;

bool fileExists(const QString &path)
{
    std::function<bool(const QString &)> check;
    {
        const std::lock_guard lock(checkMutex);
        check = fileCheck;
    }
    return check ? check(path) : QFileInfo::exists(path);
}
}  // namespace

PdfFolderTarget::PdfFolderTarget(QString folder) : folder_(std::move(folder)) {}

QString PdfFolderTarget::documentsFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder.isEmpty() ? QDir::homePath() : folder;
}

QString PdfFolderTarget::suggestedFile()
{
    QString folder = documentsFolder();
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    try {
        return PdfFolderTarget(folder).nextFile();
    } catch (const RunTimeError &) {
        return folder;
    }
}

void PdfFolderTarget::setFileCheck(std::function<bool(const QString &)> check)
{
    const std::lock_guard lock(checkMutex);
    fileCheck = std::move(check);
}

QString PdfFolderTarget::nextFile() const
{
    const QString stem = QDir(folder_).filePath("Rotamet " + QDate::currentDate().toString(Qt::ISODate) + " ");
    for (int n = 1; n < 1000000; ++n) {
        const QString candidate = stem + QString::number(n).rightJustified(3, '0') + ".pdf";
        if (!fileExists(candidate))
            return candidate;
    }
    throw pathError(folder_);
}

void PdfFolderTarget::workOutNextFile() const
{
    std::string next;
    try {
        next = QDir::toNativeSeparators(nextFile()).toStdString();
    } catch (const RunTimeError &) {
        return;  // no free number: the name found before stays
    }
    const std::lock_guard lock(mutex_);
    next_ = std::move(next);
}

std::string PdfFolderTarget::deviceName() const
{
    {
        const std::lock_guard lock(mutex_);
        if (!next_.empty())
            return next_;
    }
    workOutNextFile();
    const std::lock_guard lock(mutex_);
    return next_.empty() ? QDir::toNativeSeparators(folder_).toStdString() : next_;
}

PrintTarget::Handed PdfFolderTarget::deliver(const Page &page)
{
    PdfPart part(folder_, page);
    // Another program may take the free name first: the next one then.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = nextFile();
        switch (files::moveNoReplace(part.fileName(), name)) {
        case files::Move::Done:
            part.kept();
            workOutNextFile();
            return {QDir::toNativeSeparators(name).toStdString(), {}};
        case files::Move::NameTaken: continue;
        case files::Move::Failed: throw pathError(folder_);
        }
    }
    throw pathError(folder_);
}

}  // namespace rotamet::print
