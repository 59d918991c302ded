#include "window/tablescopy.h"

#include <QToolTip>
#include <QWidget>

#include "print/tablecopy.h"
#include "window/services.h"

namespace rotamet {

namespace {
constexpr int kNoteMilliseconds = 4000;
}

void copyTables(PlatformServices &services, const std::vector<print::TableCell> &cells, QWidget &noteBeside)
{
    const print::PageTables tables = print::pageTables(cells);
    services.copyToClipboard(print::tabSeparatedText(tables), print::htmlTable(tables));
    QToolTip::showText(noteBeside.mapToGlobal(QPoint(0, noteBeside.height())), QString::fromUtf8(kTablesCopiedNote),
                       &noteBeside, {}, kNoteMilliseconds);
}

}  // namespace rotamet
