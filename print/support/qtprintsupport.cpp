#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "print/support/printsupport.h"

namespace rotamet::print::support {

// The dialog asks the print server for its printers itself, on the window's
// thread, as every program's print dialog does.
std::optional<ChosenPrinter> qtChoosePrinter(QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    // One page, always the same: no page range, no selection, no print to a
    // file ("Salva come PDF…" is that).
    dialog.setOptions({});
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ChosenPrinter{printer.printerName(), std::max(1, printer.copyCount())};
}

QPageLayout qtQueueLayout(const QString &name)
{
    return QPrinter(QPrinterInfo::printerInfo(name), QPrinter::HighResolution).pageLayout();
}

}  // namespace rotamet::print::support
