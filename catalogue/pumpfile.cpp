#include "catalogue/pumpfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace rotamet::catalogue {

namespace {

// Shown before the lines skipped; more are counted, not listed.
constexpr int kLinesListed = 10;

QString qs(const std::string &s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

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

// Writes the whole text or nothing; why not, or empty.
QString writeWhole(const QString &path, const std::string &text)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("la cartella non può essere creata");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.error() == QFileDevice::PermissionsError ? QStringLiteral("accesso negato")
                                                             : QStringLiteral("la cartella non accetta file");
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        file.cancelWriting();
        return QStringLiteral("scrittura non riuscita: il disco è pieno?");
    }
    if (!file.commit())
        return QStringLiteral("il file non può essere sostituito: è aperto in un altro programma, o il disco è pieno?");
    return {};
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
    const Contents contents = readContents(path_);
    if (!contents.failure.isEmpty())
        return {std::nullopt, std::nullopt,
                unreadableMessage(path_, contents.failure,
                                  QStringLiteral("Il catalogo non è cambiato, perché il file non vada perso."))};
    Catalogue catalogue = contents.exists ? readFile(contents.text) : Catalogue();
    if (auto problem = edit(catalogue))
        return {std::nullopt, problem, {}};
    if (const QString why = writeWhole(path_, fileText(catalogue)); !why.isEmpty())
        return {std::nullopt, std::nullopt,
                QStringLiteral("Il file delle pompe non può essere scritto:\n%1\n(%2)\n\nIl catalogo non è cambiato.")
                    .arg(shownPath(path_), why)};
    return {std::move(catalogue), std::nullopt, {}};
}

}  // namespace rotamet::catalogue
