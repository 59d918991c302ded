// The printer is looked up after the window is shown, off the window's
// thread: the "stampa" tooltip before and after the answer, a print pressed
// before the answer came, a print server that never answers, and libcups
// left unloaded until the lookup. The window runs on the program's own
// services and printer; only message boxes are noted instead of shown.
//
// The rows with a real default queue need a print server: run through
// tests/cups/run-cups-test.sh, which starts a private one and sets
// CUPS_SERVER and ROTAMET_TEST_QUEUE; without them those rows are skipped.
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "numtext/runtimeerror.h"
#include "print/cups/printsupportmodule.h"
#include "print/defaultprinter.h"
#include "print/qtprintsupport.h"
#include "print/targets/pdffoldertarget.h"
#include "support/controls.h"
#include "support/environmentsetting.h"
#include "support/notedboxes.h"
#include "support/testmain.h"
#include "support/windowtexts.h"
#include "window/frmmain.h"
#include "window/qtservices.h"
#include "window/textbox.h"

using namespace rotamet;

namespace {

struct Window {
    NotedBoxes services;
    FrmMain form{services};
    Controls ui{form};
    void open()
    {
        form.load();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }
    QString tooltip() const { return ui.cmdStampa->toolTip(); }
};

// A print server that takes the connection and never answers: a Unix socket
// that listens and never reads.
class SilentServer {
public:
    explicit SilentServer(const QString &path) : path_(QFile::encodeName(path))
    {
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path_.constData(), sizeof address.sun_path);
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(fd_, 8) != 0)
            close();
    }
    SilentServer(const SilentServer &) = delete;
    SilentServer &operator=(const SilentServer &) = delete;

    bool listening() const { return fd_ >= 0; }
    // A client waits in the queue (the kernel took its connection).
    bool hasCaller() const
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd_, &readable);
        timeval now{};
        return fd_ >= 0 && select(fd_ + 1, &readable, nullptr, nullptr, &now) > 0;
    }
    // Takes the clients waiting and keeps them, never answering: they stay
    // connected when the server closes.
    void holdCallers()
    {
        while (hasCaller())
            held_.push_back(accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC));
    }
    // Gone: a client waiting is cut off and the next one is refused.
    void close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    // The clients held are cut off too.
    ~SilentServer()
    {
        close();
        for (int fd : held_)
            ::close(fd);
    }

private:
    QByteArray path_;
    int fd_ = -1;
    std::vector<int> held_;
};

struct PaintCounter : QObject {
    explicit PaintCounter(int *count) : count_(count) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        *count_ += event->type() == QEvent::Paint;
        return false;
    }
    int *count_;
};

bool loaded(const char *library)
{
    void *handle = dlopen(library, RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

bool libcupsLoaded() { return loaded("libcups.so.2"); }

const QString kNoPrinter = "Stampa su: ";

}  // namespace

class TestPrinterLookup : public QObject {
    Q_OBJECT
private slots:
    void libcupsIsOpenedOnlyByTheLookup();
    void qtPrintSupportIsLoadedOnFirstUse();
    void aPrintSupportThatDoesNotLoadIsNamed_data();
    void aPrintSupportThatDoesNotLoadIsNamed();
    void tooltipBeforeAndAfterTheLookup_data();
    void tooltipBeforeAndAfterTheLookup();
    void printPressedBeforeTheLookupAnswered();
    void aPrintServerThatNeverAnswersLeavesTypingFree();
    void aPrintServerThatHangsCostsOnePrintOnly();
    void aSlowDocumentsFolderIsNoSilentPrintServer();

private:
    QTemporaryDir dir_;
};

// Start-up does not load the print client library: the window shows without
// it, and the lookup after the first show opens it.
void TestPrinterLookup::libcupsIsOpenedOnlyByTheLookup()
{
    const EnvironmentSetting none("CUPS_SERVER", QFile::encodeName(dir_.filePath("none.sock")));
    Window w;
    w.form.load();
    QVERIFY(!libcupsLoaded());
    QCOMPARE(w.tooltip(), kNoPrinter);
    QTRY_VERIFY(w.tooltip() != kNoPrinter);
    QVERIFY(libcupsLoaded());
}

// Neither start-up nor the lookup loads Qt's print support library: the
// first print to a queue (or "Stampa su…") does, through the module.
void TestPrinterLookup::qtPrintSupportIsLoadedOnFirstUse()
{
    const EnvironmentSetting none("CUPS_SERVER", QFile::encodeName(dir_.filePath("none.sock")));
    Window w;
    w.form.load();
    QTRY_VERIFY(w.tooltip() != kNoPrinter);
    QVERIFY(!loaded("libQt6PrintSupport.so.6"));
    QVERIFY(print::queueLayout("Nessuna").isValid());
    QVERIFY(loaded("libQt6PrintSupport.so.6"));
}

void TestPrinterLookup::aPrintSupportThatDoesNotLoadIsNamed_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("cause");
    const QString empty = dir_.filePath("vuoto.so");
    QFile(empty).open(QIODevice::WriteOnly);
    QTest::newRow("missing") << dir_.filePath("rotamet-printsupport.so") << "il file non c'è";
    QTest::newRow("no library") << empty << "file too short";
    QTest::newRow("another library") << QString(QLibraryInfo::path(QLibraryInfo::LibrariesPath) + "/libQt6Core.so.6")
                                     << "non è il supporto di stampa di Rotamet";
}

