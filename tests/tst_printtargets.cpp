// Printing from the real window through the program's own printer to
// targets the test controls: the window goes on processing events while a
// target takes its time, and takes no input meanwhile; a print the user
// cancels (a driver's file dialog) tells nothing and gives the inputs back;
// a documents folder whose every check blocks never stops a key;
// a PDF whose disk fails half-way, or whose name is taken meanwhile, leaves
// every file as it was; the message box opens over the main window.
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>
#include <new>

#ifdef Q_OS_UNIX
#include "support/filesizelimit.h"
#endif
#include "support/testmain.h"
#include "print/page.h"
#include "print/pagecomposer.h"
#include "print/targets/filesystem.h"
#include "print/targets/pdffoldertarget.h"
#include "print/targets/printtarget.h"
#include "support/controls.h"
#include "support/folderfiles.h"
#include "support/recordingservices.h"
#include "support/windowtexts.h"
#include "window/frmmain.h"
#include "window/qtservices.h"
#include "work/job.h"
#include "work/offthread.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace rotamet;
using print::Page;
using print::PrintTarget;

namespace {

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// A target that hands nothing anywhere: it notes the page and the thread it
// was delivered on, and first waits until the test opens its gate (at most
// 20 s), or throws what the test asks. Before it would let the page out it
// commits (work/job.h), before the gate when letOutFirst, and notes whether
// it was let.
class TestTarget : public PrintTarget {
public:
    std::string deviceName() const override { return "Bersaglio di prova"; }
    std::string secondText() const override { return "TEST:"; }
    std::optional<Handed> deliver(const Page &page) override
    {
        thread = QThread::currentThread();
        entered = true;
        if (outOfMemory)
            throw std::bad_alloc();
        if (letOutFirst)
            work::commit();
        if (gated && !gate.tryAcquire(1, 20000))
            throw RunTimeError(errcode::PrinterError, "il cancello non si è aperto");
        items = page.size();
        if (cancel)
            return std::nullopt;
        letOut = work::commit();
        left.release();
        return Handed{deviceName(), {}};
    }

