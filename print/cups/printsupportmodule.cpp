#include "print/cups/printsupportmodule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <mutex>

#include "numtext/runtimeerror.h"

namespace rotamet::print {

namespace {
std::mutex g_mutex;
const support::Functions *g_loaded = nullptr;

[[noreturn]] void fail(const QString &file, const QString &cause)
{
    throw RunTimeError(errcode::PrinterError,
                       QStringLiteral("Errore della stampante: il supporto di stampa '%1' non si carica (%2). "
                                      "Rotamet va installato di nuovo.")
                           .arg(QDir::toNativeSeparators(file), cause)
                           .toStdString());
}
}  // namespace

QStringList printSupportPlaces()
{
    return {QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                                .filePath(QStringLiteral(ROTAMET_PRINT_SUPPORT_INSTALLED))),
            QStringLiteral(ROTAMET_PRINT_SUPPORT_BUILT)};
}

const support::Functions &loadPrintSupport(const QString &file)
{
    if (!QFileInfo::exists(file))
        fail(file, QStringLiteral("il file non c'è"));
    QLibrary module(file);
    if (!module.load())
        fail(file, module.errorString());
    using Entry = const support::Functions *(*)();
    const auto entry = reinterpret_cast<Entry>(module.resolve(ROTAMET_PRINT_SUPPORT_ENTRY));
    if (!entry)
        fail(file, QStringLiteral("non è il supporto di stampa di Rotamet"));
    const support::Functions *functions = entry();
    if (!functions || functions->version != support::kVersion)
        fail(file, QStringLiteral("è di un'altra versione"));
    // The module stays loaded until the program ends.
    return *functions;
}

const support::Functions &printSupport()
{
    const std::lock_guard lock(g_mutex);
    if (!g_loaded) {
        const QStringList places = printSupportPlaces();
        QString file = places.constFirst();
        for (const QString &place : places) {
            if (QFileInfo::exists(place)) {
                file = place;
                break;
            }
        }
        g_loaded = &loadPrintSupport(file);
    }
    return *g_loaded;
}

std::optional<ChosenPrinter> choosePrinter(QWidget *parent) { return printSupport().choosePrinter(parent); }

QPageLayout queueLayout(const QString &name) { return printSupport().queueLayout(name); }

}  // namespace rotamet::print
