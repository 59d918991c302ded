// Typing and stepping, driven as a user drives the window: key clicks into
// the real fields, mouse clicks on the real buttons.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "app/application.h"
#include "support/controls.h"
#include "support/recordingservices.h"
#include "support/testmain.h"
#include "window/frmmain.h"
#include "window/stepbuttons.h"
#include "window/textbox.h"

using namespace rotamet;
using calc::Field;

namespace {

struct Window {
    RecordingServices services;
    FrmMain form{services};
    Controls ui{form};
    Window()
    {
        form.load();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("window not active");
    }
    TextBox *field(const QString &name) { return form.findChild<TextBox *>(name); }
    QPushButton *button(const QString &name) { return form.findChild<QPushButton *>(name); }
    QStringList results()
    {
        QStringList out;
        for (QLabel *l : ui.lblValori)
            out << l->text() << l->toolTip();
        out << ui.txtAngolo->text() << ui.lblComando[1]->text()
            << QString::number(ui.Shape[2]->property("widthTwips").toFloat());
        return out;
    }
};

// Empties a field as a user would: select everything, Backspace.
void clearByKeys(TextBox *box)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
}

}  // namespace

class TestInputs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(installQtTranslations()); }
    void cleanup() { QApplication::clipboard()->clear(); }

    void conversionFieldKeyFilter_data();
    void conversionFieldKeyFilter();
    void speedFieldKeyFilter_data();
    void speedFieldKeyFilter();
    void eachSpeedKeystrokeRunsTheCalculationOnce();
    void clearingTheSpeedLeavesZeroSelectedAfterTwoRuns();
    void focusSelectsTheWholeSpeed();
    void enterInAConversionFieldRunsTheCalculation();
    void clipboardShortcutsAreDiscardedButPasteIsBounded();
    void pasteFromTheContextMenuIsBoundedAndOneLine_data();
    void pasteFromTheContextMenuIsBoundedAndOneLine();
    void theContextMenuIsItalian();
    void aClickIntoTheSpeedFieldSelectsItsText();
    void aClickIntoAConversionFieldPlacesTheCaret();
    void textWrittenByCodeIsShownWhole();
    void stepButtons_data();
    void stepButtons();
    void stepRules_data();
    void stepRules();
    void stepButtonOnAFieldThatIsNotANumber_data();
    void stepButtonOnAFieldThatIsNotANumber();
    void enterOnAFocusedStepButtonClicksIt();
    void hundredClicksMatchOneCalculationOfTheFinalTexts();
    void heldEnterKeyMatchesOneCalculationOfTheFinalTexts();
    void pastingAnythingNeverBreaksTheWindow_data();
    void pastingAnythingNeverBreaksTheWindow();
    void stripFollowsTheStroke();
    void stripButtonFaceFollowsThePalette();
};

void TestInputs::conversionFieldKeyFilter_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    for (const char *f : {"txtAngolo", "txtMillisecondi", "txtMillimetri"}) {
        QTest::addRow("%s: digits and comma", f) << f << "1,5"
                                                 << "1,5";
        QTest::addRow("%s: point becomes comma", f) << f << "2.5"
                                                    << "2,5";
        QTest::addRow("%s: minus, letters, blank discarded", f) << f << "-a 3b"
                                                                << "3";
        QTest::addRow("%s: degree sign discarded", f) << f << "4°"
                                                      << "4";
        QTest::addRow("%s: commas are not limited", f) << f << ",,1"
                                                       << ",,1";
    }
    QTest::newRow("txtAngolo: six typed") << "txtAngolo"
                                          << "1234567"
                                          << "123456";
    QTest::newRow("txtMillisecondi: five typed") << "txtMillisecondi"
                                                 << "1234567"
                                                 << "12345";
    QTest::newRow("txtMillimetri: five typed") << "txtMillimetri"
                                               << "1234567"
                                               << "12345";
}

void TestInputs::conversionFieldKeyFilter()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Window w;
    TextBox *box = w.field(field);
    clearByKeys(box);
    QCOMPARE(box->text(), QString());
    const int before = w.form.calculationRuns();
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), shown);
    QCOMPARE(w.form.calculationRuns(), before);  // typing alone runs nothing
}