    bool gated = false;
    bool cancel = false;
    bool letOutFirst = false;
    bool outOfMemory = false;
    std::atomic<bool> letOut = false;
    QSemaphore left;  // released once deliver() has decided
    QSemaphore gate;
    std::atomic<bool> entered = false;
    std::atomic<QThread *> thread = nullptr;
    std::atomic<std::size_t> items = 0;
};

// The window started as the program starts it, printing on a PageComposer.
struct Window {
    RecordingServices services;
    FrmMain form{services};
    explicit Window(print::Printer &printer)
    {
        services.printerInUse = &printer;
        form.load();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("window not active");
    }
    QLineEdit *field(const char *name) { return child<QLineEdit>(form, name); }
    void type(const char *name, const char *text)
    {
        QLineEdit *edit = field(name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void print()
    {
        services.boxes.clear();
        QTest::mouseClick(child<QPushButton>(form, "cmdStampa"), Qt::LeftButton);
    }
};

QString pdfName(int n)
{
    return QString("Rotamet %1 %2.pdf").arg(QDate::currentDate().toString(Qt::ISODate)).arg(n, 3, 10, QChar('0'));
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestPrintTargets : public QObject {
    Q_OBJECT
private slots:
    void theWindowGoesOnWhileTheTargetTakesItsTime();
    void aFolderWhoseChecksBlockStopsNoKey();
    void aCancelledDialogTellsNothingAndGivesTheInputsBack();
    void aDiskThatFailsHalfWayLeavesNoFile();
    void aNameTakenDuringThePrintIsNotOverwritten();
    void movingNeverReplacesAFile();
    void thePdfIsAnOrdinaryFile();
    void theBoxOpensOverTheMainWindow();
    void aTargetThatHoldsThePageIsGivenUpAtTheDeadline_data();
    void aTargetThatHoldsThePageIsGivenUpAtTheDeadline();
    void aFolderThatHoldsThePageGetsNoFileLate();
    void aHandOverThatRunsOutOfMemoryIsToldAndThePrintingGoesOn();
};

// The page is handed over off the window's thread, and the window's thread
// waits for it with its events going on: its timers tick, it repaints, and
// it opens the gate that the target waits behind (a window that blocked
// would never open it). A key and a second click that come meanwhile are
// not taken.
void TestPrintTargets::theWindowGoesOnWhileTheTargetTakesItsTime()
{
    auto target = std::make_shared<TestTarget>();
    target->gated = true;
    print::PageComposer printer(target);
    Window w(printer);
    QLineEdit *speed = w.field("txtGiriMinuto");
    QPushButton *stampa = child<QPushButton>(w.form, "cmdStampa");

    int ticks = 0, paints = 0;
    struct PaintCounter : QObject {
        int *paints;
        bool eventFilter(QObject *, QEvent *e) override
        {
            *paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    counter.paints = &paints;
    w.form.installEventFilter(&counter);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!target->entered)
            return;
        w.form.update();
        if (++ticks == 3) {
            QCoreApplication::postEvent(speed, new QKeyEvent(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, "5"));
            const QPointF centre = QRectF(stampa->rect()).center();
            for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(
                    stampa,
                    new QMouseEvent(type, centre, stampa->mapToGlobal(centre), Qt::LeftButton,
                                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier));
        }
        if (ticks == 6)
            target->gate.release();
    });
    timer.start(50);

    w.print();
    QCoreApplication::processEvents();

    QVERIFY(target->thread.load() != QThread::currentThread());
    QVERIFY2(ticks >= 6, qPrintable(QString::number(ticks)));
    QVERIFY2(paints > 0, "the window did not repaint while it waited");
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].text, QString("Stampa effettuata su 'Bersaglio di prova'"));
    QCOMPARE(target->items.load(), std::size_t(144 + 2));  // every text and both rules
    QCOMPARE(speed->text(), QString("1000"));
}

// A printer driver's dialog for a file name, cancelled: the user's choice.
// No box, nothing printed, the window as before the print.
void TestPrintTargets::aCancelledDialogTellsNothingAndGivesTheInputsBack()
{
    auto target = std::make_shared<TestTarget>();
    target->cancel = true;
    print::PageComposer printer(target);
    Window w(printer);
    w.type("txtGiriMinuto", "1234");
    w.type("txtAngolo", "12,5");
    const QStringList before = windowTexts(w.form);

    w.print();

    QVERIFY(target->entered);
    QCOMPARE(w.services.boxes.size(), std::size_t(0));
    const QString changed = textDifferences(windowTexts(w.form), before);
    QVERIFY2(changed.isEmpty(), qPrintable(changed));

    // And the next print goes through.
    target->cancel = false;
    w.print();
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].title, QString("Stampa scala"));
}

