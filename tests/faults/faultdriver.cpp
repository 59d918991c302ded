// One user action through the real window, for the fault-injection harness
// (tests/faults/run-faults.py), which fails or delays the program's system
// calls during it, or kills it at one. The boxes the user is shown are
// recorded and printed, not shown; the dialogs of the action are answered;
// the printer is the system's own, as the program has it.
//
// Usage: faultdriver SCENARIO PUMP-FILE [PDF-FILE]
//   pump    "Aggiungi pompa…" from the pump list's menu, the dialog filled in
//           by the keyboard (the code ROTAMET_FAULT_CODE, else 0445010800;
//           37,35; 46,95; 110) and Enter
//   pdf     "Salva come PDF…" from the menu of "stampa", the save dialog
//           answered with PDF-FILE
//   print   a click on "stampa": the system's default queue, or, with no
//           print server, the documents folder
// Once the window is up and the printer lookup has answered, the driver
// prints "READY" and waits for a line on its input, so that a tracer can
// attach first: only the action itself is then traced. Afterwards it prints
// each box as "BOX<tab>title<tab>text" (line ends as \n), "DIALOG-OPEN" when
// the pump dialog stayed open, "ACTION ms" (how long the action took), and
// "END", and ends as the program does
// (app/application.h: endProgram), with status 0. Status 3 means the action
// could not be driven at all (a menu or dialog that did not open).
// The harness fails the n-th call of a name in every thread, the window's
// thread too: a line whose write was failed is written again, so that the
// report outlives the fault it reports on.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

#include "app/application.h"
#include "support/controls.h"
#include "support/openmenu.h"
#include "support/printmenu.h"
#include "support/realprinterservices.h"
#include "window/frmmain.h"
#include "window/qtservices.h"

using namespace rotamet;

namespace {

using Services = RealPrinterServices;

// One line to the harness, written at once; a failed write is tried again.
void say(const QByteArray &line)
{
    const QByteArray text = line + '\n';
    qsizetype done = 0;
    for (int failures = 0; done < text.size() && failures < 5;) {
        const ssize_t n = ::write(STDOUT_FILENO, text.constData() + done, size_t(text.size() - done));
        if (n > 0)
            done += n;
        else if (errno != EINTR)
            ++failures;
    }
}

int cannotDrive(const char *what)
{
    say(QByteArray("DRIVER ") + what);
    return 3;
}

QString escaped(QString text) { return text.replace('\\', "\\\\").replace('\n', "\\n").replace('\t', "\\t"); }

// Types into whatever has the focus, then the key.
void typeThen(const char *text, Qt::Key key)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
    QTest::keyClick(QApplication::focusWidget(), key);
}

// "Aggiungi pompa…" from the list's menu (a right click on the list), the
// dialog filled in and confirmed; 3 when the menu or dialog did not open.
int addPump(FrmMain &form, const Controls &ui)
{
    QLineEdit *edit = ui.cboCodice->lineEdit();
    const QPoint at = edit->rect().center();
    QMenu *menu = openMenu(form, [&] {
        QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, edit->mapTo(&form, at));
    });
    if (!menu)
        return cannotDrive("the pump list's menu did not open");
    QAction *add = nullptr;
    for (QAction *a : menu->actions())
        if (a->objectName() == QStringLiteral("mnuAggiungiPompa"))
            add = a;
    if (!add)
        return cannotDrive("no \"Aggiungi pompa…\" in the list's menu");
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(add).center());
    QDialog *dialog = nullptr;
    if (!QTest::qWaitFor([&] { return (dialog = form.findChild<QDialog *>("dlgPompa")) && dialog->isVisible(); },
                         kWindowSystemWait)
        || !QTest::qWaitForWindowActive(dialog)
        || !QTest::qWaitFor([&] { return dialog->isAncestorOf(QApplication::focusWidget()); }, kWindowSystemWait))
        return cannotDrive("the pump dialog did not open");
    const QByteArray code = qEnvironmentVariable("ROTAMET_FAULT_CODE", "0445010800").toLatin1();
    typeThen(code.constData(), Qt::Key_Tab);
    typeThen("37,35", Qt::Key_Tab);
    typeThen("46,95", Qt::Key_Tab);
    typeThen("110", Qt::Key_Return);  // the change runs here, to its end
    if (QDialog *open = form.findChild<QDialog *>("dlgPompa"); open && open->isVisible()) {
        say("DIALOG-OPEN");
        QTest::keyClick(open, Qt::Key_Escape);
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3 || (std::string(argv[1]) == "pdf" && argc < 4)) {
        std::fprintf(stderr, "usage: faultdriver pump|pdf|print PUMP-FILE [PDF-FILE]\n");
        return 2;
    }
    const std::string scenario = argv[1];
    setUpApplication();
    Services services;
    services.pumpFile = QString::fromLocal8Bit(argv[2]);
    if (argc > 3)
        services.pdfFile = QString::fromLocal8Bit(argv[3]);
    FrmMain form(services);
    services.real.setMainWindow(&form);
    const Controls ui(form);
    form.load();
    if (!QTest::qWaitForWindowActive(&form))
        return cannotDrive("the window is not active");
    // The lookup that the window starts once it shows: answered (a queue, or
    // the documents folder's next file), or given up on.
    (void)QTest::qWaitFor([&] { return ui.cmdStampa->toolTip() != QStringLiteral("Stampa su: "); }, 12000);
    // Boxes of the start (lines of the pump file skipped) are not the action's.
    services.boxes.clear();

    say("READY");
    std::string go;
    std::getline(std::cin, go);
    QElapsedTimer action;
    action.start();

    int status = 0;
    if (scenario == "pump") {
        status = addPump(form, ui);
    } else if (scenario == "pdf") {
        if (!pickFromPrintMenu(form, *ui.cmdStampa, "mnuStampaPdf", Way::RightClickAndMouse))
            status = cannotDrive("\"Salva come PDF…\" could not be picked");
    } else if (scenario == "print") {
        QTest::mouseClick(ui.cmdStampa, Qt::LeftButton);
    } else {
        std::fprintf(stderr, "unknown scenario %s\n", scenario.c_str());
        return 2;
    }
    for (const auto &box : services.boxes)
        say("BOX\t" + escaped(box.title).toUtf8() + '\t' + escaped(box.text).toUtf8());
    // How long the action held the user, for the deadlines.
    say("ACTION " + QByteArray::number(action.elapsed()));
    say("END");
    return endProgram(status);
}
