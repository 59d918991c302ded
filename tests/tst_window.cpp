// The window as it opens: design, start-up, pump catalogue, lifts selector,
// and the places where Qt's events differ from the window's own.
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "support/controls.h"
#include "support/recordingservices.h"
#include "support/testmain.h"
#include "window/design.h"
#include "window/frmmain.h"
#include "window/textbox.h"
#include "window/windowplacement.h"

using namespace rotamet;

namespace {

struct Window {
    RecordingServices services;
    FrmMain form{services};
    Controls ui{form};
    Window() { form.load(); }
};

QString caption(const FrmMain &f, int i) { return Controls(f).lblValori[i]->text(); }

QColor fore(QWidget *w) { return w->palette().color(QPalette::WindowText); }

// The family that a face of the design resolves to: on Windows the face
// itself; on Linux its metric twin, which fontconfig chooses in its place.
QString chosenFamily(const QString &face)
{
#ifdef Q_OS_WIN
    return face;
#else
    return face == "Calibri" ? QString("Carlito") : face == "Arial" ? QString("Liberation Sans") : face;
#endif
}

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
    void placementCentresTheOuterFrame_data();
    void placementCentresTheOuterFrame();
    void shownWindowIsPlacedByItsFrame();
    void aFixedSizeWindowOffersNoMaximise();
    void tabEntersTheLiftsGroupOnTheChosenOption();
    void screenReaderNames_data();
    void screenReaderNames();
    void everyControlHasASpokenName();
    void screenReaderDoesNotFindTheHiddenStrip();
    void stepButtonsShowTheirDirection();
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
    const Controls &ui = w.ui;
    QCOMPARE(f.objectName(), QString("frmMain"));
    QCOMPARE(f.size(), QSize(658, 441));
    QCOMPARE(ui.txtGiriMinuto->geometry(), QRect(160, 92, 72, 30));
    QCOMPARE(ui.txtGiriMinuto->mapTo(&f, QPoint(0, 0)), QPoint(176, 100));
    QCOMPARE(ui.txtGiriMinuto->palette().color(QPalette::Text), QColor(255, 0, 0));
    QVERIFY(ui.txtGiriMinuto->font().bold());
    QCOMPARE(ui.txtGiriMinuto->font().pixelSize(), 19);
    QCOMPARE(ui.txtGiriMinuto->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(ui.lblValori[5]->objectName(), QString("lblValori_5"));
    QCOMPARE(fore(ui.lblValori[5]), QColor(0, 0, 128));
    QCOMPARE(fore(ui.lblValori[6]), QColor(192, 0, 0));
    QCOMPARE(fore(ui.lblValori[2]), QColor(192, 0, 192));
    QCOMPARE(fore(ui.lblEtichetta[4]), QColor(0, 128, 0));
    QCOMPARE(ui.lblValori[5]->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(ui.txtAngolo->font().family(), QString("Calibri"));
    QCOMPARE(QFontInfo(ui.txtAngolo->font()).family(), chosenFamily("Calibri"));
    QCOMPARE(QFontInfo(ui.lblValori[0]->font()).family(), chosenFamily("Arial"));
    QCOMPARE(ui.lblEtichetta[10], nullptr);
    QVERIFY(ui.lblEtichetta[9]->wordWrap());
    QCOMPARE(ui.txtAngolo->typedLengthLimit(), 6);
    QCOMPARE(ui.txtMillimetri->typedLengthLimit(), 5);
    QCOMPARE(ui.cmdCalcola->text(), QString("calcola"));
    QCOMPARE(ui.cmdStampa->text(), QString("stampa"));
    QVERIFY(ui.cmdAngUp->text().isEmpty());
    // The strip lies below the visible client area.
    QCOMPARE(ui.Frame1->geometry(), QRect(16, 440, 577, 137));
    QCOMPARE(ui.lblComando[0]->text(), QString("700 µs"));
    QCOMPARE(ui.lblComando[0]->palette().color(QPalette::Window), QColor(255, 255, 255));
    QCOMPARE(ui.Shape[1]->palette().color(ui.Shape[1]->backgroundRole()), QColor(255, 0, 0));
    QVERIFY(f.findChild<QWidget *>("Line5"));
}

void TestWindow::tabOrderFollowsTheDesign()
{
    Window w;
    FrmMain &f = w.form;
    const Controls &ui = w.ui;
    const QList<QWidget *> expected{ui.cboCodice,        ui.txtGiriMinuto, ui.optAlzataGiro[0], ui.optAlzataGiro[1],
                                    ui.optAlzataGiro[2], ui.txtAngolo,     ui.cmdAngUp,         ui.cmdAngDown,
                                    ui.txtMillisecondi,  ui.cmdMSUp,       ui.cmdMSDown,        ui.txtMillimetri,
                                    ui.cmdMMUp,          ui.cmdMMDown,     ui.cmdCalcola,       ui.cmdStampa};
    for (int i = 1; i < expected.size(); ++i) {
        QWidget *next = expected[i - 1]->nextInFocusChain();
        // The combo box's own line edit sits between it and the next control.
        while (next && next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        if (next && next->parentWidget() == ui.cboCodice)
            next = next->nextInFocusChain();
        QCOMPARE(next, expected[i]);
    }
    // The window opens with the focus in the pump list.
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QVERIFY(ui.cboCodice->hasFocus());
}

void TestWindow::startUp()
{
    Window w;
    FrmMain &f = w.form;
    const Controls &ui = w.ui;
    QCOMPARE(f.windowTitle(), QString("Rotamet - 09/12/2023"));
    QCOMPARE(ui.cboCodice->count(), 4);
    const QStringList codes{"0445010760", "0445010790", "0445010799", "A2C1637670080"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(ui.cboCodice->itemText(i), codes[i]);
    QCOMPARE(ui.cboCodice->currentText(), QString("0445010760"));
    QVERIFY(ui.optAlzataGiro[1]->isChecked());
    QCOMPARE(fore(ui.optAlzataGiro[0]), QColor(Qt::black));
    QCOMPARE(fore(ui.optAlzataGiro[1]), QColor(0, 128, 0));
    QCOMPARE(fore(ui.optAlzataGiro[2]), QColor(Qt::black));
    QCOMPARE(ui.lblEtichetta[4]->text(), QString("Salita e discesa [180°]"));
    QCOMPARE(ui.cmdStampa->toolTip(), QString("Stampa su: Stampante di prova LPT1:"));

    const QStringList figures{"16,67",    "0,060",    "60,00",   "37,35", "46,95",    "4,80",  "110°",   "ms 30,00",
                              "ms 15,00", "mm 0,305", "ms 1,17", "6,0°",  "mm 0,262", "9,17°", "ms 1,53"};
    for (int i = 0; i < 15; ++i)
        QCOMPARE(caption(f, i), figures[i]);
    QCOMPARE(ui.txtAngolo->text(), QString("7,0°"));
    QCOMPARE(ui.lblValori[9]->toolTip(),
             QString("Millimetri di escursione del pompante con 7,0° di comando elettrico"));
    QCOMPARE(ui.lblValori[13]->toolTip(), QString("Angolo di rotazione corrispondente a 0,40 di corsa del pompante"));
    QCOMPARE(ui.lblComando[1]->text(), QString("827,777777777778 µs"));
    QCOMPARE(ui.Shape[2]->property("widthTwips").toFloat(), 827.7778f);
    QCOMPARE(ui.Shape[2]->width(), 55);
    QCOMPARE(ui.Shape[3]->backgroundRole(), QPalette::Button);
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
    Controls(fresh).cboCodice->addItem("0445010760");
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

void TestWindow::placementCentresTheOuterFrame_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QPoint>("frameTopLeft");
    QTest::newRow("no frame") << QSize(1024, 768) << QMargins() << QPoint(183, 109);
    // 4 px borders and a 24 px title bar: 666 x 469 outside.
    QTest::newRow("title bar and borders") << QSize(1024, 768) << QMargins(4, 24, 4, 4) << QPoint(179, 100);
    QTest::newRow("1920x1080, thick frame") << QSize(1920, 1080) << QMargins(10, 30, 10, 10) << QPoint(621, 200);
    QTest::newRow("frame larger than the screen") << QSize(600, 400) << QMargins(4, 24, 4, 4) << QPoint(-33, -23);
}

void TestWindow::placementCentresTheOuterFrame()
{
    QFETCH(QSize, screen);
    QFETCH(QMargins, frame);
    QFETCH(QPoint, frameTopLeft);
    const QSize outer = QSize(658, 441).grownBy(frame);
    QCOMPARE(WindowPlacement::placement(screen, outer), frameTopLeft);
}

// Qt's offscreen platform gives a shown window a frame of 2 px on each side.
void TestWindow::shownWindowIsPlacedByItsFrame()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    QTRY_VERIFY(w.form.frameGeometry().size() != w.form.size());
    const QRect frame = w.form.frameGeometry();
    QTRY_COMPARE(w.form.frameGeometry().topLeft(), WindowPlacement::placement(QSize(1024, 768), frame.size()));
    QCOMPARE(w.form.size(), QSize(658, 441));

    // Once placed, the window stays where the user moves it.
    w.form.move(10, 20);
    QTRY_COMPARE(w.form.frameGeometry().topLeft(), QPoint(10, 20));
    QTest::qWait(50);
    QCOMPARE(w.form.frameGeometry().topLeft(), QPoint(10, 20));
}

void TestWindow::aFixedSizeWindowOffersNoMaximise()
{
    Window w;
    const Qt::WindowFlags flags = w.form.windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowFullscreenButtonHint));
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowTitleHint);
    QCOMPARE(w.form.minimumSize(), w.form.maximumSize());
}

