#include "print/systemprinter.h"

#include "print/qtprinter.h"

namespace rotamet::print {

std::unique_ptr<Printer> makeSystemPrinter() { return std::make_unique<QtPrinter>(); }

}  // namespace rotamet::print
