// Prints the page from the real window on the system's default print queue,
// through the program's own printer, as a user would: types a speed and an
// angle, clicks "stampa", and checks the one message and that the window
// shows the user's inputs and their results afterwards, as before the print.
// Usage: cupsprint QUEUE [refused|paused]. Without a mode the queue must take
// the page; "refused": a queue that refuses jobs; "paused": a disabled
// (paused) queue that holds the page.
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTest>

#include "print/qtprinter.h"
#include "support/controls.h"
#include "support/windowtexts.h"
#include "window/frmmain.h"
#include "window/recordingservices.h"
#include "window/textbox.h"

using namespace rotamet;

namespace {

void type(TextBox *field, const char *text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: cupsprint QUEUE [refused|paused]\n");
        return 2;
    }
    const QString queue = QString::fromLocal8Bit(argv[1]);
    const QString mode = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();

    const QString system = QPrinterInfo::defaultPrinter().printerName();
    if (system != queue) {
        std::fprintf(stderr, "FAIL: the default queue is '%s', not '%s'\n", qPrintable(system), qPrintable(queue));
        return 1;
    }
    const auto printer = std::make_unique<print::QtPrinter>();
    printer->lookUp();
    if (!printer->waitForLookup(print::QtPrinter::kLookupTimeout)) {
        std::fprintf(stderr, "FAIL: the print server did not answer\n");
        return 1;
    }
    if (QString::fromStdString(printer->deviceName()) != queue) {
        std::fprintf(stderr, "FAIL: the printer names itself '%s'\n", printer->deviceName().c_str());
        return 1;
    }

    RecordingServices services;
    services.printerInUse = printer.get();
    FrmMain form(services);
    const Controls ui(form);
    form.load();
    if (!QTest::qWaitForWindowActive(&form)) {
        std::fprintf(stderr, "FAIL: the window is not active\n");
        return 1;
    }
    type(ui.txtGiriMinuto, "1234");
    type(ui.txtAngolo, "12,5");
    QTest::keyClick(ui.txtAngolo, Qt::Key_Return);
    std::printf("%s\n", qPrintable(ui.cmdStampa->toolTip()));
    const QStringList before = windowTexts(form);

    QTest::mouseClick(ui.cmdStampa, Qt::LeftButton);

    int status = 0;
    for (const auto &box : services.boxes)
        std::printf("%s: %s\n", qPrintable(box.title), qPrintable(box.text));
    QString expected;
    BoxIcon icon = BoxIcon::Warning;
    if (mode == "refused") {
        expected = "La pagina non è stata stampata su '" + queue
            + "'.\nLa coda non accetta lavori: la pagina è stata rifiutata.";
    } else if (mode == "paused") {
        expected = "La pagina è stata consegnata a '" + queue
            + "', ma non viene stampata ora: la coda è sospesa, e la pagina vi attende finché non viene riattivata.";
    } else {
        expected = "Stampa effettuata su '" + queue + "'";
        icon = BoxIcon::Information;
    }
    if (services.boxes.size() != 1 || services.boxes[0].title != "Stampa scala" || services.boxes[0].icon != icon
        || services.boxes[0].text != expected) {
        std::fprintf(stderr, "FAIL: expected the one message \"%s\"\n", qPrintable(expected));
        status = 1;
    }
    const QString changed = textDifferences(windowTexts(form), before);
    if (!changed.isEmpty()) {
        std::fprintf(stderr, "FAIL: the window is not as before the print:%s\n", qPrintable(changed));
        status = 1;
    }
    return status;
}
