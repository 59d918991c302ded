// The calculation run against a plain model of the window: texts, captions,
// tooltips, option states and the command-time strip.
#include <QTest>
#include <map>

#include "calc/calculation.h"
#include "numtext/runtimeerror.h"

using namespace rotamet;
using calc::Field;
using calc::Fill;

namespace {

struct Pump {
    const char *min, *max, *angle;
};
const std::map<QString, Pump> kPumps{
    {"0445010760", {"37,35", "46,95", "110°"}},    {"0445010790", {"37,6", "47,1", "90°"}},
    {"0445010799", {"34,75", "46,89", "100°"}},    {"A2C1637670080", {"38,51", "50,51", "90°"}},
    {"lift ends at 0°", {"37,35", "46,95", "0°"}},
};

// The window reduced to what the run reads and writes. Writing a different
// speed text runs the calculation nested, as the change event does.
class ModelForm : public FormView {
public:
    std::map<Field, std::string> fields{{Field::GiriMinuto, "1000"},
                                        {Field::Angolo, "7,0°"},
                                        {Field::Millisecondi, "1,00"},
                                        {Field::Millimetri, "0,40"}};
    std::string captions[15];
    std::string tips[15];
    bool options[3] = {false, true, false};
    float shapeWidth[4] = {0, 705, 1095, 6000};
    Fill shapeFill[4] = {{}, Fill::Rgb(255, 0, 0), Fill::Rgb(128, 255, 255), Fill::Rgb(128, 255, 255)};
    std::string command1 = "900 µs";
    std::string printTip;
    int selStart = -1, selLength = -1;
    bool printerFails = false;
    int runs = 0;
    std::vector<std::pair<std::string, std::string>> boxes;

    explicit ModelForm(const QString &pump = "0445010760") { setPump(pump); }
    void setPump(const QString &code)
    {
        const Pump &p = kPumps.at(code);
        captions[3] = p.min;
        captions[4] = p.max;
        captions[6] = p.angle;
    }
    void run()
    {
        ++runs;
        calc::Calcola(*this);
    }

    std::string printerDeviceName() override
    {
        if (printerFails)
            throw RunTimeError(errcode::PrinterError);
        return "Laser";
    }
    std::string printerSecondText() override { return "LPT1:"; }
    void setPrintToolTip(const std::string &t) override { printTip = t; }
    std::string fieldText(Field f) override { return fields[f]; }
    void setFieldText(Field f, const std::string &t) override
    {
        const bool changed = fields[f] != t;
        fields[f] = t;
        if (changed && f == Field::GiriMinuto)
            run();
    }
    void setSpeedSelection(int start, int length) override
    {
        selStart = start;
        selLength = length;
    }
    std::string valueCaption(int i) override { return captions[i]; }
    void setValueCaption(int i, const std::string &t) override { captions[i] = t; }
    void setValueToolTip(int i, const std::string &t) override { tips[i] = t; }
    bool optionSelected(int i) override { return options[i]; }
    void setShapeWidth(int s, float w) override { shapeWidth[s] = w; }
    void setShapeFill(int s, Fill f) override { shapeFill[s] = f; }
    void setCommandCaption(int i, const std::string &t) override
    {
        QCOMPARE(i, 1);
        command1 = t;
    }
    void showCriticalBox(const std::string &text, const std::string &title) override
    {
        boxes.emplace_back(text, title);
    }

    // What the printing asks for, not the calculation: a box would be counted.
    std::string pumpCode() override { return "0445010760"; }
    void runCalculation() override { run(); }
    void processPendingEvents() override {}
    print::Printer &printer() override { throw RunTimeError(errcode::PrinterError); }
    void showInformationBox(const std::string &text, const std::string &title) override
    {
        boxes.emplace_back(text, title);
    }
    void showWarningBox(const std::string &text, const std::string &title) override { boxes.emplace_back(text, title); }
    std::string todayShortDate() override { return "10/12/2026"; }
};

QString q(const std::string &s) { return QString::fromStdString(s); }

}  // namespace

class TestCalculation : public QObject {
    Q_OBJECT
private slots:
    void rotationTiming_data();
    void rotationTiming();
    void emptySpeedRunsNestedOnceAndSelectsZero();
    void unreadableSpeedShowsOneBox_data();
    void unreadableSpeedShowsOneBox();
    void conversions_data();
    void conversions();
    void tooltipsRepeatTheFieldTexts();
    void typedAngleUsesAllDecimalsThenShowsOne();
    void unreadableConversionFieldsShowOneBox();
    void emptySpeedAndBadAngleShowOneBoxInAll();
    void zeroDivisorsDropTheirStepsSilently();
    void unreadableFieldIsToldBeforeAZeroDivisor();
    void strip_data();
    void strip();
    void printerMissingKeepsRunSilent();
};

