// The calculation run: reads every input from the window, writes every
// result back. Steps 1-20 rotation timing, 21-40 cam conversions, 41-42 the
// command-time strip. Keeps no state between runs.
#pragma once

#include <string>

#include "calc/formview.h"
#include "numtext/runtimeerror.h"

namespace rotamet::calc {

// One run of the calculation (the body of cmdCalcola_Click).
// Error policy, per step: division by zero skips the rest of the step
// silently; any other run-time error shows the "Errore di calcolo" box and
// skips the step. A run (with the runs nested in it) shows at most one box.
void Calcola(FormView &form);

// The calculation's error box: "Errore 13  Tipo non corrispondente" under
// this title. The window shows its own failures the same way.
inline constexpr const char *kErrorTitle = "Errore di calcolo";
std::string errorText(const RunTimeError &error);

// "Stampa su: " with the current printer's name and second identifying text;
// "Stampa su: " alone while the printer is not known, or there is none to ask.
std::string printToolTip(FormView &form);

// The cam lift, half the difference of the two shaft dimensions in single
// precision, as pattern text with two decimals ("4,80").
std::string liftText(float minAlbero, float maxAlbero);

// While an ErrorBoxScope is alive, all the runs made inside it share one
// message box: after the first box no further calculation box is shown until
// the outermost scope ends. Calcola opens one itself; a procedure that runs
// the calculation many times for one user action (printing) opens one around
// all of them.
class ErrorBoxScope {
public:
    ErrorBoxScope();
    ~ErrorBoxScope();
    ErrorBoxScope(const ErrorBoxScope &) = delete;
    ErrorBoxScope &operator=(const ErrorBoxScope &) = delete;

    // True when no box has been shown yet in the outermost scope; marks it shown.
    static bool claimBox();
    // True when a box has been shown in the outermost scope alive now.
    static bool boxShown();
};

}  // namespace rotamet::calc
