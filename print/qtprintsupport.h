// Qt's print support (QPrinter, QPrintDialog) for the two things that need it
// on every system: the print dialog of "Stampa su…" and a print queue's paper.
// On Linux they live in a module of their own (print/support/), loaded on
// their first use, so that starting the program never loads Qt's print
// support library; on Windows they are linked in.
#pragma once

#include <QPageLayout>
#include <QString>
#include <optional>

class QWidget;

namespace rotamet::print {

struct ChosenPrinter {
    QString name;
    int copies = 1;
};

// Qt's print dialog, modal over parent, on the default printer: the printer
// and the number of copies chosen; nothing when the user cancels. Raises 482
// when the print support cannot be loaded.
std::optional<ChosenPrinter> choosePrinter(QWidget *parent);

// The paper and printable area of the print queue `name`, as Qt's print
// support reads them from the print system. Raises 482 when the print support
// cannot be loaded.
QPageLayout queueLayout(const QString &name);

}  // namespace rotamet::print
