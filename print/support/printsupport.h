// Between the program and its print support module (Linux): the module's one
// entry point gives a table of its functions. The module and the program are
// built together, with the same compiler and Qt; kVersion tells a module left
// over from another build.
#pragma once

#include "print/qtprintsupport.h"

namespace rotamet::print::support {

constexpr int kVersion = 1;

struct Functions {
    int version;
    std::optional<ChosenPrinter> (*choosePrinter)(QWidget *parent);
    QPageLayout (*queueLayout)(const QString &name);
};

// The work itself, on Qt's print support (qtprintsupport.cpp).
std::optional<ChosenPrinter> qtChoosePrinter(QWidget *parent);
QPageLayout qtQueueLayout(const QString &name);

}  // namespace rotamet::print::support

// The module's entry point, looked up by this name.
#define ROTAMET_PRINT_SUPPORT_ENTRY "rotamet_print_support"