// The documents folder answers a file check only when the test lets it (a
// folder on a file server that has gone away). Each key typed into the
// speed field is handled and the window repaints, with the print button's
// tooltip as before: the next file's name is known already, and no check
// is made on the window's thread. A print waits for the folder with the
// window's events going on, and works the next name out off that thread.
void TestPrintTargets::aFolderWhoseChecksBlockStopsNoKey()
{
    QTemporaryDir folder;
    for (int n : {1, 2}) {
        QFile page(folder.filePath(pdfName(n)));
        QVERIFY(page.open(QIODevice::WriteOnly));
    }
    auto target = std::make_shared<print::PdfFolderTarget>(folder.path());
    target->workOutNextFile();  // as the printer lookup does, on its own thread
    print::PageComposer printer(target);
    Window w(printer);
    const QString tooltip = child<QPushButton>(w.form, "cmdStampa")->toolTip();
    QCOMPARE(tooltip, "Stampa su: " + QDir::toNativeSeparators(folder.filePath(pdfName(3))) + " (file PDF)");

    QThread *const windowThread = QThread::currentThread();
    QSemaphore gate;
    std::atomic<int> checks = 0, checksOnTheWindowsThread = 0;
    print::PdfFolderTarget::setFileCheck([&](const QString &path) {
        ++checks;
        if (QThread::currentThread() == windowThread)
            ++checksOnTheWindowsThread;  // would wait for the gate, which this thread opens
        else
            gate.tryAcquire(1, 20000);
        return QFileInfo::exists(path);
    });
    const struct Restore {
        ~Restore() { print::PdfFolderTarget::setFileCheck({}); }
    } restore;
    PaintCounter counter;
    w.form.installEventFilter(&counter);

    QLineEdit *speed = w.field("txtGiriMinuto");
    speed->setFocus();
    speed->selectAll();
    const char *const shown[] = {"0,03", "0,42", "4,17", "41,67"};  // Hz after each key
    for (int i = 0; i < 4; ++i) {
        const int runs = w.form.calculationRuns();
        counter.paints = 0;
        QTest::keyClick(speed, "2500"[i]);
        QCOMPARE(w.form.calculationRuns(), runs + 1);
        QCOMPARE(child<QLabel>(w.form, "lblValori_0")->text(), QString(shown[i]));
        QVERIFY(QTest::qWaitFor([&] { return counter.paints > 0; }));
    }
    QCOMPARE(child<QPushButton>(w.form, "cmdStampa")->toolTip(), tooltip);
    QCOMPARE(checksOnTheWindowsThread.load(), 0);

    // The print: the window's own timer lets the folder answer, check by
    // check, and paints go on meanwhile.
    int ticks = 0;
    QTimer opener;
    QObject::connect(&opener, &QTimer::timeout, [&] {
        ++ticks;
        gate.release();
        w.form.update();
    });
    opener.start(20);
    counter.paints = 0;
    w.print();
    opener.stop();
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].text,
             "Stampa effettuata su '" + QDir::toNativeSeparators(folder.filePath(pdfName(3))) + "'");
    QVERIFY2(ticks >= 4 && counter.paints > 0,
             qPrintable(QString("%1 ticks, %2 paints").arg(ticks).arg(counter.paints)));
    QVERIFY(checks > 0);
    QCOMPARE(checksOnTheWindowsThread.load(), 0);
    QCOMPARE(target->deviceName(), QDir::toNativeSeparators(folder.filePath(pdfName(4))).toStdString());
}

// The disk fills up while the PDF is written into the folder: the user is
// told, keeps the inputs, and the folder holds nothing, not even a hidden
// part of the page. The same folder takes the next page whole.
void TestPrintTargets::aDiskThatFailsHalfWayLeavesNoFile()
{
#ifndef Q_OS_UNIX
    QSKIP("a file size limit is a Unix facility");
#else
    QTemporaryDir folder;
    print::PageComposer printer(folder.path());
    Window w(printer);
    w.type("txtGiriMinuto", "1234");
    const QStringList before = windowTexts(w.form);
    {
        const FileSizeLimit full(2048);
        w.print();
    }
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].title, QString("Errore di stampa"));
    QVERIFY2(w.services.boxes[0].text.startsWith("Errore   75  ")
                 && w.services.boxes[0].text.contains(QDir::toNativeSeparators(folder.path())),
             qPrintable(w.services.boxes[0].text));
    QCOMPARE(files(folder.path()), QStringList());
    const QString changed = textDifferences(windowTexts(w.form), before);
    QVERIFY2(changed.isEmpty(), qPrintable(changed));

    w.print();
    QCOMPARE(files(folder.path()), QStringList{pdfName(1)});
    QVERIFY(contents(folder.filePath(pdfName(1))).startsWith("%PDF"));
#endif
}