void TestWindow::tabEntersTheLiftsGroupOnTheChosenOption()
{
    Window w;
    FrmMain &f = w.form;
    const Controls &ui = w.ui;
    QVERIFY(QTest::qWaitForWindowActive(&f));
    ui.txtGiriMinuto->setFocus();
    QTest::keyClick(ui.txtGiriMinuto, Qt::Key_Tab);
    QVERIFY(ui.optAlzataGiro[1]->hasFocus());

    // Space on the chosen option changes nothing.
    QTest::keyClick(ui.optAlzataGiro[1], Qt::Key_Space);
    QVERIFY(ui.optAlzataGiro[1]->isChecked());
    QCOMPARE(caption(f, 7), QString("ms 30,00"));

    // An arrow chooses the next option; Tab leaves the group.
    QTest::keyClick(ui.optAlzataGiro[1], Qt::Key_Down);
    QVERIFY(ui.optAlzataGiro[2]->isChecked());
    QVERIFY(ui.optAlzataGiro[2]->hasFocus());
    QCOMPARE(caption(f, 7), QString("ms 20,00"));
    QTest::keyClick(ui.optAlzataGiro[2], Qt::Key_Tab);
    QVERIFY(ui.txtAngolo->hasFocus());

    // Back into the group, on the option now chosen.
    QTest::keyClick(ui.txtAngolo, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(ui.optAlzataGiro[2]->hasFocus());

    // An option chosen with the mouse is the one Tab reaches next time.
    QTest::mouseClick(ui.optAlzataGiro[0], Qt::LeftButton);
    ui.txtGiriMinuto->setFocus();
    QTest::keyClick(ui.txtGiriMinuto, Qt::Key_Tab);
    QVERIFY(ui.optAlzataGiro[0]->hasFocus());
    QTest::keyClick(ui.optAlzataGiro[0], Qt::Key_Tab);
    QVERIFY(ui.txtAngolo->hasFocus());
}

namespace {
// Every accessible object below `iface`, as a screen reader walks the tree.
void walk(QAccessibleInterface *iface, QList<QAccessibleInterface *> &out)
{
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface *child = iface->child(i);
        if (!child)
            continue;
        out << child;
        walk(child, out);
    }
}

QList<QAccessibleInterface *> accessibleTree(QWidget *window)
{
    QList<QAccessibleInterface *> out;
    walk(QAccessible::queryAccessibleInterface(window), out);
    return out;
}

QAccessibleInterface *foundByScreenReader(QWidget *window, QObject *object)
{
    for (QAccessibleInterface *iface : accessibleTree(window)) {
        if (iface->object() == object)
            return iface;
    }
    return nullptr;
}
}  // namespace

