// The window as it opens: design, start-up, pump catalogue, lifts selector,
// and the places where Qt's events differ from the window's own.
#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "window/design.h"
#include "window/frmmain.h"
#include "window/recordingservices.h"
#include "window/textbox.h"

using namespace rotamet;

namespace {

struct Window {
    RecordingServices services;
    FrmMain form{services};
    Window() { form.load(); }
};

QString caption(FrmMain &f, int i) { return f.lblValori[i]->text(); }

QColor fore(QWidget *w) { return w->palette().color(QPalette::WindowText); }

}  // namespace

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void everyDesignControlIsBuiltWhereTheDesignPutsIt();
    void designSpotChecks();
    void tabOrderFollowsTheDesign();
    void startUp();
    void startUpRunsTheCalculationTwiceFirstWithoutOption();
    void startUpPlacesTheWindow_data();
    void startUpPlacesTheWindow();
    void pumpCatalogue_data();
    void pumpCatalogue();
    void choosingFromTheListAsAUserRunsTheHandlerOnce();
    void choosingTheSameCodeAgainRunsItAgain();
    void typingInTheComboSelectsNothing();
    void unknownCodeKeepsTheGeometry();
    void liftsSelector_data();
    void liftsSelector();
    void optionSetByCodeRaisesOneClick();
    void speedWrittenWithTheSameTextRunsNothing();
    void closingEndsTheProgram();
};

void TestWindow::everyDesignControlIsBuiltWhereTheDesignPutsIt()
{
    Window w;
    for (const design::Control &c : design::controls()) {
        const QString name = c.index >= 0 ? QString("%1_%2").arg(c.name).arg(c.index) : QString(c.name);
        auto *widget = w.form.findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        if (c.kind == design::Kind::Line || qstrcmp(c.name, "Shape2") == 0)
            continue;
        QCOMPARE(widget->geometry(),
                 QRect(qRound(c.left / 15.0), qRound(c.top / 15.0), qRound(c.width / 15.0), qRound(c.height / 15.0)));
        if (c.toolTip && c.kind != design::Kind::Button && !(qstrcmp(c.name, "lblValori") == 0 && c.index >= 7))
            QCOMPARE(widget->toolTip(), QString::fromUtf8(c.toolTip));
    }
}

