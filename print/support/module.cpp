// The print support module (Linux): Qt's print support behind one entry point.
#include <QtGlobal>

#include "print/support/printsupport.h"

extern "C" Q_DECL_EXPORT const rotamet::print::support::Functions *rotamet_print_support()
{
    using namespace rotamet::print::support;
    static const Functions functions{kVersion, &qtChoosePrinter, &qtQueueLayout};
    return &functions;
}
