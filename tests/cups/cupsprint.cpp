// Prints the page from the real window on the system's default print queue,
// through the program's own printer, as a user would: types a speed and an
// angle, clicks "stampa", and checks the one message and that the window
// shows the user's inputs and their results afterwards, as before the print.
// Usage: cupsprint QUEUE [refused|paused|chosen SECOND]. Without a mode the
// queue must take the page; "refused": a queue that refuses jobs; "paused": a
// disabled (paused) queue that holds the page; "chosen": "Stampa su…" from
// the menu of "stampa", and in the program's own print dialog, which opens on
// QUEUE, the queue SECOND and 2 copies.
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "print/defaultprinter.h"
#include "print/pagecomposer.h"
#include "support/controls.h"
#include "support/recordingservices.h"
#include "support/windowtexts.h"
#include "window/frmmain.h"
#include "window/qtservices.h"
#include "window/textbox.h"

using namespace rotamet;

namespace {

void type(TextBox *field, const char *text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

// Boxes recorded, the print dialog the program's own.
struct Services : RecordingServices {
    QtServices real;
    std::optional<PrinterChoice> choosePrinter() override { return real.choosePrinter(); }
};

// Answers the print dialog as a user does: the printer from its list, the
// copies, then Enter. Notes the printer it opened on. Asynchronous, so that
// nothing waits inside the timer's own event.
class PrintDialogAnswer : public QObject {
public:
    PrintDialogAnswer(QString printer, int count) : printer_(std::move(printer)), copies_(count)
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
            auto *list = dialog ? dialog->findChild<QComboBox *>("printers") : nullptr;
            auto *copies = dialog ? dialog->findChild<QSpinBox *>("copies") : nullptr;
            if (!list || !copies || answered)
                return;
            answered = true;
            openedOn = list->currentText();
            list->setCurrentIndex(list->findText(printer_));
            copies->setValue(copies_);
            QMetaObject::invokeMethod(
                this, [dialog] { QTest::keyClick(dialog, Qt::Key_Return); }, Qt::QueuedConnection);
        });
        timer_.start(50);
    }
    bool answered = false;
    QString openedOn;

private:
    QString printer_;
    int copies_;
    QTimer timer_;
};

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: cupsprint QUEUE [refused|paused|chosen SECOND]\n");
        return 2;
    }
    const QString queue = QString::fromLocal8Bit(argv[1]);
    const QString mode = argc >= 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString second = argc == 4 ? QString::fromLocal8Bit(argv[3]) : QString();

    const QString system = QPrinterInfo::defaultPrinter().printerName();
    if (system != queue) {
        std::fprintf(stderr, "FAIL: the default queue is '%s', not '%s'\n", qPrintable(system), qPrintable(queue));
        return 1;
    }
    const auto printer = std::make_unique<print::PageComposer>();
    print::DefaultPrinter &lookup = *printer->defaultPrinter();
    lookup.lookUp();
    if (lookup.waitForAnswer(print::DefaultPrinter::kLookupTimeout) != work::Waited::Done) {
        std::fprintf(stderr, "FAIL: the print server did not answer\n");
        return 1;
    }
    if (QString::fromStdString(printer->deviceName()) != queue) {
        std::fprintf(stderr, "FAIL: the printer names itself '%s'\n", printer->deviceName().c_str());
        return 1;
    }

    Services services;
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

    int status = 0;
    if (mode == "chosen") {
        const PrintDialogAnswer user(second, 2);
        QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, ui.cmdStampa->mapTo(&form, QPoint(10, 10)));
        QMenu *menu = nullptr;
        if (!QTest::qWaitFor([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); })) {
            std::fprintf(stderr, "FAIL: the menu of \"stampa\" did not open\n");
            return 1;
        }
        QTest::keyClick(menu, Qt::Key_U);  // "Stampa s&u…"
        if (!user.answered) {
            std::fprintf(stderr, "FAIL: no print dialog\n");
            return 1;
        }
        if (user.openedOn != queue) {
            std::fprintf(stderr, "FAIL: the print dialog opened on '%s'\n", qPrintable(user.openedOn));
            status = 1;
        }
    } else {
        QTest::mouseClick(ui.cmdStampa, Qt::LeftButton);
    }

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
        expected = "Stampa effettuata su '" + (mode == "chosen" ? second : queue) + "'";
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