void TestInputs::speedFieldKeyFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("digits") << "2500"
                            << "2500";
    QTest::newRow("comma, point, minus, letters discarded") << "1,2.3-a4"
                                                            << "1234";
    QTest::newRow("five typed at most") << "1234567"
                                        << "12345";
}

void TestInputs::speedFieldKeyFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Window w;
    TextBox *box = w.ui.txtGiriMinuto;
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), shown);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(box->text(), shown);
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), shown.chopped(1));
    QVERIFY(w.services.boxes.empty());
}

void TestInputs::eachSpeedKeystrokeRunsTheCalculationOnce()
{
    Window w;
    TextBox *box = w.ui.txtGiriMinuto;
    box->setFocus();
    box->selectAll();
    int before = w.form.calculationRuns();
    QTest::keyClick(box, '2');
    QCOMPARE(w.form.calculationRuns(), before + 1);
    QTest::keyClicks(box, "500");
    QCOMPARE(w.form.calculationRuns(), before + 4);
    QCOMPARE(w.ui.lblValori[0]->text(), QString("41,67"));
    before = w.form.calculationRuns();
    QTest::keyClick(box, ',');  // discarded: no change, no run
    QCOMPARE(w.form.calculationRuns(), before);
}

void TestInputs::clearingTheSpeedLeavesZeroSelectedAfterTwoRuns()
{
    Window w;
    TextBox *box = w.ui.txtGiriMinuto;
    const int before = w.form.calculationRuns();
    clearByKeys(box);
    QCOMPARE(w.form.calculationRuns(), before + 2);
    QCOMPARE(box->text(), QString("0"));
    QCOMPARE(box->selectedText(), QString("0"));
    QCOMPARE(w.ui.lblValori[1]->text(), QString());
    QCOMPARE(w.ui.lblValori[2]->text(), QString("0,00"));
    QVERIFY(w.services.boxes.empty());
    // The next digit replaces the selected 0.
    QTest::keyClick(box, '7');
    QCOMPARE(box->text(), QString("7"));
    QCOMPARE(w.ui.lblValori[2]->text(), QString("8.571,43"));
}

void TestInputs::focusSelectsTheWholeSpeed()
{
    Window w;
    w.ui.cboCodice->setFocus();
    QTest::keyClick(&w.form, Qt::Key_Tab);
    QVERIFY(w.ui.txtGiriMinuto->hasFocus());
    QCOMPARE(w.ui.txtGiriMinuto->selectedText(), QString("1000"));
    QTest::keyClick(w.ui.txtGiriMinuto, '3');
    QCOMPARE(w.ui.txtGiriMinuto->text(), QString("3"));
}

void TestInputs::enterInAConversionFieldRunsTheCalculation()
{
    Window w;
    TextBox *box = w.ui.txtAngolo;
    clearByKeys(box);
    QTest::keyClicks(box, "7.25");
    const int before = w.form.calculationRuns();
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(w.form.calculationRuns(), before + 1);
    QCOMPARE(box->text(), QString("7,3°"));
    QCOMPARE(w.ui.lblValori[9]->text(), QString("mm 0,316"));

    clearByKeys(w.ui.txtMillisecondi);
    QTest::keyClick(w.ui.txtMillisecondi, '1');
    QTest::keyClick(w.ui.txtMillisecondi, Qt::Key_Enter);
    QCOMPARE(w.ui.lblValori[11]->text(), QString("6,0°"));
    QCOMPARE(w.ui.lblValori[11]->toolTip(), QString("Angolo corrispondente a 1 ms di comando elettrico"));
}

void TestInputs::clipboardShortcutsAreDiscardedButPasteIsBounded()
{
    Window w;
    TextBox *box = w.ui.txtMillimetri;
    QApplication::clipboard()->setText("abc123456");
    clearByKeys(box);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box->text(), QString());
    // Pasting is not filtered, only bounded by the field's length.
    QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(box->text(), QString("abc12"));
    box->setCursorPosition(0);
    box->pasteBounded();
    QCOMPARE(box->text(), QString("abc12"));
    box->setSelection(0, 3);
    box->pasteBounded();
    QCOMPARE(box->text(), QString("abc12"));
    box->setSelection(0, 3);
    QApplication::clipboard()->setText("9");
    box->pasteBounded();
    QCOMPARE(box->text(), QString("912"));
}

