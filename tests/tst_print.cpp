// The printed timing table against a recording printer and a model of the
// window: every text and where it lands, the order of the printer settings,
// the window restored afterwards and what each failure leaves behind.
#include <cmath>
#include <limits>

#include <QtTest>

#include "numtext/runtimeerror.h"
#include "print/stampascala.h"
#include "support/modelform.h"
#include "support/recordingprinter.h"
#include "support/testmain.h"

using namespace rotamet::print;
using rotamet::calc::Field;
using Op = RecordingPrinter::Op;

namespace {

// One line of 12 point text on the recording printer.
const float h = RecordingPrinter::lineHeight(12);
const float kNone = std::numeric_limits<float>::quiet_NaN();
const QString kFooter = "10/12/2026    -   Progetto rotamet   -   Tempi e gradi di rotazione   -   "
                        "rotamet@example.com";

float width(const QString &text, float points, bool bold)
{
    return RecordingPrinter::widthOf(text.toStdString(), points, bold);
}

QString stroke(int speed, int degrees) { return QString::fromStdString(ModelForm::strokeText(speed, degrees * 10)); }
QString time(int speed, int degrees) { return QString::fromStdString(ModelForm::timeText(speed, degrees * 10)); }

// One print with the window as it opens (speed 1000, angle 7,0°).
struct Printed {
    RecordingPrinter printer;
    ModelForm form{printer};
    explicit Printed(const std::string &speed = "1000", const std::string &angle = "7,0°")
    {
        form.fields[Field::GiriMinuto] = speed;
        form.fields[Field::Angolo] = angle;
        StampaScala(form);
    }
    std::vector<Op> named(const std::string &name) const
    {
        std::vector<Op> out;
        for (const Op &op : printer.ops)
            if (op.name == name)
                out.push_back(op);
        return out;
    }
};

QString number(float v) { return QString::number(v, 'g', 8); }

// An operation as the order table spells it.
QString describe(const Op &op)
{
    const QString name = QString::fromStdString(op.name);
    const auto rgb = [](Rgb c) { return QString("%1,%2,%3").arg(c.red).arg(c.green).arg(c.blue); };
    if (op.name == "Print" || op.name == "FontName")
        return name + " " + QString::fromStdString(op.text);
    if (op.name == "ForeColor")
        return name + " " + rgb(op.colour);
    if (op.name == "Line")
        return QString("Line %1,%2 %3,%4 %5 width %6")
            .arg(number(op.x1), number(op.y1), number(op.x2), number(op.y2), rgb(op.colour))
            .arg(op.drawWidth);
    if (op.name == "GetCurrentX" || op.name == "GetCurrentY" || op.name == "EndDoc")
        return name;
    return name + " " + number(op.value);
}

QString lineAt(float y) { return QString("Line 700,%1 9700,%1 0,0,0 width 2").arg(number(y)); }

const Printed &wholePage()
{
    static const Printed printed;
    return printed;
}

}  // namespace

Q_DECLARE_METATYPE(Rgb)

class TestPrint : public QObject {
    Q_OBJECT

private slots:
    void page_data();
    void page();
    void settingOrder_data();
    void settingOrder();
    void pageHasItsTextsRulesAndOneEndDoc();
    void windowProcessesEventsAfterEachSpeedRow();
    void restore_data();
    void restore();
    void failure_data();
    void failure();
    void pausedQueueSaysThePageWaits();
    void unreadableAngleStopsThePrintBeforeAnythingIsSent();
};

