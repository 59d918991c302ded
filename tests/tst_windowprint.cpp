// Printing from the real window on the recording printer: the figures come
// from the calculation, the window is restored, a failure is told and gives
// the inputs back, and user input during the print is not taken.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "support/controls.h"
#include "support/recordingprinter.h"
#include "support/recordingservices.h"
#include "support/testmain.h"
#include "window/frmmain.h"
#include "window/textbox.h"

using namespace rotamet;

namespace {

struct Window {
    RecordingServices services;
    FrmMain form{services};
    Controls ui{form};
    Window()
    {
        form.load();
        QVERIFY2(QTest::qWaitForWindowActive(&form), "window not active");
    }
    std::vector<std::string> printed() const
    {
        std::vector<std::string> out;
        for (const auto &op : services.recordingPrinter.ops)
            if (op.name == "Print")
                out.push_back(op.text);
        return out;
    }
    int count(const std::string &name) const
    {
        return int(std::count_if(services.recordingPrinter.ops.begin(), services.recordingPrinter.ops.end(),
                                 [&](const auto &op) { return op.name == name; }));
    }
    QStringList results() const
    {
        QStringList out;
        for (QLabel *l : ui.lblValori)
            out << l->text() << l->toolTip();
        return out;
    }
    void print()
    {
        services.boxes.clear();
        QTest::mouseClick(ui.cmdStampa, Qt::LeftButton);
    }
};

// The four texts printed for one table row, starting at the row's speed.
QStringList row(const std::vector<std::string> &texts, const std::string &speed, int nth = 0)
{
    for (std::size_t i = 0; i + 3 < texts.size(); ++i) {
        if (texts[i] == speed && nth-- == 0)
            return {QString::fromStdString(texts[i]), QString::fromStdString(texts[i + 1]),
                    QString::fromStdString(texts[i + 2]), QString::fromStdString(texts[i + 3])};
    }
    return {};
}

}  // namespace

class TestWindowPrint : public QObject {
    Q_OBJECT
private slots:
    void pageCarriesTheCalculatedFigures_data();
    void pageCarriesTheCalculatedFigures();
    void windowIsRestoredAndThePrinterNamed();
    void speedWithLeadingZerosComesBackWithout();
    void unreadableSpeedPrintsNothing_data();
    void unreadableSpeedPrintsNothing();
    void printerFailureAtSetUpIsToldAndGivesBackTheInputs();
    void unreadableAngleShowsOneBoxAndSendsNothing();
    void userInputDuringThePrintIsNotTaken();
    void pumpListGivesWayToTheShownCode_data();
    void pumpListGivesWayToTheShownCode();
};

void TestWindowPrint::pageCarriesTheCalculatedFigures_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("nth");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("2500") << "2500" << 0 << QStringList{"2500", "7,0°", "mm 0,305", "ms 0,47"};
    QTest::newRow("2000") << "2000" << 0 << QStringList{"2000", "7,0°", "mm 0,305", "ms 0,58"};
    QTest::newRow("900") << "900" << 0 << QStringList{"900", "7,0°", "mm 0,305", "ms 1,30"};
    QTest::newRow("100") << "100" << 0 << QStringList{"100", "7,0°", "mm 0,305", "ms 11,67"};
    QTest::newRow("1000, 15°") << "1000" << 1 << QStringList{"1000", "15,0°", "mm 0,655", "ms 2,50"};
    QTest::newRow("1000, 90°") << "1000" << 6 << QStringList{"1000", "90,0°", "mm 3,927", "ms 15,00"};
}

void TestWindowPrint::pageCarriesTheCalculatedFigures()
{
    QFETCH(QString, speed);
    QFETCH(int, nth);
    QFETCH(QStringList, texts);
    Window w;
    w.print();
    QCOMPARE(row(w.printed(), speed.toStdString(), nth), texts);
}

void TestWindowPrint::windowIsRestoredAndThePrinterNamed()
{
    Window w;
    const QStringList before = w.results();
    w.print();
    const auto texts = w.printed();
    QCOMPARE(texts[1], std::string("0445010760"));
    QCOMPARE(texts[3], std::string("4,80 mm"));
    QCOMPARE(w.count("EndDoc"), 1);
    QCOMPARE(w.ui.txtGiriMinuto->text(), QString("1000"));
    QCOMPARE(w.ui.txtAngolo->text(), QString("7,0°"));
    QCOMPARE(w.results(), before);
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].text, QString("Stampa effettuata su 'Stampante di prova'"));
    QCOMPARE(w.services.boxes[0].title, QString("Stampa scala"));
    QCOMPARE(w.services.boxes[0].icon, BoxIcon::Information);
}

void TestWindowPrint::speedWithLeadingZerosComesBackWithout()
{
    Window w;
    w.ui.txtGiriMinuto->setFocus();
    w.ui.txtGiriMinuto->selectAll();
    QTest::keyClicks(w.ui.txtGiriMinuto, "0800");
    w.print();
    QCOMPARE(w.ui.txtGiriMinuto->text(), QString("800"));
    QCOMPARE(w.ui.lblValori[2]->text(), QString("75,00"));
}

void TestWindowPrint::unreadableSpeedPrintsNothing_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("message");
    QTest::newRow("a pasted blank") << " "
                                    << "Errore   13  Tipo non corrispondente";
    QTest::newRow("40000 typed") << "40000"
                                 << "Errore   6  Overflow";
}

