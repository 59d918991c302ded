#include "catalogue/pumpfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStorageInfo>

#include "numtext/numtext.h"
#include "numtext/qtext.h"
#include "work/failurecause.h"
#include "work/job.h"

namespace rotamet::catalogue {

namespace {

// Shown before the lines skipped; more are counted, not listed.
constexpr int kLinesListed = 10;

QString shownPath(const QString &path) { return QDir::toNativeSeparators(path); }

struct Contents {
    bool exists = false;
    std::string text;
    QString failure;  // why it could not be read; empty when it was
};

Contents readContents(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    if (info.isDir())
        return {true, {}, QStringLiteral("al suo posto c'è una cartella")};
    // A pipe or a device would hold the reading for ever, or never end.
    if (info.exists() && !info.isFile())
        return {true, {}, QStringLiteral("non è un file ordinario")};
    if (info.size() > PumpFile::kMaxSize)
        return {true, {}, QStringLiteral("è più grande di 1 MB")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {true,
                {},
                file.error() == QFileDevice::PermissionsError ? QStringLiteral("accesso negato")
                                                              : QStringLiteral("il file non si apre")};
    const QByteArray bytes = file.read(PumpFile::kMaxSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {true, {}, QStringLiteral("errore di lettura")};
    if (bytes.size() > PumpFile::kMaxSize)
        return {true, {}, QStringLiteral("è più grande di 1 MB")};
    return {true, bytes.toStdString(), {}};
}

QString skippedMessage(const QString &path, const std::vector<SkippedLine> &skipped)
{
    QString text = QStringLiteral("Alcune righe del file delle pompe non sono state lette:\n%1\n").arg(shownPath(path));
    int listed = 0;
    for (const SkippedLine &line : skipped) {
        if (listed++ == kLinesListed) {
            text += QStringLiteral("\n… e altre %1 righe.").arg(skipped.size() - std::size_t(kLinesListed));
            break;
        }
        text += QStringLiteral("\nriga %1: %2").arg(line.number).arg(qs(line.reason));
    }
    text += QStringLiteral("\n\nLe altre pompe sono in catalogo. Le righe non lette restano nel file come sono: "
                           "si possono correggere con un editor di testo.");
    return text;
}

QString unreadableMessage(const QString &path, const QString &why, const QString &consequence)
{
    return QStringLiteral("Il file delle pompe non può essere letto:\n%1\n(%2)\n\n%3")
        .arg(shownPath(path), why, consequence);
}

const QString kDiskFull = QStringLiteral("il disco è pieno");

// The cause the system gave for the call that just failed (cause), else
// fallback.
QString causeOr(work::FailureCause cause, const QString &fallback)
{
    const std::string text = work::causeText(cause);
    return text.empty() ? fallback : qs(text);
}

// Why nothing could be made in the file's folder (its lock file, or the
// temporary file that becomes the file); cause: what the failing call said.
QString folderRefusal(const QString &path, work::FailureCause cause)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (cause == work::FailureCause::Unknown || cause == work::FailureCause::Denied) {
        if (!QFileInfo(folder).isWritable())
            return QStringLiteral("la cartella è di sola lettura");
        const QStorageInfo disk(folder);
        if (disk.isValid() && disk.bytesAvailable() == 0)
            return kDiskFull;
    }
    return causeOr(cause, QStringLiteral("la cartella non accetta file"));
}

// Writes the whole text or nothing; why not, or empty. A change given up
// meanwhile (work/job.h) is not written: empty too, since nobody waits for it.
QString writeWhole(const QString &path, const std::string &text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const work::FailureCause cause = work::lastFailureCause();
        const QFileInfo info(path);
        if (info.exists() && !info.isWritable())
            return QStringLiteral("il file è di sola lettura");
        return folderRefusal(path, cause);
    }
    // Flushed here and checked: a write that stops half-way (a full disk)
    // must never reach the name, and QSaveFile's commit can let one through.
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.flush()) {
        const work::FailureCause cause = work::lastFailureCause();
        file.cancelWriting();
        return causeOr(cause, kDiskFull);
    }
    if (!work::commit()) {
        file.cancelWriting();
        return {};
    }
    if (!file.commit()) {
        const work::FailureCause cause = work::lastFailureCause();
        if (file.error() == QFileDevice::RenameError && cause == work::FailureCause::Unknown)
            return QStringLiteral("il file non può essere sostituito: è aperto in un altro programma?");
        return causeOr(cause, kDiskFull);
    }
    return {};
}

QString notWritten(const QString &path, const QString &why)
{
    return QStringLiteral("Il file delle pompe non può essere scritto:\n%1\n(%2)\n\nIl catalogo non è cambiato.")
        .arg(shownPath(path), why);
}

// Reads the file and makes the change on what it holds, into catalogue; why
// not, when it could not be read or the change is refused.
std::optional<PumpFile::Changed> readAndEdit(const QString &path, const PumpFile::Edit &edit, Catalogue &catalogue)
{
    const Contents contents = readContents(path);
    if (!contents.failure.isEmpty())
        return PumpFile::Changed{
            std::nullopt, std::nullopt,
            unreadableMessage(path, contents.failure,
                              QStringLiteral("Il catalogo non è cambiato, perché il file non vada perso."))};
    catalogue = contents.exists ? readFile(contents.text) : Catalogue();
    if (auto problem = edit(catalogue))
        return PumpFile::Changed{std::nullopt, problem, {}};
    return std::nullopt;
}

}  // namespace