void TestCalculation::rotationTiming_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("option");  // -1: none selected
    QTest::addColumn<QString>("hertz");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("ms");
    QTest::addColumn<QString>("riseFall");
    QTest::addColumn<QString>("quarter");

    QTest::newRow("1000, 2 lifts") << "1000" << 1 << "16,67"
                                   << "0,060"
                                   << "60,00"
                                   << "ms 30,00"
                                   << "ms 15,00";
    QTest::newRow("1000, 1 lift") << "1000" << 0 << "16,67"
                                  << "0,060"
                                  << "60,00"
                                  << "ms 60,00"
                                  << "ms 15,00";
    QTest::newRow("1000, 3 lifts") << "1000" << 2 << "16,67"
                                   << "0,060"
                                   << "60,00"
                                   << "ms 20,00"
                                   << "ms 15,00";
    QTest::newRow("1000, no option") << "1000" << -1 << "16,67"
                                     << "0,060"
                                     << "60,00"
                                     << "ms "
                                     << "ms 15,00";
    QTest::newRow("2500") << "2500" << 1 << "41,67"
                          << "0,024"
                          << "24,00"
                          << "ms 12,00"
                          << "ms 6,00";
    QTest::newRow("7, grouping") << "7" << 1 << "0,12"
                                 << "8,571"
                                 << "8.571,43"
                                 << "ms 4.285,71"
                                 << "ms 2.142,86";
    QTest::newRow("99999") << "99999" << 1 << "1.666,65"
                           << "0,001"
                           << "0,60"
                           << "ms 0,30"
                           << "ms 0,15";
    QTest::newRow("0: seconds unset") << "0" << 1 << "0,00"
                                      << ""
                                      << "0,00"
                                      << "ms 0,00"
                                      << "ms 0,00";
    QTest::newRow("1.500 with grouping point") << "1.500" << 1 << "25,00"
                                               << "0,040"
                                               << "40,00"
                                               << "ms 20,00"
                                               << "ms 10,00";
}

void TestCalculation::rotationTiming()
{
    QFETCH(QString, speed);
    QFETCH(int, option);
    QFETCH(QString, hertz);
    QFETCH(QString, seconds);
    QFETCH(QString, ms);
    QFETCH(QString, riseFall);
    QFETCH(QString, quarter);
    ModelForm form;
    form.fields[Field::GiriMinuto] = speed.toStdString();
    for (int i = 0; i < 3; ++i)
        form.options[i] = i == option;
    form.run();

    QVERIFY(form.boxes.empty());
    QCOMPARE(q(form.captions[0]), hertz);
    QCOMPARE(q(form.captions[1]), seconds);
    QCOMPARE(q(form.captions[2]), ms);
    QCOMPARE(q(form.captions[5]), QString("4,80"));
    QCOMPARE(q(form.captions[7]), riseFall);
    QCOMPARE(q(form.captions[8]), quarter);
    QCOMPARE(q(form.printTip), QString("Stampa su: Laser LPT1:"));
}

void TestCalculation::emptySpeedRunsNestedOnceAndSelectsZero()
{
    ModelForm form;
    form.fields[Field::GiriMinuto] = "";
    form.run();

    QCOMPARE(form.runs, 2);
    QCOMPARE(q(form.fields[Field::GiriMinuto]), QString("0"));
    QCOMPARE(form.selStart, 0);
    QCOMPARE(form.selLength, 1);
    QVERIFY(form.boxes.empty());
    QCOMPARE(q(form.captions[0]), QString("0,00"));
    QCOMPARE(q(form.captions[1]), QString(""));
    QCOMPARE(q(form.captions[2]), QString("0,00"));
    QCOMPARE(q(form.captions[7]), QString("ms 0,00"));
    // The conversions at speed 0: times and the angle of the time are 0;
    // the stroke of the angle and the angle of the stroke do not depend on it.
    QCOMPARE(q(form.captions[9]), QString("mm 0,305"));
    QCOMPARE(q(form.captions[10]), QString("ms 0,00"));
    QCOMPARE(q(form.captions[11]), QString("0,0°"));
    QCOMPARE(q(form.captions[12]), QString("mm 0,000"));
    QCOMPARE(q(form.captions[13]), QString("9,17°"));
    QCOMPARE(q(form.captions[14]), QString("ms 0,00"));
    QVERIFY(form.shapeFill[2].buttonFace);
    QVERIFY(form.shapeFill[3].buttonFace);
}

