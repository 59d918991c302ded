// The printed timing table. Drives the window through FormView and draws
// through Printer; keeps only the user's speed and angle for the length of
// one run. Every position it computes goes through the checked arithmetic of
// runtimeerror.h, so a fault there is a run-time error like any other.
// Beside each text of its tables it says the table cell the text shows
// (Printer::tableCell): the header's values (table 0), the speed table (1)
// and the angle table (2).
#include "print/stampascala.h"

#include <cstdint>
#include <limits>
#include <optional>

#include "calc/calculation.h"
#include "numtext/numtext.h"
#include "work/job.h"

namespace rotamet::print {

namespace {

using calc::Field;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kDarkBlue{0, 0, 100};
constexpr Rgb kPurple{190, 0, 190};

constexpr const char *kContact = "rotamet@example.com";

using Kind = TableCell::Kind;
constexpr int kHeader = 0, kSpeeds = 1, kAngles = 2;

// The text just printed is this cell.
void cell(Printer &p, int table, int row, int column, Kind kind, const std::string &text)
{
    p.tableCell({table, row, column, kind, text});
}

// A title with its unit: "Millimetri (mm)"; none: "Giri al minuto".
std::string titled(const std::string &title, const std::string &unit)
{
    return unit.empty() ? title : title + " (" + unit + ")";
}

// A figure as the page prints it, without the unit its title holds:
// "mm 0,400" with "mm" gives "0,400", "7,0°" with "°" gives "7,0", and
// "4,80" stays as it is.
std::string figure(const std::string &printed, const std::string &unit)
{
    if (printed.starts_with(unit + ' '))
        return printed.substr(unit.size() + 1);
    if (printed.ends_with(unit))
        return printed.substr(0, printed.size() - unit.size());
    return printed;
}

// Prints a value's title, "Corsa di alzata: ", as the first cell of its row
// of the header.
void printLabel(Printer &p, int row, const std::string &title, const std::string &unit)
{
    p.print(title + ": ", false);
    cell(p, kHeader, row, 0, Kind::Title, titled(title, unit));
}

// Prints a figure and says its cell: the figure without its unit.
void printFigure(Printer &p, const std::string &printed, bool endLine, int table, int row, int column,
                 const std::string &unit = {})
{
    p.print(printed, endLine);
    cell(p, table, row, column, Kind::Figure, figure(printed, unit));
}

// The units of the tables' columns: speed, angle, stroke, time.
const std::string kUnits[] = {"", "°", "mm", "ms"};

// Prints a column's title (spaces after it, if any, are not part of it) and
// says its cell, in row 0 of its table, with the column's unit.
void printTitle(Printer &p, int table, int column, const std::string &title, bool endLine, std::size_t spaces = 0)
{
    p.print(title + std::string(spaces, ' '), endLine);
    cell(p, table, 0, column, Kind::Title, titled(title, kUnits[column]));
}

// The speed table's command, the same on every row, heads the header's
// values too.
constexpr const char *kCommandAngle = "Angolo di comando";
constexpr const char *kCommandStroke = "Millimetri";

// CurrentY = CurrentY + dy
void moveDown(Printer &p, float dy) { p.setCurrentY(toSingle(checkedAdd(p.currentY(), dy))); }

// CurrentX such that text, in the current font, ends at x = right.
void alignRight(Printer &p, float right, const std::string &text)
{
    p.setCurrentX(toSingle(checkedSub(right, p.textWidth(text))));
}

std::int16_t minus100(std::int16_t value)
{
    int result = value - 100;
    if (result < std::numeric_limits<std::int16_t>::min())
        throw RunTimeError(errcode::Overflow);
    return static_cast<std::int16_t>(result);
}

bool isBoldSpeed(double speed) { return speed == 2000 || speed == 1000 || speed == 500 || speed == 100; }

void printHeader(FormView &form, Printer &p)
{
    printLabel(p, 0, "Codice pompa", {});

    // The pump code: larger, bold and blue, 30 twips above the line.
    p.setFontBold(true);
    p.setFontSize(14);
    p.setCurrentX(2900);
    p.setForeColor(kBlue);
    moveDown(p, -30);
    const std::string code = form.pumpCode();
    p.print(code, false);
    cell(p, kHeader, 0, 1, Kind::Text, code);
    p.setForeColor(kBlack);
    p.setFontBold(false);
    p.setFontSize(12);
    moveDown(p, 30);
    p.setCurrentX(6000);
    printLabel(p, 1, "Corsa di alzata", "mm");
    p.setFontBold(true);
    const std::string lift = form.valueCaption(5);
    p.print(lift + " mm", true);
    cell(p, kHeader, 1, 1, Kind::Figure, lift);

    p.setFontBold(false);
    p.setCurrentX(600);
    moveDown(p, 300);
    printLabel(p, 2, "Dimensioni albero", "mm");
    p.setCurrentX(2900);
    p.setFontBold(true);
    printFigure(p, form.valueCaption(3), false, kHeader, 2, 1);
    p.setFontBold(false);
    p.print(" mm / ", false);
    p.setFontBold(true);
    printFigure(p, form.valueCaption(4), false, kHeader, 2, 2);
    p.setFontBold(false);
    p.print(" mm", false);
    p.setCurrentX(6000);
    printLabel(p, 3, "Gradi di fine alzata", "°");
    p.setFontBold(true);
    printFigure(p, form.valueCaption(6), true, kHeader, 3, 1, "°");
}

void printSpeedTable(FormView &form, Printer &p)
{
    p.setFontBold(false);
    p.setCurrentX(700);
    moveDown(p, 500);
    p.setFontBold(true);
    printTitle(p, kSpeeds, 0, "Giri al minuto", false);
    p.setCurrentX(2900);
    printTitle(p, kSpeeds, 1, kCommandAngle, false);
    p.setCurrentX(6000);
    printTitle(p, kSpeeds, 2, kCommandStroke, false, 40);
    p.setCurrentX(8000);
    printTitle(p, kSpeeds, 3, "Millisecondi", true);
    moveDown(p, 250);
    p.setFontBold(false);

    // The speed field is the loop variable: 2500 down to 100.
    for (int row = 1; ParseInt16(form.fieldText(Field::GiriMinuto)) != 0; ++row) {
        p.setFontBold(isBoldSpeed(ParseDouble(form.fieldText(Field::GiriMinuto))));
        moveDown(p, 100);
        const std::string speed = form.fieldText(Field::GiriMinuto);
        alignRight(p, 1750, speed);
        p.setForeColor(kBlack);
        printFigure(p, speed, false, kSpeeds, row, 0);
        p.setCurrentX(3500);
        p.setForeColor(kRed);
        const std::string angle = form.fieldText(Field::Angolo);
        printFigure(p, angle, false, kSpeeds, row, 1, kUnits[1]);
        if (row == 1) {
            cell(p, kHeader, 4, 0, Kind::Title, titled(kCommandAngle, kUnits[1]));
            cell(p, kHeader, 4, 1, Kind::Figure, figure(angle, kUnits[1]));
        }
        p.setCurrentX(6000);
        p.setForeColor(kDarkBlue);
        const std::string stroke = form.valueCaption(9);
        printFigure(p, stroke, false, kSpeeds, row, 2, kUnits[2]);
        if (row == 1) {
            cell(p, kHeader, 5, 0, Kind::Title, titled(kCommandStroke, kUnits[2]));
            cell(p, kHeader, 5, 1, Kind::Figure, figure(stroke, kUnits[2]));
        }
        p.setCurrentX(8300);
        p.setForeColor(kPurple);
        printFigure(p, form.valueCaption(10), true, kSpeeds, row, 3, kUnits[3]);

        // The field's change handling runs the calculation for the next speed.
        form.setFieldText(Field::GiriMinuto, NumberText(minus100(ParseInt16(form.fieldText(Field::GiriMinuto)))));
        form.processPendingEvents();
    }
}

void drawRule(Printer &p)
{
    p.setDrawWidth(2);
    const float y = p.currentY();
    p.line(700, y, 9700, y, kBlack);
}

void printAngleTable(FormView &form, Printer &p)
{
    moveDown(p, 400);
    // Still bold from the last speed row (100).
    p.setCurrentX(700);
    printTitle(p, kAngles, 0, "Giri al minuto", false);
    p.setCurrentX(2900);
    printTitle(p, kAngles, 1, "Gradi di ritardo", false);
    p.setCurrentX(5500);
    printTitle(p, kAngles, 2, "Corsa pompante", false);
    p.setCurrentX(7800);
    printTitle(p, kAngles, 3, "MS equivalenti", true);
    p.setFontBold(false);

    for (std::int16_t angle = 15, row = 1; angle <= 90; angle += 15, ++row) {
        form.setFieldText(Field::GiriMinuto, "1000");
        form.setFieldText(Field::Angolo, NumberText(angle));
        form.runCalculation();
        moveDown(p, 120);
        const std::string speed = form.fieldText(Field::GiriMinuto);
        alignRight(p, 1750, speed);
        printFigure(p, speed, false, kAngles, row, 0);
        p.setCurrentX(3500);
        p.setForeColor(kRed);
        printFigure(p, form.fieldText(Field::Angolo), false, kAngles, row, 1, kUnits[1]);
        p.setCurrentX(6000);
        p.setForeColor(kBlack);
        printFigure(p, form.valueCaption(9), false, kAngles, row, 2, kUnits[2]);
        const std::string time = form.valueCaption(10);
        alignRight(p, 9200, time);
        printFigure(p, time, true, kAngles, row, 3, kUnits[3]);
    }
}

// What a run keeps of the user's inputs.
struct Saved {
    std::int16_t speed;
    std::string angle;
};

// The user's speed and angle back in the window, and the calculation for them.
void restore(FormView &form, const Saved &saved)
{
    form.setFieldText(Field::Angolo, saved.angle);
    form.setFieldText(Field::GiriMinuto, NumberText(saved.speed));
    form.runCalculation();
}

// The page, from the printer set-up to EndDoc; false when it was not printed
// and nobody needs to be told (Printer::endDoc).
bool printPage(FormView &form, Printer &p)
{
    p.setOrientation(1);  // portrait
    p.setForeColor(kBlack);
    p.setFontSize(12);
    p.setFontName("Arial");
    p.setFontBold(false);
    p.setCurrentY(600);
    p.setCurrentX(600);

    printHeader(form, p);
    printSpeedTable(form, p);

    p.setForeColor(kBlack);
    moveDown(p, 300);
    drawRule(p);

    printAngleTable(form, p);

    moveDown(p, 250);
    drawRule(p);

    p.setFontSize(11);
    p.setCurrentX(1050);
    p.setCurrentY(15700);
    p.print(form.todayShortDate() + "    -   Progetto rotamet   -   Tempi e gradi di rotazione   -   " + kContact,
            true);
    return p.endDoc();
}

// What the printer says for a message, read once the page is done with: a
// printer that cannot say has nothing to add.
std::string askPrinter(Printer *p, std::string (Printer::*what)())
{
    if (!p)
        return {};
    try {
        return (p->*what)();
    } catch (const RunTimeError &) {
        return {};
    }
}

constexpr const char *kTitle = "Stampa scala";

// The print run, on the printer that printerFor gives once the inputs are read.
template <class PrinterFor>
void run(FormView &form, PrinterFor &&printerFor)
{
    // All the calculation runs of one print share one calculation error box:
    // a bad field shows it once, not once per row.
    calc::ErrorBoxScope oneBox;
    std::optional<Saved> saved;
    Printer *printer = nullptr;
    try {
        saved = Saved{ParseInt16(form.fieldText(Field::GiriMinuto)), form.fieldText(Field::Angolo)};

        form.setFieldText(Field::GiriMinuto, "2500");
        form.runCalculation();
        if (calc::ErrorBoxScope::boxShown()) {
            // The calculation's box has told the user what it cannot read;
            // a page of its figures would have empty columns.
            restore(form, *saved);
            return;
        }

        printer = &printerFor();
        const bool printed = printPage(form, *printer);
        restore(form, *saved);
        if (!printed)
            return;
    } catch (const PageMayStillCome &e) {
        // Given up at its deadline, after the page went out: it is not
        // said to be lost, since it may still come.
        if (printer)
            printer->killDoc();
        if (saved)
            restore(form, *saved);
        form.showWarningBox(e.description(), kTitle);
        return;
    } catch (...) {
        // Whatever failed, no half page stays behind and the user keeps
        // what they typed; then one box says why there is no page. An
        // exception that is no run-time error (memory ran out) is told as
        // one, with its code and description.
        const RunTimeError e = work::failureOf(std::current_exception());
        if (printer)
            printer->killDoc();
        if (saved)
            restore(form, *saved);
        if (e.code() == errcode::PrinterError) {
            const std::string name = askPrinter(printer, &Printer::deviceName);
            form.showWarningBox((name.empty() ? std::string("La pagina non è stata stampata.")
                                              : "La pagina non è stata stampata su '" + name + "'.")
                                    + "\n" + e.description(),
                                kTitle);
        } else {
            form.showCriticalBox(printErrorText(e), "Errore di stampa");
        }
        return;
    }

    const std::string name = askPrinter(printer, &Printer::deviceName);
    const std::string waiting = askPrinter(printer, &Printer::waitingReason);
    if (waiting.empty())
        form.showInformationBox("Stampa effettuata su '" + name + "'", kTitle);
    else
        form.showWarningBox(
            "La pagina è stata consegnata a '" + name + "', ma non viene stampata ora: " + waiting + ".", kTitle);
}

}  // namespace

std::string printErrorText(const RunTimeError &error)
{
    return "Errore   " + NumberText(static_cast<std::int32_t>(error.code())) + "  " + error.description();
}

void StampaScala(FormView &form)
{
    run(form, [&]() -> Printer & { return form.printer(); });
}

void StampaScala(FormView &form, Printer &printer)
{
    run(form, [&]() -> Printer & { return printer; });
}

}  // namespace rotamet::print