namespace {
// Right-clicks the field and waits for its context menu (nullptr if none).
// The click goes through the window, as the platform delivers it, so that Qt
// turns it into a context menu request.
QMenu *openContextMenu(TextBox *box)
{
    QWidget *window = box->window();
    QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, box->mapTo(window, box->rect().center()));
    QMenu *menu = nullptr;
    // Returns as soon as the menu is up; a busy machine under Wine may take
    // seconds to get there.
    if (!QTest::qWaitFor([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); }, 10000))
        return nullptr;
    return menu;
}

QAction *actionNamed(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions()) {
        if (a->text().section('\t', 0, 0) == text)
            return a;
    }
    return nullptr;
}
}  // namespace

void TestInputs::pasteFromTheContextMenuIsBoundedAndOneLine_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("byMenu");  // else Shift+Insert
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("shown");
    for (bool byMenu : {true, false}) {
        const char *how = byMenu ? "menu" : "Shift+Insert";
        QTest::addRow("%s: nine digits into the speed", how) << "txtGiriMinuto" << byMenu << "123456789"
                                                             << "12345";
        QTest::addRow("%s: 1 MB into the stroke", how) << "txtMillimetri" << byMenu << QString(1 << 20, '7') << "77777";
        QTest::addRow("%s: a line with its line end", how) << "txtGiriMinuto" << byMenu << "1500\r\n"
                                                           << "1500";
        QTest::addRow("%s: tabs, line breaks and NUL dropped", how)
            << "txtAngolo" << byMenu << QString("1\t2\n3") + QChar(0) + "4" + QChar(0x2028) + "5" + QChar(0x200b) + "6"
            << "123456";
        QTest::addRow("%s: letters are pasted", how) << "txtMillisecondi" << byMenu << "ab,c"
                                                     << "ab,c";
    }
}

void TestInputs::pasteFromTheContextMenuIsBoundedAndOneLine()
{
    QFETCH(QString, field);
    QFETCH(bool, byMenu);
    QFETCH(QString, clipboard);
    QFETCH(QString, shown);
    Window w;
    TextBox *box = w.field(field);
    clearByKeys(box);
    QApplication::clipboard()->setText(clipboard);
    if (byMenu) {
        QMenu *menu = openContextMenu(box);
        QVERIFY(menu);
        QAction *paste = actionNamed(menu, "&Incolla");
        QVERIFY(paste);
        QVERIFY(paste->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(paste).center());
        QTRY_VERIFY(!menu->isVisible());
    } else {
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    }
    QCOMPARE(box->text(), shown);
}

void TestInputs::theContextMenuIsItalian()
{
    Window w;
    TextBox *box = w.ui.txtMillimetri;
    box->setFocus();
    QMenu *menu = openContextMenu(box);
    QVERIFY(menu);
    QStringList texts;
    for (QAction *a : menu->actions()) {
        if (!a->isSeparator())
            texts << a->text().section('\t', 0, 0);
    }
    QCOMPARE(texts, QStringList({"Ann&ulla", "&Rifai", "&Taglia", "&Copia", "&Incolla", "Elimina", "Seleziona tutto"}));
    menu->close();
}

void TestInputs::aClickIntoTheSpeedFieldSelectsItsText()
{
    Window w;
    TextBox *box = w.ui.txtGiriMinuto;
    w.ui.cboCodice->setFocus();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 2 + 3, box->height() / 2));
    QVERIFY(box->hasFocus());
    QCOMPARE(box->selectedText(), QString("1000"));
    QTest::keyClicks(box, "1500");
    QCOMPARE(box->text(), QString("1500"));
    QCOMPARE(w.ui.lblValori[0]->text(), QString("25,00"));

    // Once the field has the focus, a click places the caret.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 2, box->height() / 2));
    QVERIFY(!box->hasSelectedText());
    QTest::keyClick(box, '0');
    QCOMPARE(box->text(), QString("15000"));
}