void TestCalculation::unreadableSpeedShowsOneBox_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("message");
    QTest::newRow("a blank") << " "
                             << "Errore 13  Tipo non corrispondente";
    QTest::newRow("letters") << "abc"
                             << "Errore 13  Tipo non corrispondente";
    QTest::newRow("beyond Int32") << "9999999999"
                                  << "Errore 6  Overflow";
}

void TestCalculation::unreadableSpeedShowsOneBox()
{
    QFETCH(QString, speed);
    QFETCH(QString, message);
    ModelForm form;
    form.fields[Field::GiriMinuto] = speed.toStdString();
    form.run();

    QCOMPARE(form.boxes.size(), std::size_t(1));
    QCOMPARE(q(form.boxes[0].first), message);
    QCOMPARE(q(form.boxes[0].second), QString("Errore di calcolo"));
    QCOMPARE(form.runs, 1);
    // The failed step is skipped and the run goes on with the speed 0.
    QCOMPARE(q(form.captions[5]), QString("4,80"));
    QCOMPARE(q(form.captions[0]), QString("0,00"));
    QCOMPARE(q(form.captions[9]), QString("mm 0,305"));
    QCOMPARE(q(form.fields[Field::Angolo]), QString("7,0°"));
}

void TestCalculation::conversions_data()
{
    QTest::addColumn<QString>("pump");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("angle");
    QTest::addColumn<QString>("msText");
    QTest::addColumn<QString>("mmText");
    for (const char *column : {"angleField", "l9", "l10", "l11", "l12", "l13", "l14"})
        QTest::addColumn<QString>(column);

    QTest::newRow("0445010760 at start") << "0445010760"
                                         << "1000"
                                         << "7,0°"
                                         << "1,00"
                                         << "0,40"
                                         << "7,0°"
                                         << "mm 0,305"
                                         << "ms 1,17"
                                         << "6,0°"
                                         << "mm 0,262"
                                         << "9,17°"
                                         << "ms 1,53";
    QTest::newRow("0445010790") << "0445010790"
                                << "1000"
                                << "7,0°"
                                << "1,00"
                                << "0,40"
                                << "7,0°"
                                << "mm 0,369"
                                << "ms 1,17"
                                << "6,0°"
                                << "mm 0,317"
                                << "7,58°"
                                << "ms 1,26";
    QTest::newRow("A2C1637670080") << "A2C1637670080"
                                   << "1000"
                                   << "7,0°"
                                   << "1,00"
                                   << "0,40"
                                   << "7,0°"
                                   << "mm 0,467"
                                   << "ms 1,17"
                                   << "6,0°"
                                   << "mm 0,400"
                                   << "6,00°"
                                   << "ms 1,00";
    QTest::newRow("0445010799 uses the lift as shown, 6,07") << "0445010799"
                                                             << "1000"
                                                             << "7,0°"
                                                             << "1,00"
                                                             << "0,40"
                                                             << "7,0°"
                                                             << "mm 0,425"
                                                             << "ms 1,17"
                                                             << "6,0°"
                                                             << "mm 0,364"
                                                             << "6,59°"
                                                             << "ms 1,10";
    QTest::newRow("speed 3000") << "0445010760"
                                << "3000"
                                << "7,0°"
                                << "1,00"
                                << "0,40"
                                << "7,0°"
                                << "mm 0,305"
                                << "ms 0,39"
                                << "18,0°"
                                << "mm 0,785"
                                << "9,17°"
                                << "ms 0,51";
    QTest::newRow("angle 12 without degree sign") << "0445010760"
                                                  << "1000"
                                                  << "12"
                                                  << "1,00"
                                                  << "0,40"
                                                  << "12,0°"
                                                  << "mm 0,524"
                                                  << "ms 2,00"
                                                  << "6,0°"
                                                  << "mm 0,262"
                                                  << "9,17°"
                                                  << "ms 1,53";
    QTest::newRow("angle 200 beyond the lift") << "0445010760"
                                               << "1000"
                                               << "200"
                                               << "1,00"
                                               << "0,40"
                                               << "200,0°"
                                               << "mm 8,727"
                                               << "ms 33,33"
                                               << "6,0°"
                                               << "mm 0,262"
                                               << "9,17°"
                                               << "ms 1,53";
    QTest::newRow("angle 1234,5 grouped") << "0445010760"
                                          << "1000"
                                          << "1234,5"
                                          << "1,00"
                                          << "0,40"
                                          << "1.234,5°"
                                          << "mm 53,869"
                                          << "ms 205,75"
                                          << "6,0°"
                                          << "mm 0,262"
                                          << "9,17°"
                                          << "ms 1,53";
    QTest::newRow("angle 1.234,5° read back") << "0445010760"
                                              << "1000"
                                              << "1.234,5°"
                                              << "1,00"
                                              << "0,40"
                                              << "1.234,5°"
                                              << "mm 53,869"
                                              << "ms 205,75"
                                              << "6,0°"
                                              << "mm 0,262"
                                              << "9,17°"
                                              << "ms 1,53";
    QTest::newRow("command time 1") << "0445010760"
                                    << "1000"
                                    << "7,0°"
                                    << "1"
                                    << "0,40"
                                    << "7,0°"
                                    << "mm 0,305"
                                    << "ms 1,17"
                                    << "6,0°"
                                    << "mm 0,262"
                                    << "9,17°"
                                    << "ms 1,53";
}