void TestWindow::screenReaderNames_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");  // the tooltip, as designed
    QTest::newRow("cmdAngUp") << "cmdAngUp"
                              << "Aumenta angolo" << QString();
    QTest::newRow("cmdAngDown") << "cmdAngDown"
                                << "Diminuisci angolo" << QString();
    QTest::newRow("cmdMSUp") << "cmdMSUp"
                             << "Aumenta millisecondi" << QString();
    QTest::newRow("cmdMSDown") << "cmdMSDown"
                               << "Diminuisci millisecondi" << QString();
    QTest::newRow("cmdMMUp") << "cmdMMUp"
                             << "Aumenta millimetri" << QString();
    QTest::newRow("cmdMMDown") << "cmdMMDown"
                               << "Diminuisci millimetri" << QString();
    QTest::newRow("txtGiriMinuto") << "txtGiriMinuto"
                                   << "Giri al minuto"
                                   << "Giri al minuto";
    QTest::newRow("txtAngolo") << "txtAngolo"
                               << "Angolo di comando"
                               << "Comando elettrico in millisecondi";
    QTest::newRow("txtMillisecondi") << "txtMillisecondi"
                                     << "Millisecondi di comando elettr."
                                     << "Comando elettrico in millisecondi";
    QTest::newRow("txtMillimetri") << "txtMillimetri"
                                   << "Millimetri di corsa pompante"
                                   << "Millmetri di corsa del pompante";
    QTest::newRow("cboCodice") << "cboCodice"
                               << "Codice pompa"
                               << "Codice pompa CP4";
    QTest::newRow("cmdCalcola") << "cmdCalcola"
                                << "calcola" << QString();
    QTest::newRow("optAlzataGiro_1") << "optAlzataGiro_1"
                                     << "2 alzate/giro" << QString();
}

