#include "print/targets/pdfwriting.h"

#include <QDir>
#include <QRandomGenerator>
#include <mutex>
#include <set>

#include "print/page.h"
#include "print/targets/filesystem.h"

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

RunTimeError pathError(const QString &folder)
{
    return RunTimeError(errcode::PathFileAccess,
                        "Errore di accesso al percorso/file: impossibile scrivere in '"
                            + QDir::toNativeSeparators(folder).toStdString() + "'");
}

PdfPart::PdfPart(const QString &folder, const Page &page) : folder_(folder)
{
    if (!QDir().mkpath(folder))
        throw pathError(folder);
    for (int attempt = 0; attempt < 100 && !created_; ++attempt) {
        const QString name = QString(".Rotamet-%1.pdf").arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
        file_.setFileName(QDir(folder).filePath(name));
        created_ = file_.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        if (!created_ && !file_.exists())
            break;  // not a name in use: the folder refuses
    }
    if (!created_)
        throw pathError(folder);
    noted_.emplace(file_.fileName());
    files::hide(file_.fileName());
    const bool written = writePdf(page, pdfPageLayout(page.orientation), file_) && file_.flush();
    file_.close();
    if (!written || file_.error() != QFile::NoError || !files::syncToDisk(file_.fileName())) {
        QFile::remove(file_.fileName());  // no destructor runs for a constructor that throws
        throw pathError(folder);
    }
    files::makeOrdinary(file_.fileName());
}

bool PdfPart::giveName(const QString &path)
{
    switch (files::moveNoReplace(file_.fileName(), path)) {
    case files::Move::Done: kept_ = true; return true;
    case files::Move::NameTaken: return false;
    case files::Move::Failed: break;
    }
    throw pathError(folder_);
}

void PdfPart::giveNameReplacing(const QString &path)
{
    if (!files::moveReplacing(file_.fileName(), path))
        throw pathError(folder_);
    kept_ = true;
}

PdfPart::~PdfPart()
{
    file_.close();
    if (created_ && !kept_)
        QFile::remove(file_.fileName());
}

}  // namespace rotamet::print