void TestCalculation::conversions()
{
    QFETCH(QString, pump);
    QFETCH(QString, speed);
    QFETCH(QString, angle);
    QFETCH(QString, msText);
    QFETCH(QString, mmText);
    QFETCH(QString, angleField);
    ModelForm form(pump);
    form.fields[Field::GiriMinuto] = speed.toStdString();
    form.fields[Field::Angolo] = angle.toStdString();
    form.fields[Field::Millisecondi] = msText.toStdString();
    form.fields[Field::Millimetri] = mmText.toStdString();
    form.run();

    QVERIFY(form.boxes.empty());
    QCOMPARE(q(form.fields[Field::Angolo]), angleField);
    QFETCH(QString, l9);
    QFETCH(QString, l10);
    QFETCH(QString, l11);
    QFETCH(QString, l12);
    QFETCH(QString, l13);
    QFETCH(QString, l14);
    QCOMPARE(q(form.captions[9]), l9);
    QCOMPARE(q(form.captions[10]), l10);
    QCOMPARE(q(form.captions[11]), l11);
    QCOMPARE(q(form.captions[12]), l12);
    QCOMPARE(q(form.captions[13]), l13);
    QCOMPARE(q(form.captions[14]), l14);
    // The fields of command time and stroke are never rewritten.
    QCOMPARE(q(form.fields[Field::Millisecondi]), msText);
    QCOMPARE(q(form.fields[Field::Millimetri]), mmText);
}

void TestCalculation::tooltipsRepeatTheFieldTexts()
{
    ModelForm form;
    form.fields[Field::Millisecondi] = "1";
    form.run();
    QCOMPARE(q(form.tips[9]), QString("Millimetri di escursione del pompante con 7,0° di comando elettrico"));
    QCOMPARE(q(form.tips[10]), QString("Millisecondi di comando elettrico corrispondenti a 7,0°"));
    QCOMPARE(q(form.tips[11]), QString("Angolo corrispondente a 1 ms di comando elettrico"));
    QCOMPARE(q(form.tips[12]), QString("Millimetri di escursione del pompante con 1 ms di comando elettrico"));
    QCOMPARE(q(form.tips[13]), QString("Angolo di rotazione corrispondente a 0,40 di corsa del pompante"));
    QCOMPARE(q(form.tips[14]), QString("Millisecondi di comando corrispondenti a 0,40 di corsa del pompante"));
}

void TestCalculation::typedAngleUsesAllDecimalsThenShowsOne()
{
    ModelForm form;
    form.fields[Field::Angolo] = "7,25";
    form.run();
    QCOMPARE(q(form.captions[9]), QString("mm 0,316"));
    QCOMPARE(q(form.captions[10]), QString("ms 1,21"));
    QCOMPARE(q(form.fields[Field::Angolo]), QString("7,3°"));
    QCOMPARE(q(form.tips[10]), QString("Millisecondi di comando elettrico corrispondenti a 7,3°"));
    form.run();  // the next run reads the rounded text
    QCOMPARE(q(form.captions[9]), QString("mm 0,319"));
}

void TestCalculation::unreadableConversionFieldsShowOneBox()
{
    ModelForm form;
    form.fields[Field::Angolo] = ",";
    form.fields[Field::Millisecondi] = "";
    form.fields[Field::Millimetri] = "1,,2";
    form.run();

    QCOMPARE(form.boxes.size(), std::size_t(1));
    QCOMPARE(q(form.boxes[0].first), QString("Errore 13  Tipo non corrispondente"));
    // The failed steps leave their values unset; everything else is computed.
    QCOMPARE(q(form.captions[9]), QString("mm "));
    QCOMPARE(q(form.captions[11]), QString(""));
    QCOMPARE(q(form.captions[13]), QString(""));
    QCOMPARE(q(form.captions[2]), QString("60,00"));
    QCOMPARE(q(form.fields[Field::Angolo]), QString(","));
}