void TestWindow::designSpotChecks()
{
    Window w;
    FrmMain &f = w.form;
    QCOMPARE(f.objectName(), QString("frmMain"));
    QCOMPARE(f.size(), QSize(658, 441));
    QCOMPARE(f.txtGiriMinuto->geometry(), QRect(160, 92, 72, 30));
    QCOMPARE(f.txtGiriMinuto->mapTo(&f, QPoint(0, 0)), QPoint(176, 100));
    QCOMPARE(f.txtGiriMinuto->palette().color(QPalette::Text), QColor(255, 0, 0));
    QVERIFY(f.txtGiriMinuto->font().bold());
    QCOMPARE(f.txtGiriMinuto->font().pixelSize(), 19);
    QCOMPARE(f.txtGiriMinuto->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(f.lblValori[5]->objectName(), QString("lblValori_5"));
    QCOMPARE(fore(f.lblValori[5]), QColor(0, 0, 128));
    QCOMPARE(fore(f.lblValori[6]), QColor(192, 0, 0));
    QCOMPARE(fore(f.lblValori[2]), QColor(192, 0, 192));
    QCOMPARE(fore(f.lblEtichetta[4]), QColor(0, 128, 0));
    QCOMPARE(f.lblValori[5]->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(f.txtAngolo->font().family(), QString("Calibri"));
    QCOMPARE(QFontInfo(f.txtAngolo->font()).family(), QString("Carlito"));
    QCOMPARE(QFontInfo(f.lblValori[0]->font()).family(), QString("Liberation Sans"));
    QCOMPARE(f.lblEtichetta[10], nullptr);
    QVERIFY(f.lblEtichetta[9]->wordWrap());
    QCOMPARE(f.txtAngolo->typedLengthLimit(), 6);
    QCOMPARE(f.txtMillimetri->typedLengthLimit(), 5);
    QCOMPARE(f.cmdCalcola->text(), QString("calcola"));
    QCOMPARE(f.cmdStampa->text(), QString("stampa"));
    QVERIFY(f.cmdAngUp->text().isEmpty());
    // The strip lies below the visible client area.
    QCOMPARE(f.Frame1->geometry(), QRect(16, 440, 577, 137));
    QCOMPARE(f.lblComando[0]->text(), QString("700 µs"));
    QCOMPARE(f.lblComando[0]->palette().color(QPalette::Window), QColor(255, 255, 255));
    QCOMPARE(f.Shape[1]->palette().color(f.Shape[1]->backgroundRole()), QColor(255, 0, 0));
    QVERIFY(f.findChild<QWidget *>("Line5"));
}

void TestWindow::tabOrderFollowsTheDesign()
{
    Window w;
    FrmMain &f = w.form;
    const QList<QWidget *> expected{f.cboCodice,        f.txtGiriMinuto, f.optAlzataGiro[0], f.optAlzataGiro[1],
                                    f.optAlzataGiro[2], f.txtAngolo,     f.cmdAngUp,         f.cmdAngDown,
                                    f.txtMillisecondi,  f.cmdMSUp,       f.cmdMSDown,        f.txtMillimetri,
                                    f.cmdMMUp,          f.cmdMMDown,     f.cmdCalcola,       f.cmdStampa};
    for (int i = 1; i < expected.size(); ++i) {
        QWidget *next = expected[i - 1]->nextInFocusChain();
        // The combo box's own line edit sits between it and the next control.
        while (next && next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        if (next && next->parentWidget() == f.cboCodice)
            next = next->nextInFocusChain();
        QCOMPARE(next, expected[i]);
    }
    // The window opens with the focus in the pump list.
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QVERIFY(f.cboCodice->hasFocus());
}

void TestWindow::startUp()
{
    Window w;
    FrmMain &f = w.form;
    QCOMPARE(f.windowTitle(), QString("Rotamet - 09/12/2023"));
    QCOMPARE(f.cboCodice->count(), 4);
    const QStringList codes{"0445010760", "0445010790", "0445010799", "A2C1637670080"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f.cboCodice->itemText(i), codes[i]);
    QCOMPARE(f.cboCodice->currentText(), QString("0445010760"));
    QVERIFY(f.optAlzataGiro[1]->isChecked());
    QCOMPARE(fore(f.optAlzataGiro[0]), QColor(Qt::black));
    QCOMPARE(fore(f.optAlzataGiro[1]), QColor(0, 128, 0));
    QCOMPARE(fore(f.optAlzataGiro[2]), QColor(Qt::black));
    QCOMPARE(f.lblEtichetta[4]->text(), QString("Salita e discesa [180°]"));
    QCOMPARE(f.cmdStampa->toolTip(), QString("Stampa su: Stampante di prova LPT1:"));

    const QStringList figures{"16,67",    "0,060",    "60,00",   "37,35", "46,95",    "4,80",  "110°",   "ms 30,00",
                              "ms 15,00", "mm 0,305", "ms 1,17", "6,0°",  "mm 0,262", "9,17°", "ms 1,53"};
    for (int i = 0; i < 15; ++i)
        QCOMPARE(caption(f, i), figures[i]);
    QCOMPARE(f.txtAngolo->text(), QString("7,0°"));
    QCOMPARE(f.lblValori[9]->toolTip(), QString("Millimetri di escursione del pompante con 7,0° di comando elettrico"));
    QCOMPARE(f.lblValori[13]->toolTip(), QString("Angolo di rotazione corrispondente a 0,40 di corsa del pompante"));
    QCOMPARE(f.lblComando[1]->text(), QString("827,777777777778 µs"));
    QCOMPARE(f.Shape[2]->property("widthTwips").toFloat(), 827.7778f);
    QCOMPARE(f.Shape[2]->width(), 55);
    QCOMPARE(f.Shape[3]->backgroundRole(), QPalette::Button);
    QVERIFY(w.services.boxes.empty());
}

void TestWindow::startUpRunsTheCalculationTwiceFirstWithoutOption()
{
    RecordingServices services;
    FrmMain form(services);
    form.Form_Load();
    QCOMPARE(form.calculationRuns(), 2);
    QVERIFY(services.boxes.empty());
    QVERIFY(!form.isVisible());

    // The first run alone: no option yet, so the rise-and-fall time is unset.
    RecordingServices s2;
    FrmMain fresh(s2);
    fresh.cboCodice->addItem("0445010760");
    QCOMPARE(fresh.calculationRuns(), 0);  // adding the first item raises no click
    fresh.setListIndex(0);
    QCOMPARE(fresh.calculationRuns(), 1);
    QCOMPARE(caption(fresh, 7), QString("ms "));
    QCOMPARE(caption(fresh, 2), QString("60,00"));
    QVERIFY(s2.boxes.empty());
}

void TestWindow::startUpPlacesTheWindow_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("1024x768") << QSize(1024, 768) << QPoint(183, 109);
    QTest::newRow("800x600") << QSize(800, 600) << QPoint(71, 53);
    QTest::newRow("smaller than the window") << QSize(600, 400) << QPoint(-29, -14);
}

void TestWindow::startUpPlacesTheWindow()
{
    QFETCH(QSize, screen);
    QFETCH(QPoint, topLeft);
    RecordingServices services;
    services.screen = screen;
    FrmMain form(services);
    form.Form_Load();
    QCOMPARE(form.pos(), topLeft);
}

void TestWindow::pumpCatalogue_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("geometry");  // lblValori(3), (4), (5), (6)
    QTest::newRow("0445010760") << 0 << QStringList{"37,35", "46,95", "4,80", "110°"};
    QTest::newRow("0445010790") << 1 << QStringList{"37,6", "47,1", "4,75", "90°"};
    QTest::newRow("0445010799") << 2 << QStringList{"34,75", "46,89", "6,07", "100°"};
    QTest::newRow("A2C1637670080") << 3 << QStringList{"38,51", "50,51", "6,00", "90°"};
}

void TestWindow::pumpCatalogue()
{
    QFETCH(int, index);
    QFETCH(QStringList, geometry);
    Window w;
    w.form.setListIndex(index);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(caption(w.form, 3 + i), geometry[i]);
}

void TestWindow::choosingFromTheListAsAUserRunsTheHandlerOnce()
{
    Window w;
    FrmMain &f = w.form;
    f.activateWindow();
    f.cboCodice->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&f));

    const int before = f.calculationRuns();
    QTest::keyClick(f.cboCodice, Qt::Key_Down);
    QCOMPARE(f.cboCodice->currentText(), QString("0445010790"));
    QCOMPARE(f.calculationRuns(), before + 1);
    QCOMPARE(caption(f, 6), QString("90°"));
    QCOMPARE(caption(f, 13), QString("7,58°"));

    // Choosing an item in the popup.
    f.cboCodice->showPopup();
    auto *view = f.cboCodice->view();
    QTRY_VERIFY(view->isVisible());
    const QModelIndex item = view->model()->index(3, 0);
    view->setCurrentIndex(item);
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(f.cboCodice->currentText(), QString("A2C1637670080"));
    QCOMPARE(f.calculationRuns(), before + 2);
    QCOMPARE(caption(f, 5), QString("6,00"));
}

