// The Windows build printing through the Windows spooler, under Wine: a
// private CUPS server with a cups-pdf default queue, which Wine's spooler
// offers to Windows programs as their default printer. Run by
// tests/windows/run-winspool-test.sh, which starts that server and sets
// ROTAMET_TEST_QUEUE (the default queue), ROTAMET_TEST_SECOND_QUEUE (another
// one), ROTAMET_TEST_PDF_DIR (where cups-pdf writes, a Linux path),
// ROTAMET_TEST_FIRST_JOB (the server's first job number) and
// ROTAMET_TEST_PAGE_LOG (the server's page log, a Linux path); without them
// every test is skipped.
// - The "stampa" tooltip names the default printer and its port.
// - The start-up page goes through Qt's native print path and the spooler,
//   and the PDF that cups-pdf writes reads back as the page: header, 25
//   speed rows, 6 angle rows, footer, each line as the window computes it.
// - A printer on the port FILE: asks for a file name in the spooler's dialog
//   while the window goes on processing events; given a name, the page goes
//   there; cancelled, nothing is printed, nothing is said and the inputs
//   are as they were.
// - The menu of "stampa" with the system's own dialogs, answered from a
//   thread of the test's own (a native dialog runs a loop of its own on the
//   window's thread): "Stampa su…" prints on the second printer, in 2
//   copies; "Salva come PDF…" writes the page under the name given, and
//   replaces a file of that name once the user said Yes.
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <functional>
#include <set>
#include <thread>
#include <vector>
#include <windows.h>
#include <winspool.h>

#include "support/notedboxes.h"
#include "support/testmain.h"
#include "support/windowtexts.h"
#include "window/frmmain.h"
#include "window/qtservices.h"

using namespace rotamet;

