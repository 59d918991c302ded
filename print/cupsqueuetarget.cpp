#include "print/cupsqueuetarget.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <optional>

#include "numtext/runtimeerror.h"
#include "print/cupsclient.h"
#include "print/page.h"
#include "print/pdfwriting.h"

namespace rotamet::print {

CupsQueueTarget::CupsQueueTarget(queue::Queue queue, int copies) : queue_(std::move(queue)), copies_(copies) {}

PrintTarget::Handed CupsQueueTarget::deliver(const Page &page)
{
    // The queue's own paper and printable area.
    QPageLayout layout
        = QPrinter(QPrinterInfo::printerInfo(QString::fromStdString(queue_.name)), QPrinter::HighResolution)
              .pageLayout();
    layout.setOrientation(page.orientation);

    QTemporaryFile file(QDir(QDir::tempPath()).filePath("Rotamet-XXXXXX.pdf"));
    const bool opened = file.open();
    std::optional<FileUnderWay> noted;
    if (opened)
        noted.emplace(file.fileName());
    if (!opened || !writePdf(page, layout, file) || !file.flush())
        throw RunTimeError(errcode::PrinterError, "Errore della stampante: la pagina non è stata composta");
    file.close();

    std::string reason;
    if (cups::printFile(queue_.name, QFile::encodeName(file.fileName()).toStdString(), "Rotamet", copies_, reason)
        == 0) {
        if (!queue::state(queue_.name).accepting)
            throw RunTimeError(errcode::PrinterError, "La coda non accetta lavori: la pagina è stata rifiutata.");
        throw RunTimeError(errcode::PrinterError, "Errore della stampante: " + reason);
    }
    return {queue_.name, queue::state(queue_.name).stopped ? queue::kWaitsWhilePaused : std::string()};
}

}  // namespace rotamet::print