void TestWindow::choosingTheSameCodeAgainRunsItAgain()
{
    Window w;
    const int before = w.form.calculationRuns();
    w.form.lblValori[3]->setText("1");
    emit w.form.cboCodice->activated(0);
    QCOMPARE(w.form.calculationRuns(), before + 1);
    QCOMPARE(caption(w.form, 3), QString("37,35"));
}

void TestWindow::typingInTheComboSelectsNothing()
{
    Window w;
    FrmMain &f = w.form;
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.cboCodice->setFocus();
    f.cboCodice->lineEdit()->selectAll();
    const int before = f.calculationRuns();
    QTest::keyClicks(f.cboCodice->lineEdit(), "0445010790");
    QCOMPARE(f.calculationRuns(), before);
    QCOMPARE(caption(f, 3), QString("37,35"));
    QTest::keyClicks(f.cboCodice->lineEdit(), "X");
    QTest::keyClick(f.cboCodice->lineEdit(), Qt::Key_Return);
    QCOMPARE(f.cboCodice->count(), 4);
    QCOMPARE(f.calculationRuns(), before);
}

void TestWindow::unknownCodeKeepsTheGeometry()
{
    Window w;
    FrmMain &f = w.form;
    f.setListIndex(1);
    for (const char *text : {"a2c1637670080", " 0445010760"}) {
        f.cboCodice->setEditText(text);
        const int before = f.calculationRuns();
        f.cboCodice_Click();
        QCOMPARE(f.calculationRuns(), before + 1);
        QCOMPARE(caption(f, 3), QString("37,6"));
        QCOMPARE(caption(f, 5), QString("4,75"));
        QCOMPARE(caption(f, 6), QString("90°"));
    }
    QVERIFY(w.services.boxes.empty());
}

