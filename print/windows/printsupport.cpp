// Windows: Qt's print support is linked in.
#include "print/support/printsupport.h"

namespace rotamet::print {

std::optional<ChosenPrinter> choosePrinter(QWidget *parent) { return support::qtChoosePrinter(parent); }

QPageLayout queueLayout(const QString &name) { return support::qtQueueLayout(name); }

}  // namespace rotamet::print
