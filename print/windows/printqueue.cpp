// The print queues of print/targets/printqueue.h on Windows: the spooler's printers.
// Names and ports come from the spooler itself (GetPrinter, level 2), the
// state through Qt's Windows print support.
#include "print/targets/printqueue.h"

#include <QPrinterInfo>
#include <vector>
#include <windows.h>
#include <winspool.h>

#include "print/windows/windowsprintertarget.h"

namespace rotamet::print::queue {

namespace {

std::string utf8(const wchar_t *text) { return text ? QString::fromWCharArray(text).toStdString() : std::string(); }

std::string portOfPrinter(const std::wstring &printer)
{
    HANDLE handle = nullptr;
    if (!OpenPrinterW(const_cast<wchar_t *>(printer.c_str()), &handle, nullptr))
        return {};
    DWORD needed = 0;
    GetPrinterW(handle, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    std::string port;
    if (needed > 0 && GetPrinterW(handle, 2, buffer.data(), needed, &needed))
        port = utf8(reinterpret_cast<const PRINTER_INFO_2W *>(buffer.data())->pPortName);
    ClosePrinter(handle);
    return port;
}

}  // namespace

std::optional<Queue> defaultQueue()
{
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    if (size == 0)
        return std::nullopt;
    std::wstring name(size, L'\0');
    if (!GetDefaultPrinterW(name.data(), &size))
        return std::nullopt;
    name.resize(size > 0 ? size - 1 : 0);  // less the closing null
    return Queue{utf8(name.c_str()), portOfPrinter(name)};
}

State state(const std::string &queue)
{
    // The spooler takes jobs for a paused printer (or one in error) and
    // holds them; Qt tells both as its error state.
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(queue));
    return {true, !info.isNull() && info.state() == QPrinter::Error};
}

std::shared_ptr<PrintTarget> targetFor(const Queue &queue, int copies)
{
    return std::make_shared<WindowsPrinterTarget>(queue, copies);
}

std::string portOf(const std::string &printer) { return portOfPrinter(QString::fromStdString(printer).toStdWString()); }

}  // namespace rotamet::print::queue