namespace {

const QString kFilePrinter = "RotametFile";

struct Window {
    NotedBoxes services;
    FrmMain form{services};
    Window()
    {
        services.setMainWindow(&form);
        form.load();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("window not active");
    }
    template <class T>
    T *child(const QString &name)
    {
        return form.findChild<T *>(name);
    }
    QString tooltip() { return child<QPushButton>("cmdStampa")->toolTip(); }
    QString caption(int index) { return child<QLabel>(QString("lblValori_%1").arg(index))->text(); }
    void type(const QString &field, const QString &text)
    {
        auto *edit = child<QLineEdit>(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void print()
    {
        services.boxes.clear();
        QTest::mouseClick(child<QPushButton>("cmdStampa"), Qt::LeftButton);
    }
    // Opens the menu of "stampa" with a right click and picks an entry by its
    // underlined letter.
    void pick(Qt::Key letter)
    {
        services.boxes.clear();
        auto *stampa = child<QPushButton>("cmdStampa");
        QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, stampa->mapTo(&form, stampa->rect().center()));
        QMenu *menu = child<QMenu>("mnuStampa");
        if (!QTest::qWaitFor([&] { return menu->isVisible(); }))
            qWarning("the menu of \"stampa\" did not open");
        QTest::keyClick(menu, letter);
    }
    // The page as the window computes it, one line each.
    QStringList expectedPage()
    {
        QStringList expected{
            "Codice pompa: " + child<QComboBox>("cboCodice")->currentText() + " Corsa di alzata: " + caption(5) + " mm",
            "Dimensioni albero: " + caption(3) + " mm / " + caption(4) + " mm Gradi di fine alzata: " + caption(6),
            "Giri al minuto Angolo di comando Millimetri Millisecondi"};
        for (int speed = 2500; speed >= 100; speed -= 100)
            expected << row(QString::number(speed), "7,0°");
        expected << "Giri al minuto Gradi di ritardo Corsa pompante MS equivalenti";
        for (int angle = 15; angle <= 90; angle += 15)
            expected << row("1000", QString::number(angle));
        expected << QDate::currentDate().toString("dd/MM/yyyy")
                + " - Progetto rotamet - Tempi e gradi di rotazione - rotamet@example.com";
        return expected;
    }
    // The four figures of a table row, as the window computes them.
    QString row(const QString &speed, const QString &angle)
    {
        child<QLineEdit>("txtGiriMinuto")->setText(speed);
        child<QLineEdit>("txtAngolo")->setText(angle);
        child<QPushButton>("cmdCalcola")->click();
        return QStringList{speed, child<QLineEdit>("txtAngolo")->text(), caption(9), caption(10)}.join(' ');
    }
};

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

std::wstring wide(const QString &s) { return s.toStdWString(); }

// The lines of a PDF as pdftotext lays them out, blanks simplified.
QStringList pageLines(const QString &pdf)
{
    QStringList lines;
    for (const QString &line : run("pdftotext", {"-layout", pdf, "-"}).split('\n'))
        if (!line.simplified().isEmpty())
            lines << line.simplified();
    return lines;
}

QString defaultPrinter()
{
    wchar_t name[512];
    DWORD size = 512;
    return GetDefaultPrinterW(name, &size) ? QString::fromWCharArray(name) : QString();
}

// The visible dialogs of this process: the spooler's question for a file
// name is one, on the thread that starts the document.
std::vector<HWND> dialogs()
{
    std::vector<HWND> found;
    EnumWindows(
        [](HWND window, LPARAM list) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            wchar_t kind[64] = {};
            GetClassNameW(window, kind, 64);
            if (process == GetCurrentProcessId() && IsWindowVisible(window) && wcscmp(kind, L"#32770") == 0)
                reinterpret_cast<std::vector<HWND> *>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Answers the native dialogs of this process from a thread of its own: a
// native dialog runs a loop of its own on the window's thread, where the
// window's timers need not come. answer is called on that thread once for
// each dialog that shows, a moment after it shows.
class NativeDialogAnswer {
public:
    explicit NativeDialogAnswer(std::function<void(HWND)> answer)
        : answer_(std::move(answer)), thread_([this] { run(); })
    {}
    ~NativeDialogAnswer()
    {
        stop_ = true;
        thread_.join();
    }
    NativeDialogAnswer(const NativeDialogAnswer &) = delete;
    NativeDialogAnswer &operator=(const NativeDialogAnswer &) = delete;

private:
    void run()
    {
        std::set<HWND> answered;
        while (!stop_) {
            for (HWND dialog : dialogs()) {
                if (answered.insert(dialog).second) {
                    Sleep(300);
                    answer_(dialog);
                }
            }
            Sleep(100);
        }
    }
    std::function<void(HWND)> answer_;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

QString windowText(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return QString::fromWCharArray(text);
}

// The text of a message box (its static texts), for the record.
QString boxText(HWND box)
{
    QStringList texts;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM list) -> BOOL {
            wchar_t kind[64] = {};
            GetClassNameW(child, kind, 64);
            if (wcscmp(kind, L"Static") == 0)
                reinterpret_cast<QStringList *>(list)->append(windowText(child));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts.join(' ').simplified();
}

// The spooler's page log (CUPS): "queue user job [date] total copies ...".
QStringList pageLog()
{
    QFile log("Z:" + QDir::toNativeSeparators(qEnvironmentVariable("ROTAMET_TEST_PAGE_LOG")));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts)
                                         : QStringList();
}

}  // namespace

class TestWinspool : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void tooltipNamesThePrinterAndItsPort();
    void theStartUpPageReadsBackFromTheSpooler();
    void aPrinterThatAsksForAFileName_data();
    void aPrinterThatAsksForAFileName();
    void aPrinterChosenInThePrintDialog();
    void aPdfSavedUnderTheNameGiven_data();
    void aPdfSavedUnderTheNameGiven();

private:
    QString queue_;
    QString pdfDir_;
    int firstJob_ = 0;
    bool filePrinterAdded_ = false;
};

void TestWinspool::initTestCase()
{
    queue_ = qEnvironmentVariable("ROTAMET_TEST_QUEUE");
    if (queue_.isEmpty())
        QSKIP("needs a print server with a default queue (tests/windows/run-winspool-test.sh)");
    pdfDir_ = "Z:" + QDir::toNativeSeparators(qEnvironmentVariable("ROTAMET_TEST_PDF_DIR"));
    firstJob_ = qEnvironmentVariableIntValue("ROTAMET_TEST_FIRST_JOB");
    QCOMPARE(defaultPrinter(), queue_);

    // A printer on the port FILE:, with the queue's own driver.
    HANDLE handle = nullptr;
    std::wstring name = wide(queue_);
    QVERIFY(OpenPrinterW(name.data(), &handle, nullptr));
    DWORD needed = 0;
    GetPrinterW(handle, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    QVERIFY(GetPrinterW(handle, 2, buffer.data(), needed, &needed));
    ClosePrinter(handle);
    const auto *queueInfo = reinterpret_cast<PRINTER_INFO_2W *>(buffer.data());
    std::wstring printer = wide(kFilePrinter), port = L"FILE:", datatype = L"RAW";
    PRINTER_INFO_2W info{};
    info.pPrinterName = printer.data();
    info.pPortName = port.data();
    info.pDriverName = queueInfo->pDriverName;
    info.pPrintProcessor = queueInfo->pPrintProcessor;
    info.pDatatype = datatype.data();
    HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE *>(&info));
    QVERIFY2(added, qPrintable(QString("AddPrinter: error %1").arg(GetLastError())));
    ClosePrinter(added);
    filePrinterAdded_ = true;
}

void TestWinspool::cleanup()
{
    if (!queue_.isEmpty())
        SetDefaultPrinterW(wide(queue_).c_str());
}

void TestWinspool::cleanupTestCase()
{
    if (!filePrinterAdded_)
        return;
    HANDLE handle = nullptr;
    std::wstring name = wide(kFilePrinter);
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterW(name.data(), &handle, &access)) {
        DeletePrinter(handle);
        ClosePrinter(handle);
    }
}

void TestWinspool::tooltipNamesThePrinterAndItsPort()
{
    Window w;
    QTRY_COMPARE(w.tooltip(), "Stampa su: " + queue_ + " CUPS:" + queue_);
}

void TestWinspool::theStartUpPageReadsBackFromTheSpooler()
{
    Window w;
    w.print();
    QCOMPARE(w.services.boxes.size(), 1);
    QCOMPARE(w.services.boxes[0].title, QString("Stampa scala"));
    QCOMPARE(w.services.boxes[0].text, "Stampa effettuata su '" + queue_ + "'");

    const QStringList expected = w.expectedPage();

    // cups-pdf names the file after the job, a number of this server's own.
    QString pdf;
    const QRegularExpression job("-job_(\\d+)\\.pdf$");
    const auto written = [&] {
        for (const QString &name : QDir(pdfDir_).entryList({"*.pdf"}, QDir::Files)) {
            const auto m = job.match(name);
            const int number = m.hasMatch() ? m.captured(1).toInt() : 0;
            if (number >= firstJob_ && number < firstJob_ + 100
                && !run("pdfinfo", {QDir(pdfDir_).filePath(name)}).isEmpty()) {
                pdf = QDir(pdfDir_).filePath(name);
                return true;
            }
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(written(), 60000);
    QVERIFY2(run("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+1\\s")), qPrintable(pdf));
    QCOMPARE(pageLines(pdf), expected);
}

void TestWinspool::aPrinterThatAsksForAFileName_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("a file name given") << false;
    QTest::newRow("cancelled") << true;
}

// The spooler asks for the file while the document starts, on the thread
// that hands the page over: the window's own thread goes on meanwhile (the
// timer that answers the dialog is one of its events).
void TestWinspool::aPrinterThatAsksForAFileName()
{
    QFETCH(bool, cancel);
    QVERIFY(SetDefaultPrinterW(wide(kFilePrinter).c_str()));
    Window w;
    QTRY_COMPARE(w.tooltip(), "Stampa su: " + kFilePrinter + " FILE:");
    w.type("txtGiriMinuto", "1234");
    w.type("txtAngolo", "12,5");
    const QStringList before = windowTexts(w.form);

    QTemporaryDir folder;
    const QString file = QDir::toNativeSeparators(folder.filePath("pagina.ps"));
    int dialogsSeen = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        for (HWND dialog : dialogs()) {
            ++dialogsSeen;
            if (!cancel) {
                HWND edit = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
                SetWindowTextW(edit, wide(file).c_str());
            }
            PostMessageW(dialog, WM_COMMAND, cancel ? IDCANCEL : IDOK, 0);
        }
    });
    answer.start(100);
    w.print();
    answer.stop();

    QVERIFY(dialogsSeen > 0);
    if (cancel) {
        QCOMPARE(w.services.boxes.size(), 0);
        QVERIFY(!QFile::exists(file));
        QVERIFY(!QFile::exists("FILE:"));
    } else {
        QCOMPARE(w.services.boxes.size(), 1);
        QCOMPARE(w.services.boxes[0].text, "Stampa effettuata su '" + kFilePrinter + "'");
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.read(4) == "%!PS");
    }
    const QString changed = textDifferences(windowTexts(w.form), before);
    QVERIFY2(changed.isEmpty(), qPrintable(changed));
}