// The name the print started with is taken by another file while the page
// is composed: that file stays as it was, and the page takes the next name.
void TestPrintTargets::aNameTakenDuringThePrintIsNotOverwritten()
{
    QTemporaryDir folder;
    print::PageComposer printer(folder.path());
    Window w(printer);
    const QString first = folder.filePath(pdfName(1));
    w.services.onProcessEvents = [&] {
        QFile other(first);
        if (!other.exists() && other.open(QIODevice::WriteOnly))
            other.write("un altro file");
    };
    w.print();
    QCOMPARE(contents(first), QByteArray("un altro file"));
    QCOMPARE(files(folder.path()), (QStringList{pdfName(1), pdfName(2)}));
    QVERIFY(contents(folder.filePath(pdfName(2))).startsWith("%PDF"));
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].text,
             "Stampa effettuata su '" + QDir::toNativeSeparators(folder.filePath(pdfName(2))) + "'");
}

// The last step of a PDF: a move that refuses a name in use, whoever made it.
void TestPrintTargets::movingNeverReplacesAFile()
{
    QTemporaryDir folder;
    const QString part = folder.filePath(".parte.pdf"), taken = folder.filePath("preso.pdf"),
                  free = folder.filePath("libero.pdf");
    for (const auto &[path, text] : {std::pair{part, "pagina"}, std::pair{taken, "del utente"}}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QCOMPARE(print::files::moveNoReplace(part, taken), print::files::Move::NameTaken);
    QCOMPARE(contents(taken), QByteArray("del utente"));
    QCOMPARE(contents(part), QByteArray("pagina"));
    QCOMPARE(print::files::moveNoReplace(part, free), print::files::Move::Done);
    QCOMPARE(contents(free), QByteArray("pagina"));
    QVERIFY(!QFile::exists(part));
}

// The PDF is hidden while it is written, then readable as any new file of
// the user's: not left with the owner-only permissions of a temporary file.
void TestPrintTargets::thePdfIsAnOrdinaryFile()
{
#ifndef Q_OS_UNIX
    QSKIP("permissions as Unix has them");
#else
    struct Umask {
        mode_t saved = ::umask(022);
        ~Umask() { ::umask(saved); }
    } umask022;
    QTemporaryDir folder;
    print::PageComposer printer(folder.path());
    Window w(printer);
    w.print();
    QCOMPARE(files(folder.path()), QStringList{pdfName(1)});
    const QFile::Permissions expected = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
        | QFile::ReadGroup | QFile::ReadOther;
    QCOMPARE(QFile::permissions(folder.filePath(pdfName(1))), expected);
#endif
}

// While the page prints the user may turn to another window or program;
// the message that ends the print still opens over the program's window.
void TestPrintTargets::theBoxOpensOverTheMainWindow()
{
    struct Services : QtServices {
        print::PageComposer pdf;
        explicit Services(const QString &folder) : pdf(folder) {}
        print::Printer &printer() override { return pdf; }
    };
    QTemporaryDir folder;
    Services services(folder.path());
    FrmMain form(services);
    services.setMainWindow(&form);
    form.load();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    QWidget other;
    other.setWindowTitle("un'altra finestra");
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));

    QWidget *parent = nullptr;
    QString text;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            parent = box->parentWidget();
            text = box->text();
            box->accept();
        }
    });
    closer.start(20);
    child<QPushButton>(form, "cmdStampa")->click();
    QVERIFY2(text.startsWith("Stampa effettuata su "), qPrintable(text));
    QCOMPARE(parent, &form);
}

void TestPrintTargets::aTargetThatHoldsThePageIsGivenUpAtTheDeadline_data()
{
    QTest::addColumn<bool>("letOutFirst");
    QTest::addColumn<QString>("box");
    QTest::newRow("before the page went out")
        << false
        << "La pagina non è stata stampata su 'Bersaglio di prova'.\nLa stampante 'Bersaglio di prova' non ha preso "
           "la pagina entro 2 secondi: la stampa è stata abbandonata.";
    QTest::newRow("after the page went out")
        << true
        << "La stampante 'Bersaglio di prova' non ha preso la pagina entro 2 secondi: la stampa è stata abbandonata, "
           "ma la pagina potrebbe ancora uscire, se la stampante la riceve più tardi. Controllare la stampante prima "
           "di stampare di nuovo.";
}