// A module that is missing or broken: error 482 names the file and the cause.
void TestPrinterLookup::aPrintSupportThatDoesNotLoadIsNamed()
{
    QFETCH(QString, file);
    QFETCH(QString, cause);
    try {
        print::loadPrintSupport(file);
        QFAIL("loaded");
    } catch (const RunTimeError &e) {
        QCOMPARE(e.code(), 482);
        const QString text = QString::fromStdString(e.description());
        QVERIFY2(text.startsWith("Errore della stampante: il supporto di stampa '" + file + "' non si carica ("),
                 qPrintable(text));
        QVERIFY2(text.contains(cause), qPrintable(text));
    }
}

void TestPrinterLookup::tooltipBeforeAndAfterTheLookup_data()
{
    QTest::addColumn<bool>("queue");
    QTest::newRow("no print server: a PDF file") << false;
    QTest::newRow("a default queue") << true;
}

// Before the answer the tooltip names no printer, as on a system without
// one; once the lookup answers it names what was found, exactly as the next
// calculation run writes it.
void TestPrinterLookup::tooltipBeforeAndAfterTheLookup()
{
    QFETCH(bool, queue);
    const QByteArray name = qgetenv("ROTAMET_TEST_QUEUE");
    if (queue && name.isEmpty())
        QSKIP("needs a print server with a default queue (tests/cups/run-cups-test.sh)");
    const EnvironmentSetting server("CUPS_SERVER",
                                    queue ? qgetenv("CUPS_SERVER") : QFile::encodeName(dir_.filePath("none.sock")));

    Window w;
    w.form.load();
    QCOMPARE(w.tooltip(), kNoPrinter);
    QTRY_VERIFY(w.tooltip() != kNoPrinter);
    const QString found = w.tooltip();
    if (queue) {
        QCOMPARE(found, kNoPrinter + name + " cups-pdf:/");
    } else {
        QVERIFY2(found.startsWith(kNoPrinter + QDir::toNativeSeparators(QDir::homePath())), qPrintable(found));
        QVERIFY2(found.endsWith(".pdf (file PDF)"), qPrintable(found));
    }
    QTest::mouseClick(w.ui.cmdCalcola, Qt::LeftButton);
    QCOMPARE(w.tooltip(), found);
    QVERIFY(w.services.boxes.isEmpty());
}

