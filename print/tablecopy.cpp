#include "print/tablecopy.h"

#include <algorithm>
#include <optional>

namespace rotamet::print {

namespace {

// A printed figure split into its number and its unit.
struct Figure {
    QString number;
    QString unit;
};

// "mm 0,400", "ms 0,47" (the unit before), "9,60 mm", "110°", "7,0°" (after);
// a text without a unit stays whole.
Figure figure(const QString &printed)
{
    const QString text = printed.trimmed();
    for (const QString &unit : {QStringLiteral("mm"), QStringLiteral("ms")}) {
        if (text.startsWith(unit + ' '))
            return {text.mid(unit.size() + 1).trimmed(), unit};
        if (text.endsWith(' ' + unit))
            return {text.chopped(unit.size() + 1).trimmed(), unit};
    }
    if (text.endsWith(QStringLiteral("°")))
        return {text.chopped(1).trimmed(), QStringLiteral("°")};
    return {text, {}};
}

// A printed text that only joins figures, as " mm / " and " mm" after the
// shaft's dimensions: its unit, else nothing.
std::optional<QString> joiningUnit(const QString &printed)
{
    QString text = printed.trimmed();
    if (text.endsWith('/'))
        text = text.chopped(1).trimmed();
    for (const QString &unit : {QStringLiteral("mm"), QStringLiteral("ms"), QStringLiteral("°")})
        if (text == unit)
            return unit;
    return std::nullopt;
}

QString titled(const QString &title, const QString &unit)
{
    return unit.isEmpty() ? title : title + QStringLiteral(" (") + unit + ')';
}

bool hasDigit(const QString &s)
{
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.isDigit(); });
}

bool isNumber(const QString &s)
{
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c.isDigit(); });
}

// A header line: labels that end in ':', each followed by its values.
void addHeaderLine(PageTables &tables, const std::vector<QString> &texts)
{
    std::optional<TableRow> row;
    QString label, unit;
    const auto finish = [&] {
        if (row) {
            row->cells.prepend(titled(label, unit));
            tables.push_back(*row);
        }
        row.reset();
        unit.clear();
    };
    for (const QString &text : texts) {
        if (text.trimmed().endsWith(':')) {
            finish();
            label = text.trimmed().chopped(1);
            row.emplace(TableRow{TableRow::Header, {}});
        } else if (row) {
            if (const std::optional<QString> joining = joiningUnit(text)) {
                unit = *joining;
                continue;
            }
            const Figure f = figure(text);
            row->cells << f.number;
            if (!f.unit.isEmpty())
                unit = f.unit;
        }
    }
    finish();
}

}  // namespace

PageTables pageTables(const std::vector<std::vector<std::string>> &lines)
{
    PageTables header, tables;
    std::optional<std::size_t> titles;  // of the table being read
    bool commandTaken = false;
    for (const std::vector<std::string> &line : lines) {
        std::vector<QString> texts;
        for (const std::string &s : line)
            texts.push_back(QString::fromStdString(s));
        if (texts.empty())
            continue;
        if (std::none_of(texts.begin(), texts.end(), hasDigit)) {
            // A table's column titles; the units come with its first row.
            tables.push_back({TableRow::Gap, {}});
            TableRow row{TableRow::Titles, {}};
            for (const QString &t : texts)
                row.cells << t.trimmed();
            titles = tables.size();
            tables.push_back(row);
        } else if (titles && isNumber(texts.front().trimmed())) {
            TableRow row{TableRow::Row, {}};
            TableRow &heads = tables[*titles];
            const bool first = tables.size() == *titles + 1;
            for (std::size_t i = 0; i < texts.size(); ++i) {
                const Figure f = figure(texts[i]);
                row.cells << f.number;
                if (first && qsizetype(i) < heads.cells.size())
                    heads.cells[qsizetype(i)] = titled(heads.cells[qsizetype(i)], f.unit);
            }
            if (first && !commandTaken && row.cells.size() >= 3) {
                // The speed table holds the command on every row: its angle and stroke.
                header.push_back({TableRow::Header, {heads.cells[1], row.cells[1]}});
                header.push_back({TableRow::Header, {heads.cells[2], row.cells[2]}});
                commandTaken = true;
            }
            tables.push_back(row);
        } else if (!titles) {
            PageTables values;
            addHeaderLine(values, texts);
            header.insert(header.end(), values.begin(), values.end());
        }
        // Anything after the tables (the footer) is not copied.
    }
    header.insert(header.end(), tables.begin(), tables.end());
    return header;
}

QString tabSeparatedText(const PageTables &tables)
{
    QString text;
    for (const TableRow &row : tables)
        text += row.cells.join('\t') + '\n';
    return text;
}

QString htmlTable(const PageTables &tables)
{
    qsizetype columns = 1;
    for (const TableRow &row : tables)
        columns = std::max(columns, row.cells.size());
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>\n<table border=\"1\">\n");
    for (const TableRow &row : tables) {
        html += QStringLiteral("<tr>");
        if (row.kind == TableRow::Gap)
            html += QStringLiteral("<td colspan=\"%1\"></td>").arg(columns);
        for (qsizetype i = 0; i < row.cells.size(); ++i) {
            // A header row's first cell is its title.
            const bool title = row.kind == TableRow::Titles || (row.kind == TableRow::Header && i == 0);
            const QString tag = title ? QStringLiteral("th") : QStringLiteral("td");
            html += '<' + tag + '>' + row.cells[i].toHtmlEscaped() + QStringLiteral("</") + tag + '>';
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n</body></html>\n");
    return html;
}

}  // namespace rotamet::print
