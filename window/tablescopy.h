// "Copia tabelle": the page's tables (print/tablecopy.h) on the clipboard,
// as tab-separated text and as an HTML table, through the platform
// services; then a short note beside the control the user copied from
// ("Tabelle copiate negli appunti"), which goes by itself: no box to close.
#pragma once

#include <vector>

#include "print/printer.h"

class QWidget;

namespace rotamet {

class PlatformServices;

inline constexpr const char *kTablesCopiedNote = "Tabelle copiate negli appunti";

// cells: the table cells a print kept on its page (print/page.h).
void copyTables(PlatformServices &services, const std::vector<print::TableCell> &cells, QWidget &noteBeside);

}  // namespace rotamet