// Every text of the page: its place among the texts printed, where it starts
// (or where it must end), the top of its line, font and colour.
void TestPrint::page_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("right");
    QTest::addColumn<float>("top");
    QTest::addColumn<float>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<Rgb>("colour");
    QTest::addColumn<bool>("endsLine");

    const Rgb black{0, 0, 0}, blue{0, 0, 255}, red{255, 0, 0}, darkBlue{0, 0, 100}, purple{190, 0, 190};
    int index = 0;
    const auto row = [&](const QString &name, const QString &text, float left, float right, float top, float size,
                         bool bold, Rgb colour, bool endsLine) {
        QTest::newRow(qPrintable(name)) << index++ << text << left << right << top << size << bold << colour
                                        << endsLine;
    };

    const float second = 900 + h;
    row("header: Codice pompa", "Codice pompa: ", 600, kNone, 600, 12, false, black, false);
    row("header: pump code", "0445010760", 2900, kNone, 570, 14, true, blue, false);
    row("header: Corsa di alzata", "Corsa di alzata: ", 6000, kNone, 600, 12, false, black, false);
    row("header: lift", "4,80 mm", 6000 + width("Corsa di alzata: ", 12, false), kNone, 600, 12, true, black, true);
    row("header: Dimensioni albero", "Dimensioni albero: ", 600, kNone, second, 12, false, black, false);
    row("header: smaller shaft", "26,4", 2900, kNone, second, 12, true, black, false);
    const float slash = 2900 + width("26,4", 12, true);
    row("header: mm /", " mm / ", slash, kNone, second, 12, false, black, false);
    const float larger = slash + width(" mm / ", 12, false);
    row("header: larger shaft", "36", larger, kNone, second, 12, true, black, false);
    row("header: mm", " mm", larger + width("36", 12, true), kNone, second, 12, false, black, false);
    row("header: Gradi di fine alzata", "Gradi di fine alzata: ", 6000, kNone, second, 12, false, black, false);
    row("header: end of lift", "110°", 6000 + width("Gradi di fine alzata: ", 12, false), kNone, second, 12, true,
        black, true);

    const float headings = 1400 + 2 * h;
    row("speed headings: Giri al minuto", "Giri al minuto", 700, kNone, headings, 12, true, black, false);
    row("speed headings: Angolo di comando", "Angolo di comando", 2900, kNone, headings, 12, true, black, false);
    row("speed headings: Millimetri", "Millimetri" + QString(40, ' '), 6000, kNone, headings, 12, true, black, false);
    row("speed headings: Millisecondi", "Millisecondi", 8000, kNone, headings, 12, true, black, true);

    for (int k = 0; k < 25; ++k) {
        const int speed = 2500 - 100 * k;
        const float top = 1750 + 3 * h + k * (h + 100);
        const bool bold = speed == 2000 || speed == 1000 || speed == 500 || speed == 100;
        const QString name = QString("speed %1: ").arg(speed);
        row(name + "speed", QString::number(speed), kNone, 1750, top, 12, bold, black, false);
        row(name + "angle", "7,0°", 3500, kNone, top, 12, bold, red, false);
        row(name + "stroke", stroke(speed, 7), 6000, kNone, top, 12, bold, darkBlue, false);
        row(name + "time", time(speed, 7), 8300, kNone, top, 12, bold, purple, true);
    }

    const float angleHeadings = 4850 + 28 * h;
    row("angle headings: Giri al minuto", "Giri al minuto", 700, kNone, angleHeadings, 12, true, black, false);
    row("angle headings: Gradi di ritardo", "Gradi di ritardo", 2900, kNone, angleHeadings, 12, true, black, false);
    row("angle headings: Corsa pompante", "Corsa pompante", 5500, kNone, angleHeadings, 12, true, black, false);
    row("angle headings: MS equivalenti", "MS equivalenti", 7800, kNone, angleHeadings, 12, true, black, true);

    for (int j = 0; j < 6; ++j) {
        const int angle = 15 + 15 * j;
        const float top = 4970 + 29 * h + j * (h + 120);
        const QString name = QString("angle %1: ").arg(angle);
        row(name + "speed", "1000", kNone, 1750, top, 12, false, black, false);
        row(name + "angle", QString("%1,0°").arg(angle), 3500, kNone, top, 12, false, red, false);
        row(name + "stroke", stroke(1000, angle), 6000, kNone, top, 12, false, black, false);
        row(name + "time", time(1000, angle), kNone, 9200, top, 12, false, black, true);
    }

    row("footer", kFooter, 1050, kNone, 15700, 11, false, black, true);
}

void TestPrint::page()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(float, left);
    QFETCH(float, right);
    QFETCH(float, top);
    QFETCH(float, size);
    QFETCH(bool, bold);
    QFETCH(Rgb, colour);
    QFETCH(bool, endsLine);

    const auto prints = wholePage().named("Print");
    QVERIFY(index < int(prints.size()));
    const Op &op = prints[index];
    QCOMPARE(QString::fromStdString(op.text), text);
    if (!std::isnan(left))
        QCOMPARE(op.x, left);
    if (!std::isnan(right))  // measured in the font the text is printed in
        QCOMPARE(op.x + width(text, op.fontSize, op.bold), right);
    QCOMPARE(op.y, top);
    QCOMPARE(op.fontName, std::string("Arial"));
    QCOMPARE(op.fontSize, size);
    QCOMPARE(op.bold, bold);
    QVERIFY(op.colour == colour);
    QCOMPARE(op.endLine, endsLine);
}