QString PumpFile::standardPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("pompe.csv"));
}

PumpFile::Loaded PumpFile::load() const
{
    if (path_.isEmpty())
        return {};
    const Contents contents = readContents(path_);
    if (!contents.failure.isEmpty())
        return {
            Catalogue(),
            unreadableMessage(path_, contents.failure,
                              QStringLiteral("Sono in catalogo solo le pompe incorporate, e il file resta com'è."))};
    if (!contents.exists)
        return {};
    Loaded loaded{readFile(contents.text), {}};
    if (!loaded.catalogue.skipped.empty())
        loaded.message = skippedMessage(path_, loaded.catalogue.skipped);
    return loaded;
}

PumpFile::Changed PumpFile::change(const Edit &edit) const
{
    if (path_.isEmpty())
        return {std::nullopt, std::nullopt,
                QStringLiteral("Il catalogo delle pompe non ha un file in cui essere salvato.")};
    // Tried first on the file as it is, without the lock: a change refused
    // makes nothing, not even the folder.
    Catalogue catalogue;
    if (std::optional<Changed> refused = readAndEdit(path_, edit, catalogue))
        return std::move(*refused);

    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        const work::FailureCause cause = work::lastFailureCause();
        return {std::nullopt, std::nullopt,
                notWritten(path_, causeOr(cause, QStringLiteral("la cartella non può essere creata")))};
    }
    // One change at a time, across every copy of the program: another copy
    // reads, changes and writes in a moment, so its lock is waited for that
    // long. The lock of a copy that ended without letting it go (a crash) is
    // stale, and taken over at once.
    QLockFile lock(path_ + QStringLiteral(".lock"));
    if (!lock.tryLock(int(kLockWait.count()))) {
        const work::FailureCause cause = work::lastFailureCause();
        if (lock.error() == QLockFile::LockFailedError)
            return {std::nullopt, std::nullopt,
                    QStringLiteral("Il file delle pompe è in uso da un'altra copia di Rotamet:\n%1\n\n"
                                   "Il catalogo non è cambiato. Riprovare tra un momento.")
                        .arg(shownPath(path_))};
        return {std::nullopt, std::nullopt, notWritten(path_, folderRefusal(path_, cause))};
    }
    // Made again on what the file holds now that no other copy changes it.
    if (std::optional<Changed> refused = readAndEdit(path_, edit, catalogue))
        return std::move(*refused);
    if (const QString why = writeWhole(path_, fileText(catalogue)); !why.isEmpty())
        return {std::nullopt, std::nullopt, notWritten(path_, why)};
    return {std::move(catalogue), std::nullopt, {}};
}

QString PumpFile::lateMessage(bool mayBeSaved) const
{
    const QString seconds
        = qs(NumberText(std::int32_t(std::chrono::duration_cast<std::chrono::seconds>(kChangeDeadline).count())));
    if (mayBeSaved)
        return QStringLiteral("Il file delle pompe non risponde:\n%1\n(la cartella non ha risposto entro %2 secondi)\n\n"
                              "La modifica stava per essere salvata e potrebbe esserlo ancora: "
                              "il catalogo la mostrerà al prossimo avvio.")
            .arg(shownPath(path_), seconds);
    return QStringLiteral("Il file delle pompe non risponde:\n%1\n(la cartella non ha risposto entro %2 secondi)\n\n"
                          "Il catalogo non è cambiato.")
        .arg(shownPath(path_), seconds);
}

QString PumpFile::failureMessage(const RunTimeError &error) const { return notWritten(path_, qs(error.description())); }

}  // namespace rotamet::catalogue
