#include "print/cups/cupsqueuetarget.h"

#include <QDir>
#include <QTemporaryFile>
#include <optional>

#include "numtext/runtimeerror.h"
#include "print/cups/cupsclient.h"
#include "print/page.h"
#include "print/qtprintsupport.h"
#include "print/targets/pdfwriting.h"
#include "print/targets/printqueue.h"
#include "work/failurecause.h"
#include "work/job.h"

namespace rotamet::print {

namespace {
// Empty when libcups gave up without a word from the server.
std::string causeOf(const std::string &reason)
{
    if (reason.empty())
        return "il server di stampa non ha accettato la pagina";
    return reason;
}
}  // namespace

bool CupsQueueTarget::send(const Page &page)
{
    // The queue's own paper and printable area.
    QPageLayout layout = queueLayout(QString::fromStdString(queue().name));
    layout.setOrientation(page.orientation);

    // The page is composed in the system's temporary folder; a full or
    // refused disk there is told as such.
    const QString folder = QDir::tempPath();
    QTemporaryFile file(QDir(folder).filePath("Rotamet-XXXXXX.pdf"));
    work::FailureCause cause = work::FailureCause::Unknown;
    std::optional<FileUnderWay> noted;
    bool composed = false;
    if (file.open()) {
        noted.emplace(file.fileName());
        composed = writePdfFile(file, page, layout, cause);
    } else {
        cause = work::lastFailureCause();
    }
    if (!composed) {
        const std::string why = work::causeText(cause);
        throw RunTimeError(errcode::PrinterError,
                           "Errore della stampante: la pagina non è stata composta"
                               + (why.empty() ? std::string()
                                              : " nella cartella temporanea '"
                                                    + QDir::toNativeSeparators(folder).toStdString() + "': " + why));
    }
    file.close();

    // From here on the page may reach the printer: not for a print given up.
    if (!work::commit())
        return false;
    std::string reason;
    if (cups::printFile(queue().name, QFile::encodeName(file.fileName()).toStdString(), "Rotamet", copies(), reason)
        == 0) {
        if (!queue::state(queue().name).accepting)
            throw RunTimeError(errcode::PrinterError, "La coda non accetta lavori: la pagina è stata rifiutata.");
        throw RunTimeError(errcode::PrinterError, "Errore della stampante: " + causeOf(reason));
    }
    return true;
}

}  // namespace rotamet::print