// The printer operations that follow a given one, in order.
void TestPrint::settingOrder_data()
{
    QTest::addColumn<QString>("after");  // empty: from the start
    QTest::addColumn<QStringList>("then");

    const auto y = [](float v) { return "CurrentY " + number(v); };
    const auto x = [](float v) { return "CurrentX " + number(v); };

    QTest::newRow("printer set-up") << QString() << QStringList{"Orientation 1",  "ForeColor 0,0,0",     "FontSize 12",
                                                                "FontName Arial", "FontBold 0",          "CurrentY 600",
                                                                "CurrentX 600",   "Print Codice pompa: "};
    QTest::newRow("pump code 30 twips up")
        << "Print Codice pompa: " << QStringList{"FontBold 1",  "FontSize 14", "CurrentX 2900",   "ForeColor 0,0,255",
                                                 "GetCurrentY", y(570),        "Print 0445010760"};
    QTest::newRow("back to the line")
        << "Print 0445010760"
        << QStringList{"ForeColor 0,0,0",        "FontBold 0", "FontSize 12", "GetCurrentY", y(600), x(6000),
                       "Print Corsa di alzata: "};
    QTest::newRow("first speed row 2500") << "Print Millisecondi"
                                          << QStringList{"GetCurrentY",
                                                         y(1650 + 3 * h),
                                                         "FontBold 0",
                                                         "FontBold 0",
                                                         "GetCurrentY",
                                                         y(1750 + 3 * h),
                                                         x(1750 - width("2500", 12, false)),
                                                         "ForeColor 0,0,0",
                                                         "Print 2500",
                                                         x(3500),
                                                         "ForeColor 255,0,0",
                                                         "Print 7,0°",
                                                         x(6000),
                                                         "ForeColor 0,0,100",
                                                         "Print " + stroke(2500, 7),
                                                         x(8300),
                                                         "ForeColor 190,0,190",
                                                         "Print " + time(2500, 7)};
    QTest::newRow("bold row 2000 measured bold")
        << "Print " + time(2100, 7)
        << QStringList{
               "FontBold 1",      "GetCurrentY", y(1750 + 3 * h + 5 * (h + 100)), x(1750 - width("2000", 12, true)),
               "ForeColor 0,0,0", "Print 2000"};
    QTest::newRow("first rule") << "Print " + time(100, 7)
                                << QStringList{"ForeColor 0,0,0", "GetCurrentY", y(4450 + 28 * h),
                                               "DrawWidth 2",     "GetCurrentY", lineAt(4450 + 28 * h)};
    QTest::newRow("angle headings") << lineAt(4450 + 28 * h)
                                    << QStringList{"GetCurrentY", y(4850 + 28 * h), x(700), "Print Giri al minuto"};
    QTest::newRow("first angle row 15") << "Print MS equivalenti"
                                        << QStringList{"FontBold 0",
                                                       "GetCurrentY",
                                                       y(4970 + 29 * h),
                                                       x(1750 - width("1000", 12, false)),
                                                       "Print 1000",
                                                       x(3500),
                                                       "ForeColor 255,0,0",
                                                       "Print 15,0°",
                                                       x(6000),
                                                       "ForeColor 0,0,0",
                                                       "Print " + stroke(1000, 15),
                                                       x(9200 - width(time(1000, 15), 12, false)),
                                                       "Print " + time(1000, 15)};
    QTest::newRow("second rule") << "Print " + time(1000, 90)
                                 << QStringList{"GetCurrentY", y(5820 + 35 * h), "DrawWidth 2", "GetCurrentY",
                                                lineAt(5820 + 35 * h)};
    QTest::newRow("footer and end of document")
        << lineAt(5820 + 35 * h) << QStringList{"FontSize 11", x(1050), y(15700), "Print " + kFooter, "EndDoc"};
}

void TestPrint::settingOrder()
{
    QFETCH(QString, after);
    QFETCH(QStringList, then);

    QStringList all;
    for (const Op &op : wholePage().printer.ops)
        all << describe(op);
    const qsizetype start = after.isEmpty() ? 0 : all.indexOf(after) + 1;
    QVERIFY2(start > 0 || after.isEmpty(), qPrintable("not printed: " + after));
    QCOMPARE(all.mid(start, then.size()), then);
}

