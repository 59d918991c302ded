// Linux: the print support module, loaded on first use from the first of its
// places that holds it: beside the program as installed (../lib/rotamet/),
// then where the build made it.
#pragma once

#include <QStringList>

#include "print/support/printsupport.h"

namespace rotamet::print {

// The module's places for this program, the installed one first.
QStringList printSupportPlaces();

// Loads the module in `file` and gives its functions. Raises 482, naming the
// file and the cause, when it is missing or does not load.
const support::Functions &loadPrintSupport(const QString &file);

// The module of the first of printSupportPlaces() that exists, loaded once
// for the whole program; after a failure the next call tries again.
const support::Functions &printSupport();

}  // namespace rotamet::print
