#include "print/targets/pdffoldertarget.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "print/targets/pdfwriting.h"

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
    return PdfFolderTarget(folder).nextFile().value_or(folder);
}

void PdfFolderTarget::setFileCheck(std::function<bool(const QString &)> check)
{
    const std::lock_guard lock(checkMutex);
    fileCheck = std::move(check);
}

std::optional<QString> PdfFolderTarget::nextFile() const
{
    const QString stem = QDir(folder_).filePath("Rotamet " + QDate::currentDate().toString(Qt::ISODate) + " ");
    for (int n = 1; n < 1000000; ++n) {
        const QString candidate = stem + QString::number(n).rightJustified(3, '0') + ".pdf";
        if (!fileExists(candidate))
            return candidate;
    }
    return std::nullopt;
}

void PdfFolderTarget::workOutNextFile() const
{
    const std::optional<QString> next = nextFile();
    if (!next)
        return;  // no free number: the name found before stays
    const std::lock_guard lock(mutex_);
    next_ = QDir::toNativeSeparators(*next).toStdString();
}

std::string PdfFolderTarget::deviceName() const
{
    const std::lock_guard lock(mutex_);
    return next_.empty() ? QDir::toNativeSeparators(folder_).toStdString() : next_;
}

bool PdfFolderTarget::nextFileKnown() const
{
    const std::lock_guard lock(mutex_);
    return !next_.empty();
}

RunTimeError PdfFolderTarget::lateError(std::chrono::seconds deadline, bool mayStillCome) const
{
    return folderLateError(folder_, deadline, mayStillCome);
}

std::optional<PrintTarget::Handed> PdfFolderTarget::deliver(const Page &page)
{
    PdfPart part(folder_, page);
    // Another program may take the free name first: the next one then.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::optional<QString> name = nextFile();
        if (!name)
            break;
        if (part.giveName(*name)) {
            workOutNextFile();
            return Handed{QDir::toNativeSeparators(*name).toStdString(), {}};
        }
    }
    throw pathError(folder_, work::FailureCause::Unknown);
}

}  // namespace rotamet::print