void TestPrint::pageHasItsTextsRulesAndOneEndDoc()
{
    QCOMPARE(wholePage().named("Print").size(), std::size_t(11 + 4 + 25 * 4 + 4 + 6 * 4 + 1));
    QCOMPARE(wholePage().named("Line").size(), std::size_t(2));
    QCOMPARE(wholePage().named("EndDoc").size(), std::size_t(1));
    QCOMPARE(wholePage().printer.ops.back().name, std::string("EndDoc"));
}

void TestPrint::windowProcessesEventsAfterEachSpeedRow()
{
    struct Form : ModelForm {
        using ModelForm::ModelForm;
        RecordingPrinter *recorder = nullptr;
        std::vector<std::size_t> printedAtEvents;
        void processPendingEvents() override
        {
            ModelForm::processPendingEvents();
            std::size_t prints = 0;
            for (const Op &op : recorder->ops)
                prints += op.name == "Print";
            printedAtEvents.push_back(prints);
        }
    };
    RecordingPrinter printer;
    Form form(printer);
    form.recorder = &printer;
    StampaScala(form);

    std::vector<std::string> speeds;
    std::vector<std::size_t> printed;
    for (int k = 0; k < 25; ++k) {
        speeds.push_back(std::to_string(2400 - 100 * k));  // the next speed, already written
        printed.push_back(11 + 4 + 4 * (k + 1));           // this row complete
    }
    QCOMPARE(form.speedsAtEvents, speeds);
    QCOMPARE(form.printedAtEvents, printed);
}

void TestPrint::restore_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("angle");
    QTest::addColumn<QString>("speedAfter");
    QTest::addColumn<int>("degreesAfter");

    QTest::newRow("1000 and 7,0°") << "1000"
                                   << "7,0°"
                                   << "1000" << 7;
    QTest::newRow("0800 comes back as 800") << "0800"
                                            << "7,0°"
                                            << "800" << 7;
    QTest::newRow("2500 and 12,0°") << "2500"
                                    << "12,0°"
                                    << "2500" << 12;
    QTest::newRow("100 and 90,0°") << "100"
                                   << "90,0°"
                                   << "100" << 90;
}

void TestPrint::restore()
{
    QFETCH(QString, speed);
    QFETCH(QString, angle);
    QFETCH(QString, speedAfter);
    QFETCH(int, degreesAfter);

    Printed printed(speed.toStdString(), angle.toStdString());
    ModelForm &form = printed.form;
    QCOMPARE(QString::fromStdString(form.fields[Field::GiriMinuto]), speedAfter);
    QCOMPARE(QString::fromStdString(form.fields[Field::Angolo]), angle);
    // The results are those of the restored inputs: the calculation ran last.
    QCOMPARE(QString::fromStdString(form.captions[9]), stroke(speedAfter.toInt(), degreesAfter));
    QCOMPARE(QString::fromStdString(form.captions[10]), time(speedAfter.toInt(), degreesAfter));
    QCOMPARE(form.boxes.size(), std::size_t(1));
    QCOMPARE(form.boxes[0].text, std::string("Stampa effettuata su 'Stampante di prova'"));
    QCOMPARE(form.boxes[0].title, std::string("Stampa scala"));
    QVERIFY(!form.boxes[0].critical);
}

void TestPrint::failure_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("failAt");  // operation that fails; 0 none, -1 the end of the document
    QTest::addColumn<int>("failCode");
    QTest::addColumn<QString>("title");  // of the one box
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("speedAfter");
    QTest::addColumn<bool>("printed");

    const QString notPrinted = "La pagina non è stata stampata su 'Stampante di prova'.\nErrore della stampante";
    const QString pathError = "Errore   75  " + QString::fromStdString(rotamet::errorDescription(75));
    // A speed that cannot be read: nothing written, nothing printed.
    QTest::newRow("empty speed") << "" << 0 << 0 << "Errore di stampa"
                                 << "Errore   13  Tipo non corrispondente"
                                 << "" << false;
    QTest::newRow("blank speed") << " " << 0 << 0 << "Errore di stampa"
                                 << "Errore   13  Tipo non corrispondente"
                                 << " " << false;
    QTest::newRow("40000 as Int16") << "40000" << 0 << 0 << "Errore di stampa"
                                    << "Errore   6  Overflow"
                                    << "40000" << false;
    // A failure once the speed is read: the inputs come back as after a page.
    QTest::newRow("printer error 482 at set-up")
        << "1000" << 1 << 482 << "Stampa scala" << notPrinted << "1000" << false;
    QTest::newRow("printer error 482 at the end of the document")
        << "1000" << -1 << 482 << "Stampa scala" << notPrinted << "1000" << true;
    QTest::newRow("printer error 482 mid-page, speed 0800")
        << "0800" << 300 << 482 << "Stampa scala" << notPrinted << "800" << true;
    QTest::newRow("path error 75 at set-up") << "1000" << 1 << 75 << "Errore di stampa" << pathError << "1000" << false;
    QTest::newRow("path error 75 at the end of the document")
        << "1000" << -1 << 75 << "Errore di stampa" << pathError << "1000" << true;
}

