// The Windows build printing through the Windows spooler, under Wine: a
// private CUPS server with a cups-pdf default queue, which Wine's spooler
// offers to Windows programs as their default printer. Run by
// tests/windows/run-winspool-test.sh, which starts that server and sets
// ROTAMET_TEST_QUEUE (the queue), ROTAMET_TEST_PDF_DIR (where cups-pdf
// writes, a Linux path) and ROTAMET_TEST_FIRST_JOB (the server's first job
// number); without them every test is skipped.
// - The "stampa" tooltip names the default printer and its port.
// - The start-up page goes through Qt's native print path and the spooler,
//   and the PDF that cups-pdf writes reads back as the page: header, 25
//   speed rows, 6 angle rows, footer, each line as the window computes it.
// - A printer on the port FILE: asks for a file name in the spooler's dialog
//   while the window goes on processing events; given a name, the page goes
//   there; cancelled, nothing is printed, nothing is said and the inputs
//   are as they were.
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <vector>
#include <windows.h>
#include <winspool.h>

#include "support/windowtexts.h"
#include "window/frmmain.h"
#include "window/qtservices.h"

using namespace rotamet;

namespace {

const QString kFilePrinter = "RotametFile";

struct Box {
    QString text, title;
};

// The program's own services and printer, message boxes noted, not shown.
struct NotedBoxes : QtServices {
    QList<Box> boxes;
    void messageBox(const QString &text, const QString &title, BoxIcon) override { boxes.append({text, title}); }
};

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

    // The page as the window computes it, one line each.
    QStringList expected{
        "Codice pompa: " + w.child<QComboBox>("cboCodice")->currentText() + " Corsa di alzata: " + w.caption(5) + " mm",
        "Dimensioni albero: " + w.caption(3) + " mm / " + w.caption(4) + " mm Gradi di fine alzata: " + w.caption(6),
        "Giri al minuto Angolo di comando Millimetri Millisecondi"};
    for (int speed = 2500; speed >= 100; speed -= 100)
        expected << w.row(QString::number(speed), "7,0°");
    expected << "Giri al minuto Gradi di ritardo Corsa pompante MS equivalenti";
    for (int angle = 15; angle <= 90; angle += 15)
        expected << w.row("1000", QString::number(angle));
    expected << QDate::currentDate().toString("dd/MM/yyyy")
            + " - Progetto rotamet - Tempi e gradi di rotazione - rotamet@example.com";

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
    QStringList lines;
    for (const QString &line : run("pdftotext", {"-layout", pdf, "-"}).split('\n'))
        if (!line.simplified().isEmpty())
            lines << line.simplified();
    QCOMPARE(lines, expected);
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

QTEST_MAIN(TestWinspool)
#include "tst_winspool.moc"
