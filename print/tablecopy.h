// The page's tables as a spreadsheet or a word processor takes them from the
// clipboard, made from the cells the print kept on the page (Page::cells),
// never from its drawn texts: the header's values (table 0), one a row with
// its title, then each table with a row of column titles and its rows. Each
// figure is the text the page prints without its unit, in Italian
// conventions ("0,400"), which a spreadsheet set to Italian reads as a
// number; a code stays text. No widgets: a test reads the result directly.
#pragma once

#include <QString>
#include <vector>

#include "print/printer.h"

namespace rotamet::print {

// The rows as they are copied, each its cells from column 0; an empty row
// between two tables.
using PageTables = std::vector<std::vector<TableCell>>;

// The cells in order of table, row and column, whatever order they were
// said in; a cell said twice counts once (the first). A column missing in a
// row is an empty cell, so the columns after it keep their places; a row
// without cells is left out. E.g. {0,0,0,"Codice pompa"}, {0,0,1,
// "0445010800"}, {1,0,0,"Giri al minuto"}, {1,1,0,"2500"} gives the rows
// {"Codice pompa", "0445010800"}, {}, {"Giri al minuto"}, {"2500"}.
PageTables pageTables(const std::vector<TableCell> &cells);

// One row a line, the cells separated by tabs; an empty line between two
// tables: "Codice pompa\t0445010800\n\nGiri al minuto\n2500\n".
QString tabSeparatedText(const PageTables &tables);

// The same rows as one HTML table: titles in <th>, figures in plain <td>, and
// a text cell marked as text for LibreOffice (sdnum with the text format "@")
// and for Excel (mso-number-format "\@"), so that "0445010800" keeps its
// leading zero: <td sdnum="1040;0;@" style='mso-number-format:"\@"'>.
QString htmlTable(const PageTables &tables);

}  // namespace rotamet::print
