#include "print/tablecopy.h"

#include <QStringList>
#include <algorithm>
#include <map>

namespace rotamet::print {

namespace {

// LibreOffice's number format for a cell: the language (1040, Italian), then
// the format "@", text.
constexpr const char *kTextForCalc = " sdnum=\"1040;0;@\"";
// Excel's: the number format "\@" as its own HTML writes it, in a style
// attribute in single quotes around the format's double ones.
constexpr const char *kTextForExcel = " style='mso-number-format:\"\\@\"'";

}  // namespace

PageTables pageTables(const std::vector<TableCell> &cells)
{
    // table -> row -> column -> cell
    std::map<int, std::map<int, std::map<int, const TableCell *>>> sorted;
    for (const TableCell &cell : cells)
        sorted[cell.table][cell.row].emplace(cell.column, &cell);

    PageTables rows;
    for (const auto &[table, tableRows] : sorted) {
        if (!rows.empty())
            rows.emplace_back();  // between two tables
        for (const auto &[row, columns] : tableRows) {
            std::vector<TableCell> copied;
            const int last = columns.rbegin()->first;
            for (int column = std::min(0, columns.begin()->first); column <= last; ++column) {
                const auto found = columns.find(column);
                copied.push_back(found != columns.end() ? *found->second
                                                        : TableCell{table, row, column, TableCell::Kind::Figure, {}});
            }
            rows.push_back(std::move(copied));
        }
    }
    return rows;
}

QString tabSeparatedText(const PageTables &tables)
{
    QString text;
    for (const std::vector<TableCell> &row : tables) {
        QStringList cells;
        for (const TableCell &cell : row)
            cells << QString::fromStdString(cell.text);
        text += cells.join('\t') + '\n';
    }
    return text;
}

QString htmlTable(const PageTables &tables)
{
    std::size_t columns = 1;
    for (const std::vector<TableCell> &row : tables)
        columns = std::max(columns, row.size());
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>\n<table border=\"1\">\n");
    for (const std::vector<TableCell> &row : tables) {
        html += QStringLiteral("<tr>");
        if (row.empty())
            html += QStringLiteral("<td colspan=\"%1\"></td>").arg(columns);
        for (const TableCell &cell : row) {
            const QString text = QString::fromStdString(cell.text).toHtmlEscaped();
            switch (cell.kind) {
            case TableCell::Kind::Title: html += QStringLiteral("<th>") + text + QStringLiteral("</th>"); break;
            case TableCell::Kind::Figure: html += QStringLiteral("<td>") + text + QStringLiteral("</td>"); break;
            case TableCell::Kind::Text:
                html += QStringLiteral("<td") + kTextForCalc + kTextForExcel + '>' + text + QStringLiteral("</td>");
                break;
            }
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n</body></html>\n");
    return html;
}

}  // namespace rotamet::print
