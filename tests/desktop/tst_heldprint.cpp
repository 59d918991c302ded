// A print server that answers the printer lookup and then holds the page
// (tests/cups/held-page-proxy.py in front of a private print server, reached
// through CUPS_SERVER; tests/desktop/run-held-print.sh sets it up), on a
// real window system with a window manager:
//  - the window's print gives the page up by the hand-over deadline, names
//    the printer, and gives the user's inputs back;
//  - Alt+F4 during that held print: the program (the real one) shows the
//    print's message, then ends by the deadline with status 0 and leaves no
//    temporary file.
// Environment: ROTAMET_HELD_QUEUE (the queue), ROTAMET_HELD_LOG (the proxy's
// log of operations; a file beside it named .letgo lets the held
// connections go), ROTAMET_PROGRAM (the program; Linux).
// The Windows build runs the first test under Wine, whose spooler reaches
// the same print server (tests/windows/run-held-winspool.sh).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <optional>

#include "app/application.h"
#include "support/controls.h"
#include "support/folderfiles.h"
#include "support/openmenu.h"
#include "support/realprinterservices.h"
#include "support/testmain.h"
#include "support/windowtexts.h"
#include "window/frmmain.h"
#include "window/qtservices.h"
#include "window/textbox.h"

using namespace rotamet;

namespace {

// The longest the user may wait for a held print to be given up: the
// hand-over deadline (30 s) and time to spare, well within 45 s.
constexpr int kGivenUpWithin = 45000;

QString env(const char *name) { return qEnvironmentVariable(name); }

using Services = RealPrinterServices;

bool pageHeld()
{
    QFile log(env("ROTAMET_HELD_LOG"));
    return log.open(QIODevice::ReadOnly) && log.readAll().contains("hold 0x");
}

// Lets the held connections go, so that the print's thread, still inside
// libcups, ends before the suite does.
void letGo()
{
    QFile trigger(env("ROTAMET_HELD_LOG") + ".letgo");
    if (trigger.open(QIODevice::WriteOnly))
        trigger.close();
}

// Lets the held page go when a test ends, before the window and its printer
// go: the print's thread, still inside the print library, then ends at once.
struct LetGoAtEnd {
    ~LetGoAtEnd() { letGo(); }
};

// What xdotool printed; nothing when it failed.
std::optional<QString> xdotool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

}  // namespace

class TestHeldPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QSKIP("needs a window system with a window manager (run-held-print.sh)");
        if (env("ROTAMET_HELD_QUEUE").isEmpty())
            QSKIP("no print server that holds the page (run-held-print.sh)");
        QVERIFY(installQtTranslations());
    }
    void cleanup() { letGo(); }

    void aPageTheServerHoldsIsGivenUpNamingThePrinter();
    void aCloseDuringAHeldPrintEndsTheProgramByTheDeadline();
};

void TestHeldPrint::aPageTheServerHoldsIsGivenUpNamingThePrinter()
{
    const QString queue = env("ROTAMET_HELD_QUEUE");
    Services services;
    FrmMain form(services);
    services.real.setMainWindow(&form);
    const Controls ui(form);
    const LetGoAtEnd letGoAtEnd;
    form.load();
    QVERIFY(QTest::qWaitForWindowActive(&form, kWindowSystemWait));
    // The lookup answers: the server passes it through.
    QTRY_VERIFY_WITH_TIMEOUT(ui.cmdStampa->toolTip().startsWith("Stampa su: " + queue), 15000);
    ui.txtGiriMinuto->setFocus();
    ui.txtGiriMinuto->selectAll();
    QTest::keyClicks(ui.txtGiriMinuto, "1234");
    const QStringList before = windowTexts(form);

    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(ui.cmdStampa, Qt::LeftButton);
    const qint64 took = clock.elapsed();
    QVERIFY2(pageHeld(), "the print server was never asked to take the page");
    QVERIFY2(took < kGivenUpWithin, qPrintable(QString("the print waited %1 ms").arg(took)));
    QCOMPARE(services.boxes.size(), std::size_t(1));
    const QString text = services.boxes[0].text;
    QVERIFY2(text.contains("La stampante '" + queue + "' non ha preso la pagina entro 30 secondi"), qPrintable(text));
    QVERIFY2(!text.contains("Success") && !text.contains("Stampa effettuata"), qPrintable(text));
    QCOMPARE(textDifferences(windowTexts(form), before), QString());
}

// The real program: Ctrl+P, and once the server holds the page, Alt+F4
// through the window manager. The print's message comes first; Enter closes
// it; the program then ends.
void TestHeldPrint::aCloseDuringAHeldPrintEndsTheProgramByTheDeadline()
{
#ifdef Q_OS_WIN
    QSKIP("Alt+F4 through the window manager: on X (run-held-print.sh)");
#endif
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkpath("Documents") && QDir(home.path()).mkpath("tmp"));
    QFile::remove(env("ROTAMET_HELD_LOG"));
    QProcess program;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("HOME", home.path());
    e.insert("TMPDIR", home.filePath("tmp"));
    e.remove("XDG_CONFIG_HOME");
    program.setProcessEnvironment(e);
    program.start(env("ROTAMET_PROGRAM"), {});
    QVERIFY(program.waitForStarted());
    // A failed check does not leave the program behind.
    const auto ended = qScopeGuard([&] {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    });
    const QString pid = QString::number(program.processId());
    const QString window
        = xdotool({"search", "--sync", "--onlyvisible", "--pid", pid}).value_or("").section('\n', 0, 0);
    QVERIFY2(!window.isEmpty(), "the program's window did not show");
    QVERIFY(xdotool({"windowactivate", "--sync", window}));
    // The print asks the server for the printer, then hands the page over.
    QVERIFY(xdotool({"key", "ctrl+p"}));
    QTRY_VERIFY_WITH_TIMEOUT(pageHeld(), 15000);
    QElapsedTimer sinceClose;
    sinceClose.start();
    QVERIFY(xdotool({"key", "alt+F4"}));
    // The print's message, once the print is given up: Enter closes it.
    QString box;
    QTRY_VERIFY_WITH_TIMEOUT(
        !(box = xdotool({"search", "--all", "--onlyvisible", "--pid", pid, "--name", "Stampa scala"}).value_or(""))
                .isEmpty()
            || program.state() == QProcess::NotRunning,
        kGivenUpWithin);
    QVERIFY2(!box.isEmpty(), "the program ended without the print's message");
    QVERIFY(xdotool({"windowactivate", "--sync", box.section('\n', 0, 0)}));
    QVERIFY(xdotool({"key", "Return"}));
    QVERIFY2(program.waitForFinished(int(std::max<qint64>(1000, kGivenUpWithin - sinceClose.elapsed()))),
             "the program did not end by the deadline");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(sinceClose.elapsed() < kGivenUpWithin, qPrintable(QString::number(sinceClose.elapsed())));
    QCOMPARE(files(home.filePath("tmp")), QStringList());
    QCOMPARE(files(home.filePath("Documents")), QStringList());
}

ROTAMET_TEST_MAIN(TestHeldPrint)
#include "tst_heldprint.moc"