void TestInputs::aClickIntoAConversionFieldPlacesTheCaret()
{
    Window w;
    TextBox *box = w.ui.txtMillimetri;
    w.ui.cboCodice->setFocus();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 2, box->height() / 2));
    QVERIFY(box->hasFocus());
    QVERIFY(!box->hasSelectedText());
    QTest::keyClick(box, '5');
    QCOMPARE(box->text(), QString("0,405"));
}

void TestInputs::textWrittenByCodeIsShownWhole()
{
    Window w;
    w.ui.txtAngolo->setText("9999,9°");
    QTest::mouseClick(w.ui.cmdAngUp, Qt::LeftButton);
    QCOMPARE(w.ui.txtAngolo->text(), QString("10.000,0°"));
    w.form.setFieldText(Field::GiriMinuto, "1234567");
    QCOMPARE(w.ui.txtGiriMinuto->text(), QString("1234567"));
}

void TestInputs::stepButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("afterEachClick");  // "" for a click that changes nothing

    QTest::newRow("cmdAngUp 7,0°") << "cmdAngUp"
                                   << "7,0°" << QStringList{"7,1°", "7,2°"};
    QTest::newRow("cmdAngUp 999,9° groups") << "cmdAngUp"
                                            << "999,9°" << QStringList{"1.000,0°", "1.000,1°"};
    QTest::newRow("cmdAngDown 0,05 once") << "cmdAngDown"
                                          << "0,05" << QStringList{"-0,1°", ""};
    QTest::newRow("cmdAngDown 0,0° stays") << "cmdAngDown"
                                           << "0,0°" << QStringList{""};
    QTest::newRow("cmdMMUp 0,40") << "cmdMMUp"
                                  << "0,40" << QStringList{"0,45", "0,50"};
    QTest::newRow("cmdMSUp 1,00") << "cmdMSUp"
                                  << "1,00" << QStringList{"1,05"};
    QTest::newRow("cmdMSUp 1") << "cmdMSUp"
                               << "1" << QStringList{"1,05"};
    const QStringList down{"0,35", "0,30", "0,25", "0,20", "0,15", "0,10", "0,05", "0,00", ""};
    QTest::newRow("cmdMMDown 0,40 to 0,00") << "cmdMMDown"
                                            << "0,40" << down;
    QTest::newRow("cmdMSDown 0,40 to 0,00") << "cmdMSDown"
                                            << "0,40" << down;
}

void TestInputs::stepButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, start);
    QFETCH(QStringList, afterEachClick);
    Window w;
    TextBox *box = button.startsWith("cmdAng") ? w.ui.txtAngolo
        : button.startsWith("cmdMS")           ? w.ui.txtMillisecondi
                                               : w.ui.txtMillimetri;
    box->setText(start);
    for (const QString &expected : afterEachClick) {
        const QString before = box->text();
        const int runs = w.form.calculationRuns();
        QTest::mouseClick(w.button(button), Qt::LeftButton);
        if (expected.isEmpty()) {
            QCOMPARE(box->text(), before);
            QCOMPARE(w.form.calculationRuns(), runs);
        } else {
            QCOMPARE(box->text(), expected);
            QCOMPARE(w.form.calculationRuns(), runs + 1);
        }
    }
    QVERIFY(w.services.boxes.empty());
}

void TestInputs::stepRules_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("step");
    QTest::addColumn<QString>("stepped");  // "-" no step; "error N" a RunTimeError with code N

    const int angle = int(steps::Rule::Angle), single = int(steps::Rule::Single);
    QTest::newRow("angle 7,0° up") << angle << "7,0°" << 0.1 << "7,1°";
    QTest::newRow("angle 0,0° down stays") << angle << "0,0°" << -0.1 << "-";
    QTest::newRow("single 0,10 up in single precision") << single << "0,1" << 0.05 << "0,15";
    QTest::newRow("single 0,05 down to zero") << single << "0,05" << -0.05 << "0,00";
    QTest::newRow("single 0,00 down stays") << single << "0,00" << -0.05 << "-";
    QTest::newRow("single beyond a Single") << single << "4E+38" << 0.05 << "error 6";
    QTest::newRow("angle of letters") << angle << "abc" << 0.1 << "error 13";
}