// "stampa" before the lookup has answered: the print looks the printer up
// itself, waits for the answer and prints there; the message and the
// tooltip afterwards name that printer.
void TestPrinterLookup::printPressedBeforeTheLookupAnswered()
{
    const QByteArray name = qgetenv("ROTAMET_TEST_QUEUE");
    if (name.isEmpty())
        QSKIP("needs a print server with a default queue (tests/cups/run-cups-test.sh)");
    Window w;
    w.form.load();
    QCOMPARE(w.tooltip(), kNoPrinter);
    QTest::mouseClick(w.ui.cmdStampa, Qt::LeftButton);
    QCOMPARE(w.services.boxes.size(), 1);
    QCOMPARE(w.services.boxes[0].title, QString("Stampa scala"));
    QCOMPARE(w.services.boxes[0].text, "Stampa effettuata su '" + name + "'");
    QCOMPARE(w.tooltip(), kNoPrinter + name + " cups-pdf:/");
    QCOMPARE(w.ui.txtGiriMinuto->text(), QString("1000"));
    // The answer the window was waiting for changes nothing more.
    QTest::qWait(200);
    QCOMPARE(w.tooltip(), kNoPrinter + name + " cups-pdf:/");
}

// A print server that takes the connection and never answers: the window
// answers keys all the while, the tooltip names no printer, a print waits a
// bounded time with the window's events going on (its timers, its
// repaints), the user is told and keeps the inputs, and the answer that
// comes at last, to the question the print gave up, is ignored.
void TestPrinterLookup::aPrintServerThatNeverAnswersLeavesTypingFree()
{
    const QString socketPath = dir_.filePath("silent.sock");
    SilentServer silent(socketPath);
    QVERIFY(silent.listening());
    const EnvironmentSetting server("CUPS_SERVER", QFile::encodeName(socketPath));

    Window w;
    w.open();
    QTRY_VERIFY(silent.hasCaller());

    TextBox *speed = w.ui.txtGiriMinuto;
    speed->setFocus();
    speed->selectAll();
    QTest::keyClicks(speed, "2500");
    QCOMPARE(w.ui.lblValori[0]->text(), QString("41,67"));
    QTest::qWait(300);
    QCOMPARE(w.tooltip(), kNoPrinter);
    QTest::keyClick(speed, Qt::Key_Backspace);
    QCOMPARE(w.ui.lblValori[0]->text(), QString("4,17"));

    // A print cannot wait for ever on the server, and while it waits the
    // window's timers tick and it repaints; at the end the user is told.
    const QStringList before = windowTexts(w.form);
    int ticks = 0, paints = 0;
    PaintCounter counter(&paints);
    w.form.installEventFilter(&counter);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        w.form.update();
    });
    timer.start(50);
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(w.ui.cmdStampa, Qt::LeftButton);
    const qint64 waited = clock.elapsed();
    timer.stop();
    QVERIFY2(waited < print::DefaultPrinter::kLookupTimeout.count() + 5000, qPrintable(QString::number(waited)));
    // About one tick each 50 ms; before, a single one in the whole wait.
    QVERIFY2(ticks > waited / 50 / 4, qPrintable(QString("%1 ticks in %2 ms").arg(ticks).arg(waited)));
    QVERIFY2(paints > ticks / 4, qPrintable(QString("%1 paints, %2 ticks").arg(paints).arg(ticks)));
    QCOMPARE(w.services.boxes.size(), 1);
    QCOMPARE(w.services.boxes[0].title, QString("Stampa scala"));
    QCOMPARE(w.services.boxes[0].text, QString("La pagina non è stata stampata.\nIl server di stampa non risponde"));
    const QString changed = textDifferences(windowTexts(w.form), before);
    QVERIFY2(changed.isEmpty(), qPrintable(changed));
    speed->setFocus();
    speed->selectAll();
    QTest::keyClicks(speed, "1000");
    QCOMPARE(w.ui.lblValori[0]->text(), QString("16,67"));

    // The server goes away and the question that waited ends: the print
    // gave it up, so its late answer changes nothing.
    silent.close();
    QTest::qWait(2000);
    QCOMPARE(w.tooltip(), kNoPrinter);
    QVERIFY(w.services.boxes.size() == 1);
}