void TestCalculation::emptySpeedAndBadAngleShowOneBoxInAll()
{
    ModelForm form;
    form.fields[Field::GiriMinuto] = "";
    form.fields[Field::Angolo] = "°";
    form.run();
    QCOMPARE(form.runs, 2);
    QCOMPARE(form.boxes.size(), std::size_t(1));
}

// No lifts per revolution chosen yet and a lift ending at 0°: the steps that
// divide by them keep their earlier values, with no box.
void TestCalculation::zeroDivisorsDropTheirStepsSilently()
{
    ModelForm form("lift ends at 0°");
    form.options[1] = false;
    form.captions[7] = "ms 99";
    form.run();
    QVERIFY(form.boxes.empty());
    QCOMPARE(q(form.captions[7]), QString("ms "));
    QCOMPARE(q(form.captions[9]), QString("mm "));
    QCOMPARE(q(form.captions[12]), QString("mm "));
    QCOMPARE(q(form.captions[13]), QString("0,00°"));
    QCOMPARE(q(form.captions[10]), QString("ms 1,17"));
    QCOMPARE(q(form.captions[2]), QString("60,00"));
}

// The field is read before the division, left to right: its error is told
// even when the divisor is 0.
void TestCalculation::unreadableFieldIsToldBeforeAZeroDivisor()
{
    ModelForm form("lift ends at 0°");
    form.fields[Field::Millimetri] = "1,,2";
    form.run();
    QCOMPARE(form.boxes.size(), std::size_t(1));
    QCOMPARE(q(form.boxes[0].first), QString("Errore 13  Tipo non corrispondente"));
}

void TestCalculation::strip_data()
{
    QTest::addColumn<QString>("pump");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("stroke");
    QTest::addColumn<float>("width");      // Shape2 width, twips
    QTest::addColumn<bool>("cyan");        // Shape2 light cyan, else button face
    QTest::addColumn<QString>("caption");  // lblComando(1)
    QTest::addColumn<bool>("shape3Face");  // Shape3 in the button face

    QTest::newRow("at start: 1527,78 µs") << "0445010760"
                                          << "1000"
                                          << "0,40" << 827.7778f << true << "827,777777777778 µs" << true;
    QTest::newRow("A2C1637670080: 1000 µs") << "A2C1637670080"
                                            << "1000"
                                            << "0,40" << 300.0f << true << "300 µs" << true;
    QTest::newRow("exactly 700 µs") << "A2C1637670080"
                                    << "1000"
                                    << "0,28" << 0.0f << true << "0 µs" << true;
    QTest::newRow("381,94 µs: both in the button face") << "0445010760"
                                                        << "1000"
                                                        << "0,10" << 1095.0f << false << "900 µs" << true;
    QTest::newRow("1909,72 µs: nothing changes") << "0445010760"
                                                 << "1000"
                                                 << "0,50" << 1095.0f << true << "900 µs" << false;
    QTest::newRow("speed 0") << "0445010760"
                             << "0"
                             << "0,40" << 1095.0f << false << "900 µs" << true;
}

void TestCalculation::strip()
{
    QFETCH(QString, pump);
    QFETCH(QString, speed);
    QFETCH(QString, stroke);
    QFETCH(float, width);
    QFETCH(bool, cyan);
    QFETCH(QString, caption);
    QFETCH(bool, shape3Face);
    ModelForm form(pump);
    form.fields[Field::GiriMinuto] = speed.toStdString();
    form.fields[Field::Millimetri] = stroke.toStdString();
    form.run();

    QCOMPARE(form.shapeWidth[2], width);
    QCOMPARE(form.shapeFill[2] == Fill::Rgb(128, 255, 255), cyan);
    QCOMPARE(form.shapeFill[2].buttonFace, !cyan);
    QCOMPARE(q(form.command1), caption);
    QCOMPARE(form.shapeFill[3].buttonFace, shape3Face);
    QCOMPARE(form.shapeWidth[1], 705.0f);
    QCOMPARE(form.shapeWidth[3], 6000.0f);
}

void TestCalculation::printerMissingKeepsRunSilent()
{
    ModelForm form;
    form.printerFails = true;
    form.run();
    QCOMPARE(q(form.printTip), QString("Stampa su: "));
    QVERIFY(form.boxes.empty());
    QCOMPARE(q(form.captions[0]), QString("16,67"));
}

QTEST_APPLESS_MAIN(TestCalculation)
#include "tst_calculation.moc"
