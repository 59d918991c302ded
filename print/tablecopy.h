// The page's contents as a spreadsheet or a word processor takes them from
// the clipboard: the header's values, then each table with a row of column
// titles and its rows. Read from the texts a print printed, line by line
// (print/pagecapture.h), so every figure is the text the page prints, in
// Italian conventions; the unit of a figure ("mm 0,400", "3,80 mm", "7,0°")
// goes into its title ("Millimetri (mm)"), and the cell keeps the number
// alone ("0,400"), which a spreadsheet set to Italian reads as a number. The
// footer is left out. No widgets: a test reads the result directly.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace rotamet::print {

struct TableRow {
    enum Kind {
        Header,  // a value of the header: its title, then its values
        Titles,  // a table's column titles
        Row,     // a table's row
        Gap,     // between the header and a table, and between two tables
    };
    Kind kind = Row;
    QStringList cells;
};
using PageTables = std::vector<TableRow>;

// From the printed lines, e.g. {"Codice pompa: ", "0445010800", "Corsa di
// alzata: ", "9,60 mm"} gives {"Codice pompa", "0445010800"} and {"Corsa di
// alzata (mm)", "9,60"}; {"Giri al minuto", "Angolo di comando", "Millimetri
// ", "Millisecondi"} followed by {"2500", "7,0°", "mm 0,400", "ms 0,47"}
// gives the titles {"Giri al minuto", "Angolo di comando (°)", "Millimetri
// (mm)", "Millisecondi (ms)"} and the row {"2500", "7,0", "0,400", "0,47"}.
// The header ends with the command the speed table holds on every row: its
// angle and its stroke ({"Angolo di comando (°)", "7,0"}, {"Millimetri
// (mm)", "0,400"}).
PageTables pageTables(const std::vector<std::vector<std::string>> &lines);

// One row a line, the cells separated by tabs; an empty line between the
// header and each table.
QString tabSeparatedText(const PageTables &tables);
// The same rows as one HTML table: titles in <th>, figures in <td>.
QString htmlTable(const PageTables &tables);

}  // namespace rotamet::print
