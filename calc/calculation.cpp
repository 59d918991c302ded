// The calculation run. Owns the order of the steps, the run's working values
// and the error policy; reads and writes the window only through FormView.
// Steps 1-20: printer tooltip, empty speed, cam lift, rotation timing.
// Steps 21-40: conversions between command angle, stroke and command time.
// Steps 41-42: the command-time strip.
#include "calc/calculation.h"

#include <optional>
#include <string>

#include "numtext/numtext.h"

namespace rotamet::calc {

namespace {

int g_scopeDepth = 0;
bool g_boxShown = false;

constexpr const char *kTwoDecimals = "##,##0.#0";
constexpr const char *kThreeDecimals = "##,##0.#00";
constexpr const char *kStroke = "##,##0.##0";
constexpr const char *kAngleField = "##,##0.0°";
constexpr const char *kAngleOneOrTwo = "##,##0.0#°";
constexpr const char *kAngleTwo = "##,##0.#0°";
constexpr const char *kDegree = "°";

// A working value that may still be unset. Unset counts as 0 in arithmetic
// and is written as empty text.
using Value = std::optional<double>;
using Text = std::optional<std::string>;

double num(const Value &v) { return v.value_or(0.0); }
double num(const Text &t) { return t ? ParseDouble(*t) : 0.0; }
std::string text(const Text &t) { return t.value_or(std::string()); }
std::string pattern(const Value &v, const char *p) { return v ? PatternText(*v, p) : std::string(); }

class Run {
public:
    explicit Run(FormView &form) : f(form) {}

    void execute();

private:
    // One numbered step: the unit of the error policy. A division by zero
    // abandons the step silently (quotient() gives nothing and the step ends
    // there); any other error shows the box (once for the whole run) and the
    // step is skipped. A step is never retried.
    template <class Body>
    void step(Body &&body)
    {
        try {
            body();
        } catch (const RunTimeError &e) {
            if (e.code() == errcode::DivisionByZero)
                return;
            if (ErrorBoxScope::claimBox())
                f.showCriticalBox(errorText(e), kErrorTitle);
        }
    }

    // into = a / b; a zero divisor leaves into as it was and the step ends.
    template <class T>
    static void quotientInto(T &into, double a, double b)
    {
        if (const Value q = quotient(a, b))
            into = *q;
    }

    FormView &f;