void TestWindow::liftsSelector_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("riseFall");
    QTest::newRow("1 alzata/giro") << 0 << "Salita e discesa [360°]"
                                   << "Millisecondi per 1 giro (360°)"
                                   << "ms 60,00";
    QTest::newRow("2 alzate/giro") << 1 << "Salita e discesa [180°]"
                                   << "Millisecondi per 1/2 giro (180°)"
                                   << "ms 30,00";
    QTest::newRow("3 alzate/giro") << 2 << "Salita e discesa [120°]"
                                   << "Millisecondi per 1/3 giro (120°)"
                                   << "ms 20,00";
}

void TestWindow::liftsSelector()
{
    QFETCH(int, index);
    QFETCH(QString, label);
    QFETCH(QString, tip);
    QFETCH(QString, riseFall);
    Window w;
    FrmMain &f = w.form;
    QTest::mouseClick(f.optAlzataGiro[(index + 1) % 3], Qt::LeftButton);
    const int before = f.calculationRuns();
    QTest::mouseClick(f.optAlzataGiro[index], Qt::LeftButton);
    QCOMPARE(f.calculationRuns(), before + 1);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(fore(f.optAlzataGiro[i]), i == index ? QColor(0, 128, 0) : QColor(Qt::black));
    QCOMPARE(f.lblEtichetta[4]->text(), label);
    QCOMPARE(f.lblEtichetta[4]->toolTip(), tip);
    QCOMPARE(f.lblValori[7]->toolTip(), tip);
    QCOMPARE(caption(f, 7), riseFall);
    QCOMPARE(caption(f, 8), QString("ms 15,00"));
    QCOMPARE(f.lblEtichetta[6]->text(), QString("Tempo di salita [90°]"));
}

void TestWindow::optionSetByCodeRaisesOneClick()
{
    Window w;
    const int before = w.form.calculationRuns();
    w.form.setOptionValue(2);
    QCOMPARE(w.form.calculationRuns(), before + 1);
    QVERIFY(!w.form.optAlzataGiro[1]->isChecked());
    QCOMPARE(caption(w.form, 7), QString("ms 20,00"));
}

void TestWindow::speedWrittenWithTheSameTextRunsNothing()
{
    Window w;
    const int before = w.form.calculationRuns();
    w.form.setFieldText(calc::Field::GiriMinuto, "1000");
    QCOMPARE(w.form.calculationRuns(), before);
    w.form.setFieldText(calc::Field::GiriMinuto, "2500");
    QCOMPARE(w.form.calculationRuns(), before + 1);
    QCOMPARE(caption(w.form, 0), QString("41,67"));
}

void TestWindow::closingEndsTheProgram()
{
    Window w;
    w.form.txtMillimetri->setText("0,45");
    QVERIFY(w.form.close());
    QCOMPARE(w.services.quitCalls, 1);
    QVERIFY(w.services.boxes.empty());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