void TestWindow::screenReaderNames()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(QString, description);
    Window w;
    QWidget *widget = w.form.findChild<QWidget *>(control);
    QVERIFY(widget);
    QAccessibleInterface *iface = foundByScreenReader(&w.form, widget);
    QVERIFY(iface);
    // Qt names a combo box by its text on Linux, on other systems by its
    // name; its text field carries the name everywhere.
    if (widget == w.ui.cboCodice) {
        QCOMPARE(widget->accessibleName(), name);
        QCOMPARE(iface->text(QAccessible::Value), QString("0445010760"));
        QCOMPARE(iface->text(QAccessible::Description), description);
        iface = foundByScreenReader(&w.form, w.ui.cboCodice->lineEdit());
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), name);
        return;
    }
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->text(QAccessible::Description), description);
    QCOMPARE(widget->toolTip(), description);
}

// Whatever the user can reach with Tab is named, and a field bears the
// caption of the label beside it.
void TestWindow::everyControlHasASpokenName()
{
    Window w;
    FrmMain &f = w.form;
    const Controls &ui = w.ui;
    int named = 0;
    for (QAccessibleInterface *iface : accessibleTree(&f)) {
        auto *widget = qobject_cast<QWidget *>(iface->object());
        if (!widget || widget->window() != &f || widget->focusPolicy() == Qt::NoFocus
            || widget->parentWidget() == ui.cboCodice)
            continue;
        QVERIFY2(!iface->text(QAccessible::Name).trimmed().isEmpty(),
                 qPrintable(widget->objectName() + widget->metaObject()->className()));
        ++named;
    }
    QCOMPARE(named, 16);
    const std::pair<TextBox *, QLabel *> beside[]{{ui.txtGiriMinuto, ui.lblEtichetta[0]},
                                                  {ui.txtAngolo, ui.lblEtichetta[9]},
                                                  {ui.txtMillisecondi, ui.lblEtichetta[7]},
                                                  {ui.txtMillimetri, ui.lblEtichetta[8]}};
    for (auto [field, label] : beside)
        QCOMPARE(QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name), label->text().trimmed());
}