void TestInputs::stepRules()
{
    QFETCH(int, rule);
    QFETCH(QString, text);
    QFETCH(double, step);
    QFETCH(QString, stepped);
    QString got;
    try {
        const std::optional<std::string> result = steps::stepped(steps::Rule(rule), text.toStdString(), step);
        got = result ? QString::fromStdString(*result) : "-";
    } catch (const RunTimeError &e) {
        got = QString("error %1").arg(e.code());
    }
    QCOMPARE(got, stepped);
}

void TestInputs::stepButtonOnAFieldThatIsNotANumber_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    for (const char *b : {"cmdAngUp", "cmdAngDown", "cmdMSUp", "cmdMSDown", "cmdMMUp", "cmdMMDown"}) {
        QTest::addRow("%s on empty", b) << b << "";
        QTest::addRow("%s on a lone comma", b) << b << ",";
        QTest::addRow("%s on pasted letters", b) << b << "abc";
    }
}

void TestInputs::stepButtonOnAFieldThatIsNotANumber()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    Window w;
    TextBox *box = button.startsWith("cmdAng") ? w.ui.txtAngolo
        : button.startsWith("cmdMS")           ? w.ui.txtMillisecondi
                                               : w.ui.txtMillimetri;
    box->setText(text);
    const QStringList results = w.results();
    const int runs = w.form.calculationRuns();
    QTest::mouseClick(w.button(button), Qt::LeftButton);
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].text, QString("Errore 13  Tipo non corrispondente"));
    QCOMPARE(w.services.boxes[0].title, QString("Errore di calcolo"));
    QCOMPARE(w.services.boxes[0].icon, BoxIcon::Critical);
    QCOMPARE(box->text(), text);
    QCOMPARE(w.form.calculationRuns(), runs);
    QCOMPARE(w.results(), results);
    QCOMPARE(w.services.quitCalls, 0);
}

void TestInputs::enterOnAFocusedStepButtonClicksIt()
{
    Window w;
    w.ui.cmdMMUp->setFocus();
    QTest::keyClick(w.ui.cmdMMUp, Qt::Key_Return);
    QCOMPARE(w.ui.txtMillimetri->text(), QString("0,45"));
    QTest::keyClick(w.ui.cmdMMUp, Qt::Key_Space);
    QCOMPARE(w.ui.txtMillimetri->text(), QString("0,50"));
}

void TestInputs::hundredClicksMatchOneCalculationOfTheFinalTexts()
{
    Window w;
    for (int i = 0; i < 100; ++i) {
        QTest::mouseClick(w.ui.cmdMMUp, Qt::LeftButton);
        QTest::mouseClick(w.ui.cmdAngUp, Qt::LeftButton);
    }
    for (int i = 0; i < 30; ++i)
        QTest::mouseClick(w.ui.cmdMSDown, Qt::LeftButton);
    QCOMPARE(w.ui.txtMillimetri->text(), QString("5,40"));
    QCOMPARE(w.ui.txtAngolo->text(), QString("17,0°"));
    QCOMPARE(w.ui.txtMillisecondi->text(), QString("0,00"));

    Window fresh;
    fresh.ui.txtMillimetri->setText("5,40");
    fresh.ui.txtAngolo->setText("17,0°");
    fresh.ui.txtMillisecondi->setText("0,00");
    fresh.form.cmdCalcola_Click();
    QCOMPARE(w.results(), fresh.results());
}

void TestInputs::heldEnterKeyMatchesOneCalculationOfTheFinalTexts()
{
    Window w;
    w.ui.cmdMSUp->setFocus();
    for (int i = 0; i < 40; ++i)
        QTest::keyPress(w.ui.cmdMSUp, Qt::Key_Return, Qt::NoModifier);
    QTest::keyRelease(w.ui.cmdMSUp, Qt::Key_Return, Qt::NoModifier);
    QCOMPARE(w.ui.txtMillisecondi->text(), QString("3,00"));

    Window fresh;
    fresh.ui.txtMillisecondi->setText("3,00");
    fresh.form.cmdCalcola_Click();
    QCOMPARE(w.results(), fresh.results());
}

