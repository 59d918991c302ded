// Prints the page on the system's default print queue through the program's
// own printer, as the print button does, and checks what the user is told.
// Usage: cupsprint QUEUE [refused]. Exit 0 when the queue took the page, or,
// with "refused", when a queue that refuses jobs ended the print silently
// (printer error 482: no message, the window not restored).
#include <cstdio>

#include <QGuiApplication>
#include <QPrinterInfo>

#include "print/qtprinter.h"
#include "print/stampascala.h"
#include "support/modelform.h"

using namespace rotamet::print;

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: cupsprint QUEUE [refused]\n");
        return 2;
    }
    const std::string queue = argv[1];
    const bool refused = argc == 3 && std::string(argv[2]) == "refused";

    const QString system = QPrinterInfo::defaultPrinter().printerName();
    if (system.toStdString() != queue) {
        std::fprintf(stderr, "FAIL: the default queue is '%s', not '%s'\n", qPrintable(system), queue.c_str());
        return 1;
    }
    const auto printer = std::make_unique<QtPrinter>();
    printer->lookUp();
    if (!printer->waitForLookup(QtPrinter::kLookupTimeout)) {
        std::fprintf(stderr, "FAIL: the print server did not answer\n");
        return 1;
    }
    std::printf("Stampa su: %s %s\n", printer->deviceName().c_str(), printer->secondText().c_str());
    if (printer->deviceName() != queue) {
        std::fprintf(stderr, "FAIL: the printer names itself '%s'\n", printer->deviceName().c_str());
        return 1;
    }

    ModelForm form(*printer);
    StampaScala(form);
    for (const auto &box : form.boxes)
        std::printf("%s: %s\n", box.title.c_str(), box.text.c_str());
    if (refused) {
        if (!form.boxes.empty() || form.fields[rotamet::calc::Field::Angolo] != "90,0°") {
            std::fprintf(stderr, "FAIL: a refused job must end the print silently, not restored\n");
            return 1;
        }
        return 0;
    }
    const std::string expected = "Stampa effettuata su '" + queue + "'";
    if (form.boxes.size() != 1 || form.boxes[0].critical || form.boxes[0].text != expected) {
        std::fprintf(stderr, "FAIL: expected the one message \"%s\"\n", expected.c_str());
        return 1;
    }
    return 0;
}
