#include "print/windows/windowsprintertarget.h"

#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <optional>
#include <windows.h>
#include <winspool.h>

#include "numtext/runtimeerror.h"
#include "print/page.h"
#include "print/targets/printqueue.h"
#include "work/job.h"

// The spooler's own question for a file name, as StartDoc asks it for a port
// that prompts; exported by winspool.drv, not declared in its header.
extern "C" LPWSTR WINAPI StartDocDlgW(HANDLE printer, DOCINFOW *document);

namespace rotamet::print {

namespace {

constexpr const wchar_t *kDocumentName = L"Rotamet";

// Asks the user for the file that the printer writes, as StartDoc would.
// Nothing when the user cancels.
std::optional<QString> askForFile(const std::string &printer)
{
    std::wstring name = QString::fromStdString(printer).toStdWString();
    HANDLE handle = nullptr;
    if (!OpenPrinterW(name.data(), &handle, nullptr))
        throw RunTimeError(errcode::PrinterError, "Errore della stampante: la stampante non risponde");
    DOCINFOW document{};
    document.cbSize = sizeof document;
    document.lpszDocName = kDocumentName;
    SetLastError(ERROR_SUCCESS);
    wchar_t *file = StartDocDlgW(handle, &document);
    ClosePrinter(handle);
    // No name: the dialog was cancelled (Windows says ERROR_CANCELLED; Wine
    // says nothing, but asks only on such a port).
    if (!file)
        return std::nullopt;
    const QString chosen = QString::fromWCharArray(file);
    HeapFree(GetProcessHeap(), 0, file);
    return chosen;
}

}  // namespace

bool WindowsPrinterTarget::portAsksForFile(const std::string &port)
{
    const QString p = QString::fromStdString(port).trimmed();
    return p.compare("FILE:", Qt::CaseInsensitive) == 0 || p.compare("PORTPROMPT:", Qt::CaseInsensitive) == 0;
}

bool WindowsPrinterTarget::send(const Page &page)
{
    QPrinter printer(QPrinterInfo::printerInfo(QString::fromStdString(queue().name)), QPrinter::HighResolution);
    printer.setCreator("Rotamet");
    printer.setDocName("Rotamet");
    QPageLayout layout = printer.pageLayout();
    layout.setOrientation(page.orientation);
    printer.setPageLayout(layout);
    if (copies() > 0)
        printer.setCopyCount(copies());
    const std::string port = queue().where.empty() ? queue::portOf(queue().name) : queue().where;
    if (portAsksForFile(port)) {
        // Asked before the document starts, so that a cancel is told apart
        // from a failure; the document then goes to the file chosen.
        const std::optional<QString> file = askForFile(queue().name);
        if (!file)
            return false;
        // Straight to the engine: QPrinter itself would take a name ending
        // in .pdf as a wish for its own PDF writer instead of the driver.
        printer.printEngine()->setProperty(QPrintEngine::PPK_OutputFileName, *file);
    }
    // From here on the page may reach the spooler: not for a print given up.
    if (!work::commit())
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        throw RunTimeError(errcode::PrinterError, "Errore della stampante: il documento non è stato avviato");
    page.draw(painter, printer.resolution());
    if (!painter.end())
        throw RunTimeError(errcode::PrinterError, "Errore della stampante: la pagina non è stata consegnata");
    return true;
}

}  // namespace rotamet::print