// A printer that takes the connection and holds the page (a print server
// that never answers the job, a spooler or a driver that hangs): at the
// deadline the print is given up, the user is told which printer did not
// take it (and that the page may still come when it had gone out), the
// inputs come back, and the next print goes through while the first is
// still stuck. A page given up before it went out never goes.
void TestPrintTargets::aTargetThatHoldsThePageIsGivenUpAtTheDeadline()
{
    QFETCH(bool, letOutFirst);
    QFETCH(QString, box);
    auto held = std::make_shared<TestTarget>();
    held->gated = true;
    held->letOutFirst = letOutFirst;
    print::PageComposer printer(held);
    printer.setHandOverDeadline(std::chrono::seconds(2));
    Window w(printer);
    w.type("txtGiriMinuto", "1234");
    const QStringList before = windowTexts(w.form);

    w.print();
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].title, QString("Stampa scala"));
    QCOMPARE(w.services.boxes[0].text, box);
    QCOMPARE(w.services.boxes[0].icon, BoxIcon::Warning);
    QVERIFY(!w.services.boxes[0].text.contains("Success"));
    const QString changed = textDifferences(windowTexts(w.form), before);
    QVERIFY2(changed.isEmpty(), qPrintable(changed));

    // The next print, on a thread of its own.
    held->gated = false;
    w.print();
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].text, QString("Stampa effettuata su 'Bersaglio di prova'"));
    QVERIFY(held->left.tryAcquire(1, 5000));

    // The held page, let go at last, does not go out unless it had.
    held->gate.release();
    QVERIFY(held->left.tryAcquire(1, 20000));
    QCOMPARE(held->letOut.load(), letOutFirst);
}

// The documents folder takes the page's part and then holds every check
// (a file server gone): the print is given up at the deadline, naming the
// folder; let go later, the page takes no name and leaves nothing behind.
void TestPrintTargets::aFolderThatHoldsThePageGetsNoFileLate()
{
    QTemporaryDir folder;
    print::PageComposer printer(folder.path());
    printer.setHandOverDeadline(std::chrono::seconds(2));
    Window w(printer);
    QSemaphore gate;
    std::atomic<bool> holding = true;
    print::PdfFolderTarget::setFileCheck([&](const QString &path) {
        if (holding)
            gate.tryAcquire(1, 20000);
        return QFileInfo::exists(path);
    });
    const struct Restore {
        ~Restore() { print::PdfFolderTarget::setFileCheck({}); }
    } restore;

    w.print();
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].title, QString("Errore di stampa"));
    QCOMPARE(w.services.boxes[0].text,
             "Errore   75  La cartella '" + QDir::toNativeSeparators(folder.path())
                 + "' non risponde: la pagina non è stata scritta entro 2 secondi, e non "
                   "è stata salvata.");
    holding = false;
    gate.release(100);
    QVERIFY(work::waitForWorkThreads(std::chrono::seconds(20)));
    QCOMPARE(files(folder.path()), QStringList());
}

// Anything the hand-over throws is told as an error with its code, and the
// program goes on: the next print works.
void TestPrintTargets::aHandOverThatRunsOutOfMemoryIsToldAndThePrintingGoesOn()
{
    auto target = std::make_shared<TestTarget>();
    target->outOfMemory = true;
    print::PageComposer printer(target);
    Window w(printer);
    w.print();
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].title, QString("Errore di stampa"));
    QCOMPARE(w.services.boxes[0].text, QString("Errore   7  Memoria esaurita"));

    target->outOfMemory = false;
    w.print();
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].text, QString("Stampa effettuata su 'Bersaglio di prova'"));
}

ROTAMET_TEST_MAIN(TestPrintTargets)
#include "tst_printtargets.moc"
