// The printed timing table. Drives the window through FormView and draws
// through Printer; keeps only the user's speed and angle for the length of
// one run. Every position it computes goes through the checked arithmetic of
// runtimeerror.h, so a fault there is a run-time error like any other.
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
    p.print("Codice pompa: ", false);

    // The pump code: larger, bold and blue, 30 twips above the line.
    p.setFontBold(true);
    p.setFontSize(14);
    p.setCurrentX(2900);
    p.setForeColor(kBlue);
    moveDown(p, -30);
    p.print(form.pumpCode(), false);
    p.setForeColor(kBlack);
    p.setFontBold(false);
    p.setFontSize(12);
    moveDown(p, 30);
    p.setCurrentX(6000);
    p.print("Corsa di alzata: ", false);
    p.setFontBold(true);
    p.print(form.valueCaption(5) + " mm", true);

    p.setFontBold(false);
    p.setCurrentX(600);
    moveDown(p, 300);
    p.print("Dimensioni albero: ", false);
    p.setCurrentX(2900);
    p.setFontBold(true);
    p.print(form.valueCaption(3), false);
    p.setFontBold(false);
    p.print(" mm / ", false);
    p.setFontBold(true);
    p.print(form.valueCaption(4), false);
    p.setFontBold(false);
    p.print(" mm", false);
    p.setCurrentX(6000);
    p.print("Gradi di fine alzata: ", false);
    p.setFontBold(true);
    p.print(form.valueCaption(6), true);
}

void printSpeedTable(FormView &form, Printer &p)
{
    p.setFontBold(false);
    p.setCurrentX(700);
    moveDown(p, 500);
    p.setFontBold(true);
    p.print("Giri al minuto", false);
    p.setCurrentX(2900);
    p.print("Angolo di comando", false);
    p.setCurrentX(6000);
    p.print("Millimetri" + std::string(40, ' '), false);
    p.setCurrentX(8000);
    p.print("Millisecondi", true);
    moveDown(p, 250);
    p.setFontBold(false);

    // The speed field is the loop variable: 2500 down to 100.
    while (ParseInt16(form.fieldText(Field::GiriMinuto)) != 0) {
        p.setFontBold(isBoldSpeed(ParseDouble(form.fieldText(Field::GiriMinuto))));
        moveDown(p, 100);
        const std::string speed = form.fieldText(Field::GiriMinuto);
        alignRight(p, 1750, speed);
        p.setForeColor(kBlack);
        p.print(speed, false);
        p.setCurrentX(3500);
        p.setForeColor(kRed);
        p.print(form.fieldText(Field::Angolo), false);
        p.setCurrentX(6000);
        p.setForeColor(kDarkBlue);
        p.print(form.valueCaption(9), false);
        p.setCurrentX(8300);
        p.setForeColor(kPurple);
        p.print(form.valueCaption(10), true);

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
    p.print("Giri al minuto", false);
    p.setCurrentX(2900);
    p.print("Gradi di ritardo", false);
    p.setCurrentX(5500);
    p.print("Corsa pompante", false);
    p.setCurrentX(7800);
    p.print("MS equivalenti", true);
    p.setFontBold(false);

    for (std::int16_t angle = 15; angle <= 90; angle += 15) {
        form.setFieldText(Field::GiriMinuto, "1000");
        form.setFieldText(Field::Angolo, NumberText(angle));
        form.runCalculation();
        moveDown(p, 120);
        const std::string speed = form.fieldText(Field::GiriMinuto);
        alignRight(p, 1750, speed);
        p.print(speed, false);
        p.setCurrentX(3500);
        p.setForeColor(kRed);
        p.print(form.fieldText(Field::Angolo), false);
        p.setCurrentX(6000);
        p.setForeColor(kBlack);
        p.print(form.valueCaption(9), false);
        const std::string time = form.valueCaption(10);
        alignRight(p, 9200, time);
        p.print(time, true);
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
            form.showCriticalBox("Errore   " + NumberText(static_cast<std::int32_t>(e.code())) + "  " + e.description(),
                                 "Errore di stampa");
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

void StampaScala(FormView &form)
{
    run(form, [&]() -> Printer & { return form.printer(); });
}

void StampaScala(FormView &form, Printer &printer)
{
    run(form, [&]() -> Printer & { return printer; });
}

}  // namespace rotamet::print