void TestWindow::screenReaderDoesNotFindTheHiddenStrip()
{
    Window w;
    FrmMain &f = w.form;
    const Controls &ui = w.ui;
    const QList<QAccessibleInterface *> tree = accessibleTree(&f);
    for (QAccessibleInterface *iface : tree) {
        auto *widget = qobject_cast<QWidget *>(iface->object());
        QVERIFY2(!widget || (widget != ui.Frame1 && !ui.Frame1->isAncestorOf(widget)),
                 qPrintable(iface->text(QAccessible::Name)));
    }
    // Everything in the visible frame is still found, results included.
    QVERIFY(foundByScreenReader(&f, ui.cmdMMDown));
    QAccessibleInterface *result = foundByScreenReader(&f, ui.lblValori[13]);
    QVERIFY(result);
    QCOMPARE(result->text(QAccessible::Name), QString("Millimetri di corsa pompante, angolo"));
    QCOMPARE(result->text(QAccessible::Value), QString("9,17°"));
    // The window's own interface answers as Qt's would for what it keeps.
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&f);
    QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(ui.fraMain);
    QCOMPARE(window->child(window->indexOfChild(frame)), frame);
    QCOMPARE(window->indexOfChild(QAccessible::queryAccessibleInterface(ui.Frame1)), -1);
    QCOMPARE(frame->parent(), window);
}

namespace {
// Where the arrow's ink lies: the centre of the pixels that an icon adds to a
// blank button, minus the centre of their bounding box (negative: the weight
// is high, as the broad base of a downward arrow).
double inkBalance(QPushButton *button)
{
    QPushButton blank(button->parentWidget());
    blank.setGeometry(button->geometry());
    blank.setFont(button->font());
    blank.setAutoDefault(false);
    blank.setFocusPolicy(Qt::NoFocus);
    const QImage with = button->grab().toImage();
    const QImage without = blank.grab().toImage();
    double sumY = 0;
    int count = 0, top = INT_MAX, bottom = -1;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            if (with.pixel(x, y) != without.pixel(x, y)) {
                sumY += y;
                ++count;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (count < 4)
        return 0;
    return sumY / count - (top + bottom) / 2.0;
}
}  // namespace

void TestWindow::stepButtonsShowTheirDirection()
{
    Window w;
    FrmMain &f = w.form;
    const Controls &ui = w.ui;
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    ui.cboCodice->setFocus();
    for (QPushButton *up : {ui.cmdAngUp, ui.cmdMSUp, ui.cmdMMUp})
        QVERIFY2(inkBalance(up) > 0.3, qPrintable(up->objectName()));
    for (QPushButton *down : {ui.cmdAngDown, ui.cmdMSDown, ui.cmdMMDown})
        QVERIFY2(inkBalance(down) < -0.3, qPrintable(down->objectName()));
    for (QPushButton *button : {ui.cmdAngUp, ui.cmdAngDown, ui.cmdMSUp, ui.cmdMSDown, ui.cmdMMUp, ui.cmdMMDown}) {
        QVERIFY(button->text().isEmpty());
        QVERIFY(button->iconSize().height() < button->height());
    }
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
    const Controls &ui = w.ui;
    f.activateWindow();
    ui.cboCodice->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&f));

    const int before = f.calculationRuns();
    QTest::keyClick(ui.cboCodice, Qt::Key_Down);
    QCOMPARE(ui.cboCodice->currentText(), QString("0445010790"));
    QCOMPARE(f.calculationRuns(), before + 1);
    QCOMPARE(caption(f, 6), QString("90°"));
    QCOMPARE(caption(f, 13), QString("7,58°"));

    // Choosing an item in the popup.
    ui.cboCodice->showPopup();
    auto *view = ui.cboCodice->view();
    QTRY_VERIFY(view->isVisible());
    const QModelIndex item = view->model()->index(3, 0);
    view->setCurrentIndex(item);
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(ui.cboCodice->currentText(), QString("A2C1637670080"));
    QCOMPARE(f.calculationRuns(), before + 2);
    QCOMPARE(caption(f, 5), QString("6,00"));
}

