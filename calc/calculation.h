// The calculation run: reads every input from the window, writes every
// result back. Steps 1-20 rotation timing, 21-40 cam conversions, 41-42 the
// command-time strip. Keeps no state between runs.
#pragma once

#include "calc/calcform.h"

namespace rotamet::calc {

// One run of the calculation (the body of cmdCalcola_Click).
// Error policy, per step: division by zero skips the rest of the step
// silently; any other run-time error shows the "Errore di calcolo" box and
// skips the step. A run (with the runs nested in it) shows at most one box.
void Calcola(CalcForm &form);

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
};

}  // namespace rotamet::calc