// The print server takes the connection and never answers the first print,
// then answers again (with its queue, or that there is none): the first
// print is lost, told in its message; the second asks anew, is not held up
// by the question that still hangs, and goes through.
void TestPrinterLookup::aPrintServerThatHangsCostsOnePrintOnly()
{
    const QByteArray queue = qgetenv("ROTAMET_TEST_QUEUE");
    const QByteArray answering
        = queue.isEmpty() ? QFile::encodeName(dir_.filePath("nessuno.sock")) : qgetenv("CUPS_SERVER");
    QTemporaryDir home;
    const EnvironmentSetting homeFolder("HOME", QFile::encodeName(home.path()));
    const EnvironmentSetting noConfig("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
    // The server's address stays; what answers there changes.
    const QString address = dir_.filePath("server.sock"), silentPath = dir_.filePath("muto.sock");
    SilentServer silent(silentPath);
    QVERIFY(silent.listening());
    QFile::remove(address);
    QVERIFY(QFile::link(silentPath, address));
    const EnvironmentSetting server("CUPS_SERVER", QFile::encodeName(address));

    Window w;
    w.open();
    QTRY_VERIFY(silent.hasCaller());
    silent.holdCallers();
    QTest::mouseClick(w.ui.cmdStampa, Qt::LeftButton);
    QCOMPARE(w.services.boxes.size(), 1);
    QCOMPARE(w.services.boxes[0].text, QString("La pagina non è stata stampata.\nIl server di stampa non risponde"));

    QVERIFY(QFile::remove(address));
    QVERIFY(QFile::link(QFile::decodeName(answering), address));
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(w.ui.cmdStampa, Qt::LeftButton);
    QVERIFY2(clock.elapsed() < print::DefaultPrinter::kLookupTimeout.count(),
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(w.services.boxes.size(), 2);
    const QString done = w.services.boxes[1].text;
    if (queue.isEmpty())
        QVERIFY2(
            done.startsWith("Stampa effettuata su '" + QDir::toNativeSeparators(home.filePath("Documents/Rotamet "))),
            qPrintable(done));
    else
        QCOMPARE(done, "Stampa effettuata su '" + queue + "'");
}

// No print server, and a documents folder that answers no file check for
// longer than the printer lookup may take (a file server that is slow): the
// lookup answers "PDF files in the documents folder" without waiting for
// the folder, the tooltip keeps its text until the next free name is known,
// and a print waits for the folder, not for a print server, and is saved.
void TestPrinterLookup::aSlowDocumentsFolderIsNoSilentPrintServer()
{
    const EnvironmentSetting none("CUPS_SERVER", QFile::encodeName(dir_.filePath("none.sock")));
    QTemporaryDir home;
    const EnvironmentSetting homeSetting("HOME", QFile::encodeName(home.path()));
    const EnvironmentSetting config("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
    QSemaphore gate;
    std::atomic<bool> holding = true;
    std::atomic<int> checks = 0;
    print::PdfFolderTarget::setFileCheck([&](const QString &path) {
        ++checks;
        if (holding)
            gate.tryAcquire(1, 30000);
        return QFileInfo::exists(path);
    });
    const struct Restore {
        ~Restore() { print::PdfFolderTarget::setFileCheck({}); }
    } restore;

    Window w;
    w.open();
    QTRY_VERIFY(checks > 0);  // the lookup has answered; the name is being searched
    QTest::qWait(300);
    QCOMPARE(w.tooltip(), kNoPrinter);

    // Held beyond the lookup's own deadline, then let go.
    QTimer::singleShot(print::DefaultPrinter::kLookupTimeout + std::chrono::seconds(1), [&] {
        holding = false;
        gate.release(1000);
    });
    QTest::mouseClick(w.ui.cmdStampa, Qt::LeftButton);
    QCOMPARE(w.services.boxes.size(), 1);
    const QString pdf = QDir(home.filePath("Documents"))
                            .filePath("Rotamet " + QDate::currentDate().toString(Qt::ISODate) + " 001.pdf");
    QCOMPARE(w.services.boxes[0].text, "Stampa effettuata su '" + QDir::toNativeSeparators(pdf) + "'");
    QVERIFY(QFileInfo::exists(pdf));
    QTRY_VERIFY(w.tooltip().endsWith(".pdf (file PDF)"));
}

ROTAMET_TEST_MAIN(TestPrinterLookup)
#include "tst_printerlookup.moc"