void TestInputs::pastingAnythingNeverBreaksTheWindow_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::newRow("letters") << "ciao";
    QTest::newRow("10,000 digits") << QString(10000, '7');
    QTest::newRow("control characters") << QString::fromLatin1("1\n2\t3\r\0014\x7f\0", 10);
    QTest::newRow("non-Latin text") << QString::fromUtf8("数字١٢٣𝟘𝟙");
    QTest::newRow("a degree sign only") << QString::fromUtf8("°");
    QTest::newRow("huge exponent") << "9E999";
}

void TestInputs::pastingAnythingNeverBreaksTheWindow()
{
    QFETCH(QString, pasted);
    Window w;
    QApplication::clipboard()->setText(pasted);
    for (TextBox *box : {w.ui.txtGiriMinuto, w.ui.txtAngolo, w.ui.txtMillisecondi, w.ui.txtMillimetri}) {
        box->setFocus();
        box->selectAll();
        w.services.boxes.clear();
        const int runs = w.form.calculationRuns();
        box->pasteBounded();
        QVERIFY(box->text().size() <= box->typedLengthLimit());
        QVERIFY(int(w.services.boxes.size()) <= std::max(1, w.form.calculationRuns() - runs));
        QTest::keyClick(box, Qt::Key_Return);
        w.services.boxes.clear();
        w.form.cmdCalcola_Click();
        QVERIFY(w.services.boxes.size() <= 1);
        box->setText(box == w.ui.txtGiriMinuto ? "1000" : "1");
    }
}

void TestInputs::stripFollowsTheStroke()
{
    Window w;
    FrmMain &f = w.form;
    const Controls &ui = w.ui;
    QCOMPARE(ui.Shape[2]->backgroundRole(), QPalette::Window);
    QCOMPARE(ui.Shape[2]->palette().color(QPalette::Window), QColor(128, 255, 255));

    // Above 1700 µs nothing on the strip changes.
    ui.txtMillimetri->setText("0,50");
    f.cmdCalcola_Click();
    QCOMPARE(ui.lblComando[1]->text(), QString("827,777777777778 µs"));
    QCOMPARE(ui.Shape[2]->width(), 55);

    // Below 700 µs both blocks take the button face; width and caption stay.
    ui.txtMillimetri->setText("0,10");
    f.cmdCalcola_Click();
    QCOMPARE(ui.Shape[2]->backgroundRole(), QPalette::Button);
    QCOMPARE(ui.Shape[3]->backgroundRole(), QPalette::Button);
    QCOMPARE(ui.lblComando[1]->text(), QString("827,777777777778 µs"));

    f.setListIndex(3);
    ui.txtMillimetri->setText("0,40");
    f.cmdCalcola_Click();
    QCOMPARE(ui.lblComando[1]->text(), QString("300 µs"));
    QCOMPARE(ui.Shape[2]->property("widthTwips").toFloat(), 300.0f);
    QCOMPARE(ui.Shape[2]->width(), 20);
    QCOMPARE(ui.Shape[2]->palette().color(ui.Shape[2]->backgroundRole()), QColor(128, 255, 255));
    QCOMPARE(ui.Shape[3]->backgroundRole(), QPalette::Button);
}

void TestInputs::stripButtonFaceFollowsThePalette()
{
    Window w;
    const QPalette saved = QApplication::palette();
    QPalette p = saved;
    p.setColor(QPalette::Button, QColor(10, 20, 30));
    QApplication::setPalette(p);
    QTRY_COMPARE(w.ui.Shape[3]->palette().color(w.ui.Shape[3]->backgroundRole()), QColor(10, 20, 30));
    QApplication::setPalette(saved);
}

ROTAMET_TEST_MAIN(TestInputs)
#include "tst_inputs.moc"