    Text fineAlzata;
    float minAlbero = 0;
    float maxAlbero = 0;
    Text corsaAlzata;
    std::int32_t giri = 0;
    Value hertz;
    Value secondiGiro;
    double msGiro = 0;
    std::int16_t alzateGiro = 0;
    Value msAlzata;
    Value msQuartoGiro;
    Value gradiMs;
    Value mmDaAngolo;
    Value msDaAngolo;
    Value angoloDaMs;
    Value mmDaMs;
    Value angoloDaMm;
    Value msDaMm;
};

void Run::execute()
{
    // 1. Printer tooltip. Without a printer to ask, the tooltip names none
    //    and the run goes on without a message.
    f.setPrintToolTip(printToolTip(f));

    // 2. An empty speed becomes "0", selected. Writing the field runs a whole
    //    calculation nested here, through the field's change event.
    step([&] {
        if (f.fieldText(Field::GiriMinuto).empty()) {
            f.setFieldText(Field::GiriMinuto, "0");
            f.setSpeedSelection(0, 1);
        }
    });

    step([&] { fineAlzata = RemoveAll(f.valueCaption(6), kDegree); });  // 3
    step([&] { minAlbero = ParseSingle(f.valueCaption(3)); });          // 4
    step([&] { maxAlbero = ParseSingle(f.valueCaption(4)); });          // 5
    // 6. The lift in single precision, as the pump choice computes it.
    step([&] { corsaAlzata = liftText(minAlbero, maxAlbero); });
    step([&] { f.setValueCaption(5, text(corsaAlzata)); });            // 7
    step([&] { giri = ParseInt32(f.fieldText(Field::GiriMinuto)); });  // 8
    step([&] { hertz = checkedDiv(giri, 60); });                       // 9
    step([&] { quotientInto(secondiGiro, 1, num(hertz)); });           // 10
    step([&] { quotientInto(msGiro, 1000, num(hertz)); });             // 11
    step([&] {                                                         // 12
        if (f.optionSelected(0))
            alzateGiro = 1;
        else if (f.optionSelected(1))
            alzateGiro = 2;
        else if (f.optionSelected(2))
            alzateGiro = 3;
    });
    step([&] { f.setValueCaption(0, pattern(hertz, kTwoDecimals)); });                 // 13
    step([&] { f.setValueCaption(1, pattern(secondiGiro, kThreeDecimals)); });         // 14
    step([&] { f.setValueCaption(2, PatternText(msGiro, kTwoDecimals)); });            // 15
    step([&] { quotientInto(msAlzata, msGiro, alzateGiro); });                         // 16
    step([&] { f.setValueCaption(7, "ms " + pattern(msAlzata, kTwoDecimals)); });      // 17
    step([&] { msQuartoGiro = checkedDiv(msGiro, 4); });                               // 18
    step([&] { f.setValueCaption(8, "ms " + pattern(msQuartoGiro, kTwoDecimals)); });  // 19
    step([&] { quotientInto(gradiMs, 360, msGiro); });                                 // 20

    // Conversions between command angle, stroke and command time.
    step([&] { f.setFieldText(Field::Angolo, RemoveAll(f.fieldText(Field::Angolo), kDegree)); });  // 21
    step([&] {                                                                                     // 22
        const double angolo = ParseDouble(f.fieldText(Field::Angolo));
        if (const Value mmPerGrado = quotient(num(corsaAlzata), num(fineAlzata)))
            mmDaAngolo = checkedMul(angolo, *mmPerGrado);
    });
    step([&] { f.setValueCaption(9, "mm " + pattern(mmDaAngolo, kStroke)); });  // 23
    step([&] {                                                                  // 24
        msDaAngolo = checkedMul(ParseDouble(f.fieldText(Field::Angolo)), checkedDiv(num(msQuartoGiro), 90));
    });
    step([&] { f.setValueCaption(10, "ms " + pattern(msDaAngolo, kTwoDecimals)); });  // 25
    step([&] {                                                                        // 26
        f.setFieldText(Field::Angolo, PatternText(ParseDouble(f.fieldText(Field::Angolo)), kAngleField));
    });
    step([&] {  // 27
        f.setValueToolTip(
            9, "Millimetri di escursione del pompante con " + f.fieldText(Field::Angolo) + " di comando elettrico");
    });
    step([&] {  // 28
        f.setValueToolTip(10, "Millisecondi di comando elettrico corrispondenti a " + f.fieldText(Field::Angolo));
    });
    step([&] { angoloDaMs = checkedMul(ParseDouble(f.fieldText(Field::Millisecondi)), num(gradiMs)); });  // 29
    step([&] { f.setValueCaption(11, pattern(angoloDaMs, kAngleOneOrTwo)); });                            // 30
    step([&] {                                                                                            // 31
        f.setValueToolTip(11,
                          "Angolo corrispondente a " + f.fieldText(Field::Millisecondi) + " ms di comando elettrico");
    });
    step([&] {  // 32
        if (const Value mmPerGrado = quotient(num(corsaAlzata), num(fineAlzata)))
            mmDaMs = checkedMul(num(angoloDaMs), *mmPerGrado);
    });
    step([&] { f.setValueCaption(12, "mm " + pattern(mmDaMs, kThreeDecimals)); });  // 33
    step([&] {                                                                      // 34
        f.setValueToolTip(12,
                          "Millimetri di escursione del pompante con " + f.fieldText(Field::Millisecondi)
                              + " ms di comando elettrico");
    });
    step([&] {  // 35
        const double mm = ParseDouble(f.fieldText(Field::Millimetri));
        if (const Value gradiPerMm = quotient(num(fineAlzata), num(corsaAlzata)))
            angoloDaMm = checkedMul(mm, *gradiPerMm);
    });
    step([&] { f.setValueCaption(13, pattern(angoloDaMm, kAngleTwo)); });  // 36
    step([&] {                                                             // 37
        f.setValueToolTip(
            13, "Angolo di rotazione corrispondente a " + f.fieldText(Field::Millimetri) + " di corsa del pompante");
    });
    step([&] { msDaMm = checkedMul(num(angoloDaMm), checkedDiv(msGiro, 360)); });  // 38
    step([&] { f.setValueCaption(14, "ms " + pattern(msDaMm, kTwoDecimals)); });   // 39
    step([&] {                                                                     // 40
        f.setValueToolTip(14,
                          "Millisecondi di comando corrispondenti a " + f.fieldText(Field::Millimetri)
                              + " di corsa del pompante");
    });

    // The command-time strip: the command time of the stroke beyond the
    // fixed 700 µs, drawn one twip per microsecond up to 1700 µs. At 1700 µs
    // and above the strip keeps what it shows.
    double microsecondi = 0;
    step([&] {  // 41
        microsecondi = checkedMul(num(msDaMm), 1000);
        if (microsecondi < 700) {
            f.setShapeFill(2, Fill::ButtonFace());
            f.setShapeFill(3, Fill::ButtonFace());
        }
    });
    step([&] {  // 42
        if (microsecondi >= 700 && microsecondi < 1700) {
            double excess = checkedSub(microsecondi, 700);
            f.setShapeWidth(2, toSingle(excess));
            f.setShapeFill(2, Fill::Rgb(128, 255, 255));
            f.setCommandCaption(1, NumberText(excess) + " µs");
            f.setShapeFill(3, Fill::ButtonFace());
        }
    });
}

}  // namespace

std::string errorText(const RunTimeError &error)
{
    return "Errore " + NumberText(static_cast<std::int32_t>(error.code())) + "  " + error.description();
}

std::string printToolTip(FormView &form)
{
    try {
        const std::string name = form.printerDeviceName();
        if (name.empty())
            return "Stampa su: ";
        return "Stampa su: " + name + " " + form.printerSecondText();
    } catch (const RunTimeError &) {
        return "Stampa su: ";
    }
}

std::string liftText(float minAlbero, float maxAlbero)
{
    return PatternText(checkedDivF(checkedSubF(maxAlbero, minAlbero), 2.0f), kTwoDecimals);
}

ErrorBoxScope::ErrorBoxScope()
{
    if (g_scopeDepth++ == 0)
        g_boxShown = false;
}

ErrorBoxScope::~ErrorBoxScope()
{
    if (--g_scopeDepth == 0)
        g_boxShown = false;
}

bool ErrorBoxScope::claimBox()
{
    if (g_boxShown)
        return false;
    g_boxShown = true;
    return true;
}

bool ErrorBoxScope::boxShown() { return g_scopeDepth > 0 && g_boxShown; }

void Calcola(FormView &form)
{
    ErrorBoxScope scope;
    Run(form).execute();
}

}  // namespace rotamet::calc
