// The system's current printer: the default print queue when there is one,
// otherwise a PDF file in the user's documents folder.
#pragma once

#include <memory>

#include "print/printer.h"

namespace rotamet::print {

std::unique_ptr<Printer> makeSystemPrinter();

}  // namespace rotamet::print