void TestWindow::choosingTheSameCodeAgainRunsItAgain()
{
    Window w;
    const int before = w.form.calculationRuns();
    w.ui.lblValori[3]->setText("1");
    emit w.ui.cboCodice->activated(0);
    QCOMPARE(w.form.calculationRuns(), before + 1);
    QCOMPARE(caption(w.form, 3), QString("37,35"));
}

void TestWindow::typingInTheComboSelectsNothing()
{
    Window w;
    FrmMain &f = w.form;
    const Controls &ui = w.ui;
    QVERIFY(QTest::qWaitForWindowActive(&f));
    ui.cboCodice->setFocus();
    ui.cboCodice->lineEdit()->selectAll();
    const int before = f.calculationRuns();
    QTest::keyClicks(ui.cboCodice->lineEdit(), "0445010790");
    QCOMPARE(f.calculationRuns(), before);
    QCOMPARE(caption(f, 3), QString("37,35"));
    QTest::keyClicks(ui.cboCodice->lineEdit(), "X");
    QTest::keyClick(ui.cboCodice->lineEdit(), Qt::Key_Return);
    QCOMPARE(ui.cboCodice->count(), 4);
    QCOMPARE(f.calculationRuns(), before);
}

void TestWindow::unknownCodeKeepsTheGeometry()
{
    Window w;
    FrmMain &f = w.form;
    const Controls &ui = w.ui;
    f.setListIndex(1);
    for (const char *text : {"a2c1637670080", " 0445010760"}) {
        ui.cboCodice->setEditText(text);
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
    const Controls &ui = w.ui;
    QTest::mouseClick(ui.optAlzataGiro[(index + 1) % 3], Qt::LeftButton);
    const int before = f.calculationRuns();
    QTest::mouseClick(ui.optAlzataGiro[index], Qt::LeftButton);
    QCOMPARE(f.calculationRuns(), before + 1);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(fore(ui.optAlzataGiro[i]), i == index ? QColor(0, 128, 0) : QColor(Qt::black));
    QCOMPARE(ui.lblEtichetta[4]->text(), label);
    QCOMPARE(ui.lblEtichetta[4]->toolTip(), tip);
    QCOMPARE(ui.lblValori[7]->toolTip(), tip);
    QCOMPARE(caption(f, 7), riseFall);
    QCOMPARE(caption(f, 8), QString("ms 15,00"));
    QCOMPARE(ui.lblEtichetta[6]->text(), QString("Tempo di salita [90°]"));
}

void TestWindow::optionSetByCodeRaisesOneClick()
{
    Window w;
    const int before = w.form.calculationRuns();
    w.form.setOptionValue(2);
    QCOMPARE(w.form.calculationRuns(), before + 1);
    QVERIFY(!w.ui.optAlzataGiro[1]->isChecked());
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
    w.ui.txtMillimetri->setText("0,45");
    QVERIFY(w.form.close());
    QCOMPARE(w.services.quitCalls, 1);
    QVERIFY(w.services.boxes.empty());
}

ROTAMET_TEST_MAIN(TestWindow)
#include "tst_window.moc"