void TestPrint::failure()
{
    QFETCH(QString, speed);
    QFETCH(int, failAt);
    QFETCH(int, failCode);
    QFETCH(QString, title);
    QFETCH(QString, box);
    QFETCH(QString, speedAfter);
    QFETCH(bool, printed);

    RecordingPrinter printer;
    if (failAt == -1)
        failAt = int(wholePage().printer.ops.size());  // the EndDoc of a whole page
    if (failAt > 0)
        printer.failAt = failAt;
    printer.failCode = failCode;
    ModelForm form(printer);
    form.fields[Field::GiriMinuto] = speed.toStdString();
    StampaScala(form);

    // Exactly one box: a printer error warns, any other code is critical.
    QCOMPARE(form.boxes.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(form.boxes[0].text), box);
    QCOMPARE(QString::fromStdString(form.boxes[0].title), title);
    QCOMPARE(form.boxes[0].critical, failCode != 482);
    QCOMPARE(form.boxes[0].warning, failCode == 482);

    QCOMPARE(QString::fromStdString(form.fields[Field::GiriMinuto]), speedAfter);
    QCOMPARE(QString::fromStdString(form.fields[Field::Angolo]), QString("7,0°"));
    if (failAt > 0) {
        // The calculation ran last, for the inputs written back.
        QCOMPARE(QString::fromStdString(form.captions[9]), stroke(speedAfter.toInt(), 7));
        QCOMPARE(QString::fromStdString(form.captions[10]), time(speedAfter.toInt(), 7));
    }
    // Never finished; a page begun is dropped.
    bool anyPrint = false, endDoc = false, killDoc = false;
    for (const Op &op : printer.ops) {
        anyPrint |= op.name == "Print";
        endDoc |= op.name == "EndDoc";
        killDoc |= op.name == "KillDoc";
    }
    QCOMPARE(anyPrint, printed);
    QVERIFY(!endDoc);
    QCOMPARE(killDoc, failAt > 0);
    if (killDoc)
        QCOMPARE(printer.ops.back().name, std::string("KillDoc"));
}

void TestPrint::pausedQueueSaysThePageWaits()
{
    RecordingPrinter printer;
    printer.waiting = "la coda è sospesa, e la pagina vi attende finché non viene riattivata";
    ModelForm form(printer);
    StampaScala(form);
    QCOMPARE(form.boxes.size(), std::size_t(1));
    QCOMPARE(form.boxes[0].title, std::string("Stampa scala"));
    QCOMPARE(form.boxes[0].text,
             "La pagina è stata consegnata a 'Stampante di prova', ma non viene stampata ora: " + printer.waiting
                 + ".");
    QVERIFY(form.boxes[0].warning);
    QCOMPARE(form.fields[Field::GiriMinuto], std::string("1000"));
    QCOMPARE(printer.ops.back().name, std::string("EndDoc"));
}

void TestPrint::unreadableAngleStopsThePrintBeforeAnythingIsSent()
{
    Printed printed("1000", "sette");
    QCOMPARE(printed.form.boxes.size(), std::size_t(1));
    QCOMPARE(printed.form.boxes[0].title, std::string("Errore di calcolo"));
    QVERIFY(printed.printer.ops.empty());
    QCOMPARE(printed.form.fields[Field::GiriMinuto], std::string("1000"));
    QCOMPARE(printed.form.fields[Field::Angolo], std::string("sette"));
}

ROTAMET_TEST_MAIN(TestPrint)
#include "tst_print.moc"
