// Printer failures at every operation of the page, from the real window:
// what the user sees (one box: a warning for a printer error, the critical
// "Errore di stampa" for any other code), that the window is given back as it
// was before the print (every text, tooltip and choice), that the page is
// never finished and always dropped, and that the next print works whole.
// Then the same on the real PDF printer: a failed print leaves no file
// behind, not even a temporary one, and the next print leaves one complete
// PDF.
#include <QDate>
#include <QDir>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <optional>

#include "numtext/numtext.h"
#include "print/pagecomposer.h"
#include "support/controls.h"
#include "support/folderfiles.h"
#include "support/pagetext.h"
#include "support/recordingprinter.h"
#include "support/recordingservices.h"
#include "support/testmain.h"
#include "support/windowtexts.h"
#include "window/frmmain.h"
#include "window/textbox.h"

using namespace rotamet;
using print::Printer;
using print::RecordingPrinter;

namespace {

// The window started as the program starts it. Shown, a print is clicked
// with the mouse; not shown, the button is clicked by code and the window
// does not repaint after each row (the sweep below prints over a thousand
// pages, and nothing it checks depends on painting).
struct Window {
    RecordingServices services;
    FrmMain form{services};
    Controls ui{form};
    explicit Window(bool shown = true)
    {
        if (!shown) {
            form.Form_Load();
            return;
        }
        form.load();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("window not active");
    }
    QPair<QString, QString> inputs() const { return {ui.txtGiriMinuto->text(), ui.txtAngolo->text()}; }
    void print()
    {
        services.boxes.clear();
        if (form.isVisible())
            QTest::mouseClick(ui.cmdStampa, Qt::LeftButton);
        else
            ui.cmdStampa->click();
    }
};

// Passes every operation on to another printer, and throws at the k-th
// (1-based; the reads of CurrentX and CurrentY and the text widths count,
// the printer's names do not). Can note what the window shows at each.
class FailingPrinter : public Printer {
public:
    explicit FailingPrinter(Printer &inner) : inner_(inner) {}

    std::optional<int> failAt;
    int failCode = errcode::PrinterError;
    int count = 0;
    std::function<void()> onOperation;  // runs before each operation

    void setOrientation(std::int16_t o) override { next(), inner_.setOrientation(o); }
    void setFontName(const std::string &n) override { next(), inner_.setFontName(n); }
    void setFontSize(float p) override { next(), inner_.setFontSize(p); }
    void setFontBold(bool b) override { next(), inner_.setFontBold(b); }
    void setForeColor(print::Rgb c) override { next(), inner_.setForeColor(c); }
    void setCurrentX(float t) override { next(), inner_.setCurrentX(t); }
    void setCurrentY(float t) override { next(), inner_.setCurrentY(t); }
    float currentX() override { return next(), inner_.currentX(); }
    float currentY() override { return next(), inner_.currentY(); }
    void setDrawWidth(std::int16_t p) override { next(), inner_.setDrawWidth(p); }
    void print(const std::string &t, bool e) override { next(), inner_.print(t, e); }
    float textWidth(const std::string &t) override { return next(), inner_.textWidth(t); }
    void tableCell(const print::TableCell &c) override { inner_.tableCell(c); }  // not an operation
    void line(float x1, float y1, float x2, float y2, print::Rgb c) override { next(), inner_.line(x1, y1, x2, y2, c); }
    bool endDoc() override { return next(), inner_.endDoc(); }
    void killDoc() override { inner_.killDoc(); }
    std::string waitingReason() override { return inner_.waitingReason(); }
    std::string deviceName() override { return inner_.deviceName(); }
    std::string secondText() override { return inner_.secondText(); }

private:
    void next()
    {
        if (onOperation)
            onOperation();
        if (++count == failAt)
            throw RunTimeError(failCode);
    }
    Printer &inner_;
};

int countOf(const RecordingPrinter &p, const std::string &name)
{
    return int(std::count_if(p.ops.begin(), p.ops.end(), [&](const auto &op) { return op.name == name; }));
}

// The speeds that start the table rows: 2500 down to 100, then 1000 six times.
QStringList rowSpeeds(const RecordingPrinter &p)
{
    static const QRegularExpression speed("^\\d{1,5}$");
    QStringList out;
    for (const auto &op : p.ops)
        if (op.name == "Print" && speed.match(QString::fromStdString(op.text)).hasMatch())
            out << QString::fromStdString(op.text);
    return out;
}

QStringList allRowSpeeds()
{
    QStringList out;
    for (int speed = 2500; speed >= 100; speed -= 100)
        out << QString::number(speed);
    for (int i = 0; i < 6; ++i)
        out << "1000";
    return out;
}

// A good print from the window as it stands: the whole page, the inputs
// written back, the printer named. Returns what went wrong.
QString goodPrint(Window &w)
{
    RecordingPrinter &p = w.services.recordingPrinter;
    p.ops.clear();
    p.failAt.reset();
    const QPair<QString, QString> before = w.inputs();
    w.print();
    if (rowSpeeds(p) != allRowSpeeds())
        return "rows " + rowSpeeds(p).join(' ');
    if (countOf(p, "Print") != 144 || countOf(p, "Line") != 2 || countOf(p, "EndDoc") != 1
        || p.ops.back().name != "EndDoc")
        return QString("%1 texts, %2 rules, %3 ends of document")
            .arg(countOf(p, "Print"))
            .arg(countOf(p, "Line"))
            .arg(countOf(p, "EndDoc"));
    const QString speed = QString::fromStdString(NumberText(ParseInt16(before.first.toStdString())));
    if (w.inputs() != qMakePair(speed, before.second))
        return QString("inputs after the print: %1 and %2").arg(w.inputs().first, w.inputs().second);
    if (w.services.boxes.size() != 1 || w.services.boxes[0].title != "Stampa scala"
        || w.services.boxes[0].text != "Stampa effettuata su 'Stampante di prova'"
        || w.services.boxes[0].icon != BoxIcon::Information)
        return QString("%1 boxes after a good print").arg(w.services.boxes.size());
    return {};
}

}  // namespace

class TestPrintFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void failureAtAnyOperationIsToldAndLeavesTheWindowAsBefore_data();
    void failureAtAnyOperationIsToldAndLeavesTheWindowAsBefore();
    void failedPdfPrintLeavesNoFileAndTheNextIsComplete_data();
    void failedPdfPrintLeavesNoFileAndTheNextIsComplete();

private:
    // One whole page from the window as it opens: how many operations it
    // takes, and the speed and angle the window shows at each.
    int operations_ = 0;
    QList<QPair<QString, QString>> inputsAt_;
};

void TestPrintFaults::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "pdftotext (poppler-utils) is missing");
    Window w;
    FailingPrinter spy(w.services.recordingPrinter);
    spy.onOperation = [&] { inputsAt_.append(w.inputs()); };
    w.services.printerInUse = &spy;
    w.print();
    operations_ = spy.count;
    QCOMPARE(operations_, int(inputsAt_.size()));
    QVERIFY(operations_ > 500);
    QCOMPARE(rowSpeeds(w.services.recordingPrinter), allRowSpeeds());
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    qInfo("a page takes %d operations, %d of them recorded", operations_, int(w.services.recordingPrinter.ops.size()));
    QCOMPARE(inputsAt_.first(), qMakePair(QString("2500"), QString("7,0°")));
    QCOMPARE(inputsAt_.last(), qMakePair(QString("1000"), QString("90,0°")));
}

void TestPrintFaults::failureAtAnyOperationIsToldAndLeavesTheWindowAsBefore_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("box");
    QTest::addColumn<BoxIcon>("icon");
    QTest::newRow("printer error 482")
        << 482 << "Stampa scala"
        << "La pagina non è stata stampata su 'Stampante di prova'.\nErrore della stampante" << BoxIcon::Warning;
    QTest::newRow("error 75") << 75 << "Errore di stampa"
                              << "Errore   75  " + QString::fromStdString(errorDescription(75)) << BoxIcon::Critical;
}

