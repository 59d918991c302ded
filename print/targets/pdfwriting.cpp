#include "print/targets/pdfwriting.h"

#include <QDir>
#include <QRandomGenerator>
#include <mutex>
#include <set>

#include "print/page.h"
#include "numtext/numtext.h"
#include "print/targets/filesystem.h"
#include "work/job.h"

namespace rotamet::print {

namespace {
std::mutex partsMutex;
std::set<QString> partsUnderWay;
}  // namespace

FileUnderWay::FileUnderWay(QString file) : file_(std::move(file))
{
    const std::lock_guard lock(partsMutex);
    partsUnderWay.insert(file_);
}

FileUnderWay::~FileUnderWay()
{
    const std::lock_guard lock(partsMutex);
    partsUnderWay.erase(file_);
}

void removePartsUnderWay()
{
    const std::lock_guard lock(partsMutex);
    for (const QString &file : partsUnderWay)
        QFile::remove(file);
    partsUnderWay.clear();
}

RunTimeError pathError(const QString &folder, work::FailureCause cause)
{
    const std::string why = work::causeText(cause);
    return RunTimeError(errcode::PathFileAccess, "Errore di accesso al percorso/file: impossibile scrivere in '"
                                                     + QDir::toNativeSeparators(folder).toStdString() + "'"
                                                     + (why.empty() ? std::string() : ": " + why));
}

RunTimeError folderLateError(const QString &folder, std::chrono::seconds deadline, bool mayStillCome)
{
    const std::string late = "La cartella '" + QDir::toNativeSeparators(folder).toStdString()
        + "' non risponde: la pagina non è stata scritta entro " + NumberText(std::int32_t(deadline.count()))
        + " secondi";
    if (mayStillCome)
        return RunTimeError(errcode::PathFileAccess,
                                late + ". Il file stava per prendere il suo nome, e potrebbe ancora comparire.");
    return RunTimeError(errcode::PathFileAccess, late + ", e non è stata salvata.");
}

bool writePdfFile(QFileDevice &file, const Page &page, const QPageLayout &layout, work::FailureCause &cause)
{
    if (writePdf(page, layout, file) && file.flush() && file.error() == QFile::NoError)
        return true;
    cause = work::lastFailureCause();
    if (cause == work::FailureCause::Unknown && file.error() == QFile::ResourceError)
        cause = work::FailureCause::DiskFull;
    return false;
}

PdfPart::PdfPart(const QString &folder, const Page &page) : folder_(folder)
{
    work::FailureCause cause = work::FailureCause::Unknown;
    if (!QDir().mkpath(folder))
        throw pathError(folder, work::lastFailureCause());
    for (int attempt = 0; attempt < 100 && !created_; ++attempt) {
        const QString name = QString(".Rotamet-%1.pdf").arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
        file_.setFileName(QDir(folder).filePath(name));
        created_ = file_.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        if (!created_) {
            cause = work::lastFailureCause();
            if (!file_.exists())
                break;  // not a name in use: the folder refuses
        }
    }
    if (!created_)
        throw pathError(folder, cause);
    noted_.emplace(file_.fileName());
    files::hide(file_.fileName());
    bool written = writePdfFile(file_, page, pdfPageLayout(page.orientation), cause);
    file_.close();
    if (written && file_.error() != QFile::NoError) {
        written = false;
        cause = work::lastFailureCause();
    }
    if (written && !files::syncToDisk(file_.fileName())) {
        written = false;
        cause = work::lastFailureCause();
    }
    if (!written) {
        QFile::remove(file_.fileName());  // no destructor runs for a constructor that throws
        throw pathError(folder, cause);
    }
    files::makeOrdinary(file_.fileName());
}

bool PdfPart::giveName(const QString &path)
{
    if (!work::commit())
        throw pathError(folder_, work::FailureCause::Unknown);  // abandoned: nobody waits for it
    switch (files::moveNoReplace(file_.fileName(), path)) {
    case files::Move::Done: kept_ = true; return true;
    case files::Move::NameTaken: return false;
    case files::Move::Failed: break;
    }
    throw pathError(folder_, work::lastFailureCause());
}

void PdfPart::giveNameReplacing(const QString &path)
{
    if (!work::commit())
        throw pathError(folder_, work::FailureCause::Unknown);  // abandoned: nobody waits for it
    if (!files::moveReplacing(file_.fileName(), path))
        throw pathError(folder_, work::lastFailureCause());
    kept_ = true;
}

PdfPart::~PdfPart()
{
    file_.close();
    if (created_ && !kept_)
        QFile::remove(file_.fileName());
}

}  // namespace rotamet::print
