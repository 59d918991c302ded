#include "catalogue/exchangefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "work/failurecause.h"
#include "work/job.h"
#include <QStorageInfo>

#include "catalogue/pumpfile.h"

namespace rotamet::catalogue {

namespace {
const QString kDiskFull = QStringLiteral("il disco è pieno");
}  // namespace

ExchangeRead readExchangeFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {{}, QStringLiteral("il file non esiste")};
    if (info.isDir())
        return {{}, QStringLiteral("è una cartella")};
    if (info.size() > PumpFile::kMaxSize)
        return {{}, QStringLiteral("è più grande di 1 MB: non è un file di pompe")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{},
                file.error() == QFileDevice::PermissionsError ? QStringLiteral("accesso negato")
                                                              : QStringLiteral("il file non si apre")};
    const QByteArray bytes = file.read(PumpFile::kMaxSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("errore di lettura")};
    if (bytes.size() > PumpFile::kMaxSize)
        return {{}, QStringLiteral("è più grande di 1 MB: non è un file di pompe")};
    return {bytes.toStdString(), {}};
}

QString writeExchangeFile(const QString &path, const std::string &text)
{
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("la cartella non esiste");
    if (info.isDir())
        return QStringLiteral("al suo posto c'è una cartella");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const work::FailureCause cause = work::lastFailureCause();
        if (cause == work::FailureCause::Unreachable || cause == work::FailureCause::DiskFull)
            return QString::fromStdString(work::causeText(cause));
        if (info.exists() && !info.isWritable())
            return QStringLiteral("il file è di sola lettura");
        if (!folder.isWritable())
            return QStringLiteral("la cartella è di sola lettura");
        const QStorageInfo disk(folder.absoluteFilePath());
        if (disk.isValid() && disk.isReadOnly())
            return QStringLiteral("il disco è di sola lettura");
        if (disk.isValid() && disk.bytesAvailable() == 0)
            return kDiskFull;
        return file.error() == QFileDevice::PermissionsError ? QStringLiteral("accesso negato")
                                                             : QStringLiteral("la cartella non accetta file");
    }
    // Flushed and checked here: a write that stops half-way must never
    // reach the name.
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.flush()) {
        const std::string why = work::causeText(work::lastFailureCause());
        file.cancelWriting();
        return why.empty() ? kDiskFull : QString::fromStdString(why);
    }
    // Given up meanwhile (its deadline passed): the file is not written.
    if (!work::commit()) {
        file.cancelWriting();
        return {};
    }
    if (!file.commit()) {
        const std::string why = work::causeText(work::lastFailureCause());
        if (!why.empty())
            return QString::fromStdString(why);
        return file.error() == QFileDevice::RenameError
            ? QStringLiteral("il file non può essere sostituito: è aperto in un altro programma?")
            : kDiskFull;
    }
    return {};
}

}  // namespace rotamet::catalogue