void TestPrintFaults::failureAtAnyOperationIsToldAndLeavesTheWindowAsBefore()
{
    QFETCH(int, code);
    QFETCH(QString, title);
    QFETCH(QString, box);
    QFETCH(BoxIcon, icon);
    Window w(false);
    RecordingPrinter &recorder = w.services.recordingPrinter;
    FailingPrinter failing(recorder);
    failing.failCode = code;
    w.services.printerInUse = &failing;
    for (int k = 1; k <= operations_; ++k) {
        // Each print starts from the user's own inputs, none of which the
        // page itself uses.
        w.ui.txtAngolo->setText("12,5");
        w.ui.txtGiriMinuto->setText("1234");
        w.ui.cmdCalcola->click();
        const QStringList before = windowTexts(w.form);
        recorder.ops.clear();
        failing.count = 0;
        failing.failAt = k;
        w.print();
        const QString at = QString("failure at operation %1 of %2").arg(k).arg(operations_);

        QVERIFY2(w.services.boxes.size() == 1, qPrintable(at));
        QCOMPARE(w.services.boxes[0].title, title);
        QCOMPARE(w.services.boxes[0].text, box);
        QCOMPARE(w.services.boxes[0].icon, icon);
        // Never finished, always dropped.
        QVERIFY2(countOf(recorder, "EndDoc") == 0 && recorder.ops.back().name == "KillDoc", qPrintable(at));
        const QString changed = textDifferences(windowTexts(w.form), before);
        QVERIFY2(changed.isEmpty(), qPrintable(at + ":" + changed));
        QCOMPARE(w.services.quitCalls, 0);

        failing.failAt.reset();
        w.services.printerInUse = &recorder;
        const QString wrong = goodPrint(w);
        QVERIFY2(wrong.isEmpty(), qPrintable(QString("the print after the %1: %2").arg(at, wrong)));
        w.services.printerInUse = &failing;
    }
}

void TestPrintFaults::failedPdfPrintLeavesNoFileAndTheNextIsComplete_data()
{
    QTest::addColumn<int>("failAt");
    QTest::addColumn<int>("code");
    // Every tenth operation across the page, the first and the last
    // (EndDoc); alternately a printer error and another code.
    QList<int> ks{1};
    for (int k = 10; k < operations_; k += 10)
        ks << k;
    ks << operations_;
    for (qsizetype i = 0; i < ks.size(); ++i) {
        const int code = i % 2 ? 75 : 482;
        QTest::addRow("operation %d, error %d", ks[i], code) << ks[i] << code;
    }
}

void TestPrintFaults::failedPdfPrintLeavesNoFileAndTheNextIsComplete()
{
    QFETCH(int, failAt);
    QFETCH(int, code);
    QTemporaryDir folder;
    Window w;
    print::PageComposer pdf(folder.path());
    FailingPrinter failing(pdf);
    failing.failAt = failAt;
    failing.failCode = code;
    w.services.printerInUse = &failing;
    w.print();
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    if (code == 482) {
        // The box names the file that the page would have been.
        const QString name = QString("Rotamet %1 001.pdf").arg(QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(w.services.boxes[0].title, QString("Stampa scala"));
        QVERIFY2(w.services.boxes[0].text.startsWith("La pagina non è stata stampata su '"
                                                     + QDir::toNativeSeparators(folder.filePath(name)) + "'."),
                 qPrintable(w.services.boxes[0].text));
    } else {
        QCOMPARE(w.services.boxes[0].title, QString("Errore di stampa"));
    }
    QCOMPARE(w.inputs(), qMakePair(QString("1000"), QString("7,0°")));
    QVERIFY2(files(folder.path()).isEmpty(), qPrintable("left in the folder: " + files(folder.path()).join(", ")));

    failing.failAt.reset();
    w.ui.txtAngolo->setText("7,0°");
    w.ui.txtGiriMinuto->setText("1000");
    w.print();
    const QString name = QString("Rotamet %1 001.pdf").arg(QDate::currentDate().toString(Qt::ISODate));
    QCOMPARE(files(folder.path()), QStringList{name});
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].title, QString("Stampa scala"));
    // One page (pdftotext ends each page with a form feed), and all of it.
    const QString text = pagetext::run("pdftotext", {"-layout", folder.filePath(name), "-"});
    QCOMPARE(text.count('\f'), 1);
    QVERIFY2(text.contains(QRegularExpression("\\b100\\s+7,0°")), "the last row of the speed table");
    QVERIFY2(text.contains(QRegularExpression("\\b1000\\s+90,0°")), "the last row of the angle table");
    QVERIFY2(text.contains("Progetto rotamet"), "the footer");
}

ROTAMET_TEST_MAIN(TestPrintFaults)
#include "tst_printfaults.moc"