// "Stampa su…": the system's print dialog opens on the default printer; the
// second printer and 2 copies chosen there, the page goes to that printer,
// once, in 2 copies (as the print server counts them).
void TestWinspool::aPrinterChosenInThePrintDialog()
{
    const QString second = qEnvironmentVariable("ROTAMET_TEST_SECOND_QUEUE");
    const qsizetype logged = pageLog().size();
    Window w;
    QString openedOn, problem;  // read once the answering thread has ended
    {
        const NativeDialogAnswer user([&](HWND dialog) {
            HWND list = GetDlgItem(dialog, 1139);    // the printers (cmb4)
            HWND copies = GetDlgItem(dialog, 1154);  // the number of copies (edt3)
            if (!list || !copies) {
                problem = "not a print dialog: " + windowText(dialog);
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            openedOn = windowText(list);
            const std::wstring name = wide(second);
            SendMessageW(list, CB_SELECTSTRING, WPARAM(-1), LPARAM(name.c_str()));
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(1139, CBN_SELCHANGE), LPARAM(list));
            SetWindowTextW(copies, L"2");
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        w.pick(Qt::Key_U);  // "Stampa s&u…"
    }
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(openedOn, queue_);
    QCOMPARE(w.services.boxes.size(), 1);
    QCOMPARE(w.services.boxes[0].text, "Stampa effettuata su '" + second + "'");

    const QRegularExpression job("^(\\S+) \\S+ (\\d+) \\[.*\\] total (\\d+) ");
    QStringList jobs;
    const auto done = [&] {
        jobs.clear();
        for (const QString &line : pageLog().mid(logged))
            if (const auto m = job.match(line); m.hasMatch())
                jobs << m.captured(1) + " x" + m.captured(3);
        return !jobs.isEmpty();
    };
    QTRY_VERIFY_WITH_TIMEOUT(done(), 60000);
    QCOMPARE(jobs, QStringList{second + " x2"});
}

// "Salva come PDF…" with the system's save dialog: the name given there
// gets the page, as the window computes it; a file of that name is replaced
// once the user says Yes to the dialog's question.
void TestWinspool::aPdfSavedUnderTheNameGiven_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("a new name") << false;
    QTest::newRow("a file replaced") << true;
}

void TestWinspool::aPdfSavedUnderTheNameGiven()
{
    QFETCH(bool, exists);
    QTemporaryDir folder;
    const QString pdf = QDir::toNativeSeparators(folder.filePath("scala per il cliente.pdf"));
    if (exists) {
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("la scala di ieri");
    }
    Window w;
    QString offered, question;  // read once the answering thread has ended
    {
        const NativeDialogAnswer user([&](HWND dialog) {
            if (GetDlgItem(dialog, IDYES)) {  // asks whether to replace the file
                question = boxText(dialog);
                PostMessageW(dialog, WM_COMMAND, IDYES, 0);
                return;
            }
            HWND name = GetDlgItem(dialog, 1152);  // the file name (edt1)
            offered = name ? windowText(name) : QString();
            if (name)
                SetWindowTextW(name, wide(pdf).c_str());
            PostMessageW(dialog, WM_COMMAND, name ? IDOK : IDCANCEL, 0);
        });
        w.pick(Qt::Key_P);  // "Salva come &PDF…"
    }
    QVERIFY2(offered.startsWith("Rotamet " + QDate::currentDate().toString(Qt::ISODate)) && offered.endsWith(".pdf"),
             qPrintable(offered));
    QCOMPARE(!question.isEmpty(), exists);
    QCOMPARE(w.services.boxes.size(), 1);
    QCOMPARE(w.services.boxes[0].text, "Stampa effettuata su '" + pdf + "'");
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).size(), 1);
    QCOMPARE(pageLines(pdf), w.expectedPage());
}

ROTAMET_TEST_MAIN(TestWinspool)
#include "tst_winspool.moc"