void TestWindowPrint::unreadableSpeedPrintsNothing()
{
    QFETCH(QString, speed);
    QFETCH(QString, message);
    Window w;
    w.ui.txtGiriMinuto->setText(speed);
    w.print();
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].text, message);
    QCOMPARE(w.services.boxes[0].title, QString("Errore di stampa"));
    QCOMPARE(w.services.boxes[0].icon, BoxIcon::Critical);
    QVERIFY(w.services.recordingPrinter.ops.empty());
    QCOMPARE(w.ui.txtGiriMinuto->text(), speed);
    QCOMPARE(w.ui.txtAngolo->text(), QString("7,0°"));
}

void TestWindowPrint::printerFailureAtSetUpIsToldAndGivesBackTheInputs()
{
    Window w;
    w.ui.txtGiriMinuto->setFocus();
    w.ui.txtGiriMinuto->selectAll();
    QTest::keyClicks(w.ui.txtGiriMinuto, "1234");
    w.ui.txtAngolo->setFocus();
    w.ui.txtAngolo->selectAll();
    QTest::keyClicks(w.ui.txtAngolo, "12,5");
    QTest::keyClick(w.ui.txtAngolo, Qt::Key_Return);
    const QStringList before = w.results();
    w.services.recordingPrinter.failAt = 1;
    w.print();
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].title, QString("Stampa scala"));
    QCOMPARE(w.services.boxes[0].text,
             QString("La pagina non è stata stampata su 'Stampante di prova'.\nErrore della stampante"));
    QCOMPARE(w.services.boxes[0].icon, BoxIcon::Warning);
    QCOMPARE(w.ui.txtGiriMinuto->text(), QString("1234"));
    QCOMPARE(w.ui.txtAngolo->text(), QString("12,5°"));
    QCOMPARE(w.results(), before);
}

void TestWindowPrint::unreadableAngleShowsOneBoxAndSendsNothing()
{
    Window w;
    w.ui.txtAngolo->setText(",");
    w.print();
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].title, QString("Errore di calcolo"));
    QVERIFY(w.services.recordingPrinter.ops.empty());
    QCOMPARE(w.ui.txtGiriMinuto->text(), QString("1000"));
    QCOMPARE(w.ui.txtAngolo->text(), QString(","));
    QCOMPARE(w.ui.lblValori[0]->text(), QString("16,67"));  // the results of 1000 again
}

void TestWindowPrint::userInputDuringThePrintIsNotTaken()
{
    Window w;
    int rows = 0;
    w.services.onProcessEvents = [&] {
        if (++rows != 3)
            return;
        // A digit typed into the speed field and a second click on "stampa".
        QCoreApplication::postEvent(w.ui.txtGiriMinuto,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, "5"));
        const QPointF centre = QRectF(w.ui.cmdStampa->rect()).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                w.ui.cmdStampa,
                new QMouseEvent(type, centre, w.ui.cmdStampa->mapToGlobal(centre), Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier));
    };
    w.print();
    QCoreApplication::processEvents();
    QCOMPARE(rows, 25);
    QCOMPARE(w.count("EndDoc"), 1);
    QCOMPARE(w.ui.txtGiriMinuto->text(), QString("1000"));
    QCOMPARE(w.services.boxes.size(), std::size_t(1));

    // Afterwards the window takes input again.
    w.ui.txtGiriMinuto->setFocus();
    w.ui.txtGiriMinuto->selectAll();
    QTest::keyClick(w.ui.txtGiriMinuto, '5');
    QCOMPARE(w.ui.txtGiriMinuto->text(), QString("5"));
}

void TestWindowPrint::pumpListGivesWayToTheShownCode_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("leave");  // "Enter", "Tab" or "stampa" (a click on it)
    QTest::addColumn<QString>("code");   // in the list and on the page afterwards
    QTest::addColumn<QString>("lift");
    QTest::newRow("unknown code, Enter") << "0445010799X"
                                         << "Enter"
                                         << "0445010760"
                                         << "4,80";
    QTest::newRow("unknown code, Tab") << "0445010799X"
                                       << "Tab"
                                       << "0445010760"
                                       << "4,80";
    QTest::newRow("unknown code, stampa") << "0445010799X"
                                          << "stampa"
                                          << "0445010760"
                                          << "4,80";
    QTest::newRow("small letters, Tab") << "a2c1637670080"
                                        << "Tab"
                                        << "0445010760"
                                        << "4,80";
    QTest::newRow("known code, Tab") << "0445010799"
                                     << "Tab"
                                     << "0445010799"
                                     << "6,07";
    QTest::newRow("known code, stampa") << "0445010799"
                                        << "stampa"
                                        << "0445010799"
                                        << "6,07";
}

void TestWindowPrint::pumpListGivesWayToTheShownCode()
{
    QFETCH(QString, typed);
    QFETCH(QString, leave);
    QFETCH(QString, code);
    QFETCH(QString, lift);
    Window w;
    QLineEdit *edit = w.ui.cboCodice->lineEdit();
    w.ui.cboCodice->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), typed);
    if (leave == "Enter")
        QTest::keyClick(edit, Qt::Key_Return);
    else if (leave == "Tab")
        QTest::keyClick(edit, Qt::Key_Tab);
    if (leave != "stampa") {
        QCOMPARE(w.ui.cboCodice->hasFocus(), leave == "Enter");
        QCOMPARE(w.ui.cboCodice->currentText(), code);
    }
    w.print();
    QCOMPARE(w.ui.cboCodice->currentText(), code);
    QCOMPARE(w.ui.lblValori[5]->text(), lift);
    const auto texts = w.printed();
    QCOMPARE(QString::fromStdString(texts.at(1)), code);
    QCOMPARE(QString::fromStdString(texts.at(3)), lift + " mm");
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
}

ROTAMET_TEST_MAIN(TestWindowPrint)
#include "tst_windowprint.moc"
