// "Copia tabelle": the page's tables (print/tablecopy.h) on the clipboard,
// as tab-separated text and as an HTML table, through the platform
// services; then a short note beside the control the user copied from
// ("Tabelle copiate negli appunti"), which goes by itself: no box to close.
#pragma once

#include <string>
#include <vector>

class QWidget;

namespace rotamet {

class PlatformServices;

inline constexpr const char *kTablesCopiedNote = "Tabelle copiate negli appunti";

// lines: the texts of a printed page, line by line (print/pagecapture.h).
void copyTables(PlatformServices &services, const std::vector<std::vector<std::string>> &lines, QWidget &noteBeside);

}  // namespace rotamet
