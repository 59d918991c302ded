// The user's pumps in the window: start-up with and without their file, the
// pump list's context menu, Enter on a code not in the catalogue (or on one
// in small letters), the pump dialog driven by the keyboard, a pump deleted
// or changed whose code the file holds more than once, a file that cannot be
// written or that another copy of the program is changing, and a user pump
// chosen, calculated and printed exactly as a built-in one, and found again
// at the next start.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "catalogue/catalogue.h"
#include "numtext/numtext.h"
#include "support/controls.h"
#include "support/openmenu.h"
#include "support/readonly.h"
#include "support/recordingservices.h"
#include "support/windowtexts.h"
#include "window/frmmain.h"
#include "window/textbox.h"

using namespace rotamet;

namespace {

const QStringList kBuiltInCodes{"0445010760", "0445010790", "0445010799", "A2C1637670080"};
const QByteArray kHeader = "codice;minimo_mm;massimo_mm;fine_alzata_gradi\n";

QByteArray contents(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<none>";
    return f.readAll();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The services get the pumps' file before the window reads it.
struct PumpFileAt {
    PumpFileAt(RecordingServices &services, const QString &path) { services.pumpFile = path; }
};

struct Window {
    RecordingServices services;
    PumpFileAt file;
    FrmMain form{services};
    Controls ui{form};
    explicit Window(const QString &pumpFile) : file(services, pumpFile)
    {
        form.load();
        QVERIFY2(QTest::qWaitForWindowActive(&form), "window not active");
    }

    QStringList list() const
    {
        QStringList out;
        for (int i = 0; i < ui.cboCodice->count(); ++i)
            out << ui.cboCodice->itemText(i);
        return out;
    }
    QStringList pumpLabels() const  // lblValori(3) to (6)
    {
        return {ui.lblValori[3]->text(), ui.lblValori[4]->text(), ui.lblValori[5]->text(), ui.lblValori[6]->text()};
    }
    // Chooses a code from the list with the arrow keys, as a user does.
    void choose(const QString &code)
    {
        ui.cboCodice->setFocus();
        const int to = ui.cboCodice->findText(code);
        QVERIFY2(to >= 0, qPrintable(code));
        while (ui.cboCodice->currentIndex() != to)
            QTest::keyClick(ui.cboCodice, ui.cboCodice->currentIndex() < to ? Qt::Key_Down : Qt::Key_Up);
    }
    std::vector<std::string> printed()
    {
        services.recordingPrinter.ops.clear();
        services.boxes.clear();
        QTest::mouseClick(ui.cmdStampa, Qt::LeftButton);
        std::vector<std::string> out;
        for (const auto &op : services.recordingPrinter.ops)
            if (op.name == "Print")
                out.push_back(op.text);
        return out;
    }

    // The pump list's context menu, opened as the user opens it: a right
    // click on the list, or the menu key in it. The texts of its own actions.
    QMenu *contextMenu(bool byKey)
    {
        QLineEdit *edit = ui.cboCodice->lineEdit();
        const QPoint at = edit->rect().center();
        QMenu *menu = openMenu(form, [&] {
            if (byKey) {
                edit->setFocus();
                QContextMenuEvent key(QContextMenuEvent::Keyboard, at, edit->mapToGlobal(at));
                QApplication::sendEvent(edit, &key);
            } else {
                QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, edit->mapTo(&form, at));
            }
        });
        [&] { QVERIFY2(menu, "the list's menu did not open"); }();
        return menu;
    }
    static QStringList pumpActions(QMenu *menu)
    {
        QStringList out;
        for (QAction *a : menu->actions())
            if (a->objectName().startsWith("mnu"))
                out << a->text();
        return out;
    }
    // Chooses an action of the open menu with a click.
    static void click(QMenu *menu, const QString &text)
    {
        if (!menu)
            QFAIL("no menu");
        for (QAction *a : menu->actions()) {
            if (a->text() == text) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
                return;
            }
        }
        QFAIL(qPrintable("no action " + text));
    }

    QDialog *dialog() const { return form.findChild<QDialog *>("dlgPompa"); }
    // The dialog once the keyboard reaches it: a real window system makes a
    // new window active a moment after it shows.
    QDialog *openDialog() const
    {
        QDialog *open = nullptr;
        [&] {
            QTRY_VERIFY((open = dialog()));
            QVERIFY(QTest::qWaitForWindowActive(open));
            QTRY_VERIFY(open->isAncestorOf(QApplication::focusWidget()));
        }();
        return QTest::currentTestFailed() ? nullptr : open;
    }
};

// Types into whatever has the focus, as a keyboard does: plain text, or one
// of <Tab>, <Enter>, <Esc>, <Alt+C>, <Space on NAME> (Tab until NAME has the
// focus, then Space).
void keys(const QStringList &steps)
{
    for (const QString &step : steps) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY2(focus, qPrintable("no focus for " + step));
        if (step == "<Tab>") {
            QTest::keyClick(focus, Qt::Key_Tab);
        } else if (step == "<Enter>") {
            QTest::keyClick(focus, Qt::Key_Return);
        } else if (step == "<Esc>") {
            QTest::keyClick(focus, Qt::Key_Escape);
        } else if (step == "<Alt+C>") {
            QTest::keyClick(focus, Qt::Key_C, Qt::AltModifier);
        } else if (step.startsWith("<Space on ")) {
            const QString name = step.mid(10).chopped(1);
            for (int i = 0; i < 10 && QApplication::focusWidget()->objectName() != name; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), name);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        } else {
            QTest::keyClicks(focus, step);
        }
    }
}

}  // namespace

class TestPumps : public QObject {
    Q_OBJECT
private slots:
    void init() { dir_.reset(new QTemporaryDir); }

    void startUpWithNoFileIsAsToday();
    void startUpListsTheUserPumpsAfterTheBuiltInOnes();
    void startUpTellsOnceOfTheLinesSkipped();
    void startUpOverADamagedFileOpensTheWindowAndNamesTheLines();
    void aFileThatCannotBeReadLeavesTheBuiltInPumps();
    void userPumpIsChosenCalculatedAndPrintedAsABuiltInOne();
    void contextMenuOffersEditAndDeleteForAUserPump_data();
    void contextMenuOffersEditAndDeleteForAUserPump();
    void dialogByKeyboard_data();
    void dialogByKeyboard();
    void dialogFieldsHaveSpokenNames();
    void enterOnACodeNotInTheCatalogueAsks_data();
    void enterOnACodeNotInTheCatalogueAsks();
    void editChangesTheShownPump_data();
    void editChangesTheShownPump();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void aFileThatCannotBeWrittenKeepsTheDialogAndWhatWasTyped_data();
    void aFileThatCannotBeWrittenKeepsTheDialogAndWhatWasTyped();
    void pumpAddedIsFoundAtTheNextStart();

private:
    QString path() const { return dir_->filePath("config/Tachocalc/pompe.csv"); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestPumps::startUpWithNoFileIsAsToday()
{
    QStringList withoutFile;
    {
        Window w{QString()};
        withoutFile = windowTexts(w.form);
    }
    Window w(path());
    QCOMPARE(w.list(), kBuiltInCodes);
    QCOMPARE(w.ui.cboCodice->currentText(), QString("0445010760"));
    QCOMPARE(textDifferences(windowTexts(w.form), withoutFile), QString());
    QVERIFY(w.services.boxes.empty());
    for (const QString &code : kBuiltInCodes)
        w.choose(code);
    w.printed();
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QVERIFY(w.services.questions.empty());
    // Nothing written: neither the file nor its folder.
    QVERIFY(!QFileInfo::exists(QFileInfo(path()).absolutePath()));
}

void TestPumps::startUpListsTheUserPumpsAfterTheBuiltInOnes()
{
    QVERIFY(write(path(), kHeader + "B000000000;30;40;90\n0445010800;37,35;46,95;110\nA2C1637670081;38,51;50,5;80\n"));
    Window w(path());
    QCOMPARE(w.list(), (kBuiltInCodes + QStringList{"0445010800", "A2C1637670081", "B000000000"}));
    QCOMPARE(w.ui.cboCodice->currentText(), QString("0445010760"));
    QCOMPARE(w.pumpLabels(), (QStringList{"37,35", "46,95", "4,80", "110°"}));
    QVERIFY(w.services.boxes.empty());
}

void TestPumps::startUpTellsOnceOfTheLinesSkipped()
{
    const QByteArray file = kHeader + "0445010800;37,35;46,95;110\n0445010801;37.35;46,95;110\nnonsense\n";
    QVERIFY(write(path(), file));
    Window w(path());
    QCOMPARE(w.list(), kBuiltInCodes + QStringList{"0445010800"});
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    const RecordingServices::Box &box = w.services.boxes[0];
    QCOMPARE(box.title, QString("Catalogo pompe"));
    QCOMPARE(box.icon, BoxIcon::Warning);
    for (const QString &part : {QDir::toNativeSeparators(path()), QString("riga 3: Minimo: non è un numero"),
                                QString("riga 4: servono 4 campi")})
        QVERIFY2(box.text.contains(part), qPrintable(part + "\n" + box.text));
    QCOMPARE(contents(path()), file);
}

// Lines no program wrote (a number of 400 digits, a NUL, half a megabyte of
// separators) stop neither the start nor the other pumps.
void TestPumps::startUpOverADamagedFileOpensTheWindowAndNamesTheLines()
{
    const QByteArray file = kHeader + "0445010800;37,35;46,95;110\n" + "0445010999;" + QByteArray(400, '9')
        + ";46,95;110\n" + "A2C16376700XY;37,35" + QByteArray(1, '\0') + ";46,95;110\n" + QByteArray(500000, ';')
        + "x\n";
    QVERIFY(write(path(), file));
    Window w(path());
    QCOMPARE(w.list(), kBuiltInCodes + QStringList{"0445010800"});
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    const RecordingServices::Box &box = w.services.boxes[0];
    QCOMPARE(box.title, QString("Catalogo pompe"));
    for (const QString &part :
         {QDir::toNativeSeparators(path()), QString("riga 3: Minimo: deve essere maggiore di 0 e non oltre 100 mm."),
          QString("riga 4: Minimo: non è un numero"), QString("riga 5: servono 4 campi")})
        QVERIFY2(box.text.contains(part), qPrintable(part + "\n" + box.text));
    w.choose("0445010800");
    QCOMPARE(w.pumpLabels()[0], QString("37,35"));
    QCOMPARE(contents(path()), file);
}

void TestPumps::aFileThatCannotBeReadLeavesTheBuiltInPumps()
{
    QVERIFY(QDir().mkpath(path()));  // a folder where the file should be
    Window w(path());
    QCOMPARE(w.list(), kBuiltInCodes);
    QCOMPARE(w.pumpLabels(), (QStringList{"37,35", "46,95", "4,80", "110°"}));
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QVERIFY2(w.services.boxes[0].text.startsWith("Il file delle pompe non può essere letto:"),
             qPrintable(w.services.boxes[0].text));
    w.choose("0445010799");
    QCOMPARE(w.pumpLabels(), (QStringList{"34,75", "46,89", "6,07", "100°"}));
}

// A user pump with the geometry of 0445010790: every figure on the window and
// on the page is that pump's, but for the code.
void TestPumps::userPumpIsChosenCalculatedAndPrintedAsABuiltInOne()
{
    QVERIFY(write(path(), kHeader + "0445010800;37,6;47,1;90\n"));
    Window builtIn(path());
    builtIn.choose("0445010790");
    const QStringList builtInTexts = windowTexts(builtIn.form);
    const std::vector<std::string> builtInPage = builtIn.printed();

    Window user(path());
    user.choose("0445010800");
    QCOMPARE(user.ui.cboCodice->currentText(), QString("0445010800"));
    QCOMPARE(user.pumpLabels(), (QStringList{"37,6", "47,1", "4,75", "90°"}));
    QCOMPARE(user.ui.lblValori[13]->text(), QString("7,58°"));
    QStringList userTexts = windowTexts(user.form);
    userTexts.replaceInStrings("0445010800 (4)", "0445010790 (1)");
    QCOMPARE(textDifferences(userTexts, builtInTexts), QString());

    const std::vector<std::string> page = user.printed();
    QCOMPARE(page.size(), builtInPage.size());
    QCOMPARE(page.at(1), std::string("0445010800"));  // "Codice pompa: " then the code
    QCOMPARE(builtInPage.at(1), std::string("0445010790"));
    for (std::size_t i = 0; i < page.size(); ++i)
        if (i != 1)
            QCOMPARE(page[i], builtInPage[i]);
    // The header's pump data and a row of the speed table.
    QCOMPARE(page.at(3), std::string("4,75 mm"));
    QCOMPARE(page.at(5), std::string("37,6"));
    QCOMPARE(page.at(7), std::string("47,1"));
    QCOMPARE(page.at(10), std::string("90°"));
    const auto row = std::find(page.begin(), page.end(), std::string("2500"));
    QVERIFY(row != page.end() && row + 3 < page.end());
    QCOMPARE(QString::fromStdString(row[1]), QString("7,0°"));
    QCOMPARE(user.services.boxes.size(), std::size_t(1));
    QCOMPARE(user.services.boxes[0].text, QString("Stampa effettuata su 'Stampante di prova'"));
    QCOMPARE(user.ui.cboCodice->currentText(), QString("0445010800"));

    // Text typed over it gives way to it, not to the built-in pump with the
    // same data.
    QLineEdit *edit = user.ui.cboCodice->lineEdit();
    user.ui.cboCodice->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "xyz");
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(user.ui.cboCodice->currentText(), QString("0445010800"));
}

void TestPumps::contextMenuOffersEditAndDeleteForAUserPump_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("right click") << false;
    QTest::newRow("menu key") << true;
}

void TestPumps::contextMenuOffersEditAndDeleteForAUserPump()
{
    QFETCH(bool, byKey);
    QVERIFY(write(path(), kHeader + "0445010800;37,35;46,95;110\n"));
    Window w(path());
    QMenu *menu = w.contextMenu(byKey);
    QVERIFY(menu);
    QCOMPARE(Window::pumpActions(menu), QStringList{"Aggiungi pompa…"});
    // The line edit's own actions stay (paste a code).
    QVERIFY(menu->actions().size() > 3);
    menu->close();

    w.choose("0445010800");
    menu = w.contextMenu(byKey);
    QVERIFY(menu);
    QCOMPARE(Window::pumpActions(menu), (QStringList{"Aggiungi pompa…", "Modifica pompa…", "Elimina pompa"}));
    menu->close();

    // A text typed over the user pump's code: the pump shown is still it.
    w.ui.cboCodice->lineEdit()->selectAll();
    QTest::keyClicks(w.ui.cboCodice->lineEdit(), "xyz");
    menu = w.contextMenu(byKey);
    QVERIFY(menu);
    QCOMPARE(Window::pumpActions(menu).size(), 3);
    menu->close();
}

void TestPumps::dialogByKeyboard_data()
{
    QTest::addColumn<QStringList>("steps");  // after the dialog opened, focus in txtCodice
    QTest::addColumn<QString>("box");        // the start of the message, if one comes
    QTest::addColumn<QString>("focus");      // while the dialog stays open
    QTest::addColumn<QString>("kept");       // the code added and chosen; empty: nothing changed
    QTest::addColumn<QStringList>("labels");

    const QStringList none;
    QTest::newRow("0445010800 37.35 46,95 110 Enter")
        << QStringList{"0445010800", "<Tab>", "37.35", "<Tab>", "46,95", "<Tab>", "110", "<Enter>"} << QString()
        << QString() << "0445010800" << QStringList{"37,35", "46,95", "4,80", "110°"};
    QTest::newRow("small letters, Alt+C back to the code, Enter")
        << QStringList{"a2c163767008x", "<Tab>", "30", "<Tab>", "40", "<Tab>", "90", "<Alt+C>", "<Enter>"} << QString()
        << QString() << "A2C163767008X" << QStringList{"30", "40", "5,00", "90°"};
    QTest::newRow("letters and signs not taken")
        << QStringList{"0445-0108.00", "<Tab>", "3a0", "<Tab>", "4e0,5", "<Tab>", "9°0x", "<Enter>"} << QString()
        << QString() << "0445010800" << QStringList{"30", "40,5", "5,25", "90°"};
    QTest::newRow("OK by Tab and Space") << QStringList{"0445010800", "<Tab>", "30", "<Tab>",
                                                        "40",         "<Tab>", "90", "<Space on cmdOK>"}
                                         << QString() << QString() << "0445010800"
                                         << QStringList{"30", "40", "5,00", "90°"};
    QTest::newRow("minimum 0") << QStringList{"0445010800", "<Tab>", "0", "<Tab>", "40", "<Tab>", "90", "<Enter>"}
                               << "Minimo: deve essere maggiore di 0"
                               << "txtMinimo" << QString() << none;
    QTest::newRow("maximum below minimum")
        << QStringList{"0445010800", "<Tab>", "40", "<Tab>", "30", "<Tab>", "90", "<Enter>"}
        << "Massimo: deve essere maggiore del minimo"
        << "txtMassimo" << QString() << none;
    QTest::newRow("angle 400") << QStringList{"0445010800", "<Tab>", "30", "<Tab>", "40", "<Tab>", "4000", "<Enter>"}
                               << "Fine alzata: un numero intero di gradi da 1 a 360"
                               << "txtFineAlzata" << QString() << none;
    QTest::newRow("no angle") << QStringList{"0445010800", "<Tab>", "30", "<Tab>", "40", "<Enter>"}
                              << "Fine alzata: un numero intero"
                              << "txtFineAlzata" << QString() << none;
    QTest::newRow("short code") << QStringList{"044501080", "<Tab>", "30", "<Tab>", "40", "<Tab>", "90", "<Enter>"}
                                << "Codice: da 10 a 13 caratteri"
                                << "txtCodice" << QString() << none;
    QTest::newRow("built-in code") << QStringList{"0445010790", "<Tab>", "30", "<Tab>", "40", "<Tab>", "90", "<Enter>"}
                                   << "Codice: 0445010790 è una pompa incorporata"
                                   << "txtCodice" << QString() << none;
    QTest::newRow("Esc") << QStringList{"0445010800", "<Tab>", "30", "<Tab>", "40", "<Tab>", "90", "<Esc>"} << QString()
                         << QString() << QString() << none;
    QTest::newRow("Annulla by Tab and Space")
        << QStringList{"0445010800", "<Tab>", "30", "<Tab>", "40", "<Tab>", "90", "<Space on cmdAnnulla>"} << QString()
        << QString() << QString() << none;
}

void TestPumps::dialogByKeyboard()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, box);
    QFETCH(QString, focus);
    QFETCH(QString, kept);
    QFETCH(QStringList, labels);
    Window w(path());
    const QStringList before = windowTexts(w.form);
    Window::click(w.contextMenu(false), "Aggiungi pompa…");
    QDialog *dialog = w.openDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QString("Aggiungi pompa"));
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("txtCodice"));
    keys(steps);

    if (!box.isEmpty()) {
        QCOMPARE(w.services.boxes.size(), std::size_t(1));
        QVERIFY2(w.services.boxes[0].text.startsWith(box), qPrintable(w.services.boxes[0].text));
        QCOMPARE(w.services.boxes[0].title, QString("Aggiungi pompa"));
        // The dialog stays open, with what was typed, and the field at fault
        // has the focus with its text selected.
        QVERIFY(dialog->isVisible());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        auto *field = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QCOMPARE(field->selectedText(), field->text());
        QVERIFY(!dialog->findChild<QLineEdit *>("txtCodice")->text().isEmpty());
        keys({"<Esc>"});
    } else {
        QVERIFY(w.services.boxes.empty());
    }
    QTRY_VERIFY(!w.dialog());
    if (kept.isEmpty()) {
        QCOMPARE(textDifferences(windowTexts(w.form), before), QString());
        // No file, and no folder either.
        QVERIFY(!QFileInfo::exists(QFileInfo(path()).absolutePath()));
        return;
    }
    QCOMPARE(w.list(), kBuiltInCodes + QStringList{kept});
    QCOMPARE(w.ui.cboCodice->currentText(), kept);
    QCOMPARE(w.pumpLabels(), labels);
    QVERIFY2(contents(path()).startsWith(kHeader + kept.toUtf8() + ";"), contents(path()).constData());
}

void TestPumps::dialogFieldsHaveSpokenNames()
{
    Window w(path());
    Window::click(w.contextMenu(false), "Aggiungi pompa…");
    QDialog *dialog = w.openDialog();
    QVERIFY(dialog);
    const QStringList fields{"txtCodice", "txtMinimo", "txtMassimo", "txtFineAlzata"};
    const QStringList names{"Codice pompa", "Dimensione minima dell'albero in millimetri",
                            "Dimensione massima dell'albero in millimetri", "Gradi di fine alzata della camma"};
    for (int i = 0; i < fields.size(); ++i) {
        auto *field = dialog->findChild<QLineEdit *>(fields[i]);
        QVERIFY2(field, qPrintable(fields[i]));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(field);
        QCOMPARE(iface->text(QAccessible::Name), names[i]);
        QVERIFY(!iface->text(QAccessible::Description).isEmpty());
        // Its label, with an Alt key, leads to it.
        bool labelled = false;
        for (QLabel *label : dialog->findChildren<QLabel *>())
            labelled = labelled || (label->buddy() == field && label->text().contains('&'));
        QVERIFY2(labelled, qPrintable(fields[i]));
    }
    keys({"<Esc>"});
}

void TestPumps::enterOnACodeNotInTheCatalogueAsks_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("question");    // empty: none
    QTest::addColumn<QString>("dialogCode");  // the code in the dialog; empty: no dialog
    QTest::addColumn<QString>("shown");       // the list's text afterwards

    QTest::newRow("0445010800, Sì") << "0445010800" << true << "Il codice 0445010800 non è in catalogo. Aggiungerlo?"
                                    << "0445010800"
                                    << "0445010760";
    QTest::newRow("0445010800x, Sì") << "0445010800x" << true << "Il codice 0445010800X non è in catalogo. Aggiungerlo?"
                                     << "0445010800X"
                                     << "0445010760";
    QTest::newRow("0445010800, No") << "0445010800" << false << "Il codice 0445010800 non è in catalogo. Aggiungerlo?"
                                    << QString() << "0445010760";
    QTest::newRow("0445010799, in the catalogue") << "0445010799" << true << QString() << QString() << "0445010799";
    QTest::newRow("a2c1637670080, a built-in code in small letters")
        << "a2c1637670080" << true << QString() << QString() << "A2C1637670080";
    QTest::newRow("0445010799 with blanks around") << " 0445010799  " << true << QString() << QString() << "0445010799";
    QTest::newRow("a2C16376700 80, a blank inside")
        << "a2C16376700 80" << false << "Il codice A2C16376700 80 non è in catalogo. Aggiungerlo?" << QString()
        << "0445010760";
    QTest::newRow("0445010800, Tab") << "0445010800\t" << true << QString() << QString() << "0445010760";
    QTest::newRow("blanks") << "   " << true << QString() << QString() << "0445010760";
}

void TestPumps::enterOnACodeNotInTheCatalogueAsks()
{
    QFETCH(QString, typed);
    QFETCH(bool, answer);
    QFETCH(QString, question);
    QFETCH(QString, dialogCode);
    QFETCH(QString, shown);
    Window w(path());
    w.services.answer = answer;
    // The keys go where the keyboard sends them, to the list that has the
    // focus, which hands them to its text field.
    w.ui.cboCodice->setFocus();
    w.ui.cboCodice->lineEdit()->selectAll();
    if (typed.endsWith('\t'))  // leaving the list asks nothing
        keys({typed.chopped(1), "<Tab>"});
    else
        keys({typed, "<Enter>"});

    QCOMPARE(w.services.questions.size(), std::size_t(question.isEmpty() ? 0 : 1));
    if (!question.isEmpty()) {
        QCOMPARE(w.services.questions[0].text, question);
        QCOMPARE(w.services.questions[0].title, QString("Catalogo pompe"));
    }
    QCOMPARE(bool(w.dialog()), !dialogCode.isEmpty());
    if (w.dialog()) {
        QCOMPARE(w.dialog()->findChild<QLineEdit *>("txtCodice")->text(), dialogCode);
        QVERIFY(w.openDialog());
        keys({"<Tab>", "30", "<Tab>", "40", "<Tab>", "90", "<Enter>"});
        QTRY_VERIFY(!w.dialog());
        shown = dialogCode;
    }
    QCOMPARE(w.ui.cboCodice->currentText(), shown);
    QCOMPARE(w.ui.cboCodice->currentIndex(), w.ui.cboCodice->findText(shown));
    // The labels show that pump's data.
    QString minimum = "30";
    for (const catalogue::Pump &pump : catalogue::builtInPumps())
        if (QString::fromStdString(pump.code) == shown)
            minimum = QString::fromStdString(NumberText(pump.minAlbero));
    QCOMPARE(w.ui.lblValori[3]->text(), minimum);
    QVERIFY(w.services.boxes.empty());
}

void TestPumps::editChangesTheShownPump_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("once") << kHeader + "0445010800;37,35;46,95;110\n";
    QTest::newRow("twice, joined from two catalogues") << kHeader + "0445010800;37,35;46,95;110\n0445010800;30;40;90\n";
}

void TestPumps::editChangesTheShownPump()
{
    QFETCH(QByteArray, file);
    QVERIFY(write(path(), file));
    Window w(path());
    w.choose("0445010800");
    Window::click(w.contextMenu(false), "Modifica pompa…");
    QDialog *dialog = w.openDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QString("Modifica pompa"));
    QStringList filled;
    for (const char *name : {"txtCodice", "txtMinimo", "txtMassimo", "txtFineAlzata"})
        filled << dialog->findChild<QLineEdit *>(name)->text();
    QCOMPARE(filled, (QStringList{"0445010800", "37,35", "46,95", "110"}));
    keys({"<Tab>", "<Tab>", "47,95", "<Enter>"});
    QTRY_VERIFY(!w.dialog());
    QCOMPARE(w.ui.cboCodice->currentText(), QString("0445010800"));
    QCOMPARE(w.pumpLabels(), (QStringList{"37,35", "47,95", "5,30", "110°"}));
    QCOMPARE(contents(path()), kHeader + "0445010800;37,35;47,95;110\n");
    // The next start finds it as changed.
    Window again(path());
    again.choose("0445010800");
    QCOMPARE(again.pumpLabels(), (QStringList{"37,35", "47,95", "5,30", "110°"}));
    QVERIFY(again.services.boxes.empty());
}

void TestPumps::deleteAsksFirst_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("question");
    const QByteArray first = kHeader + "0445010800;37,35;46,95;110\n";
    QTest::newRow("once") << first + "0445010801;30;40;90\n"
                          << "Eliminare la pompa 0445010801 dal catalogo?";
    QTest::newRow("three lines, one that cannot be read")
        << first + "0445010801;30;40;90\n0445010801;31;41;91\n\"0445010801\";3.5;41;91\n"
        << "Eliminare la pompa 0445010801 dal catalogo?\n"
           "Il codice è su 3 righe del file: saranno eliminate tutte.";
}

void TestPumps::deleteAsksFirst()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, question);
    QVERIFY(write(path(), file));
    Window w(path());
    w.services.boxes.clear();  // the lines skipped, told at start-up
    w.choose("0445010801");
    QCOMPARE(w.pumpLabels(), (QStringList{"30", "40", "5,00", "90°"}));
    const QByteArray before = contents(path());

    w.services.answer = false;
    Window::click(w.contextMenu(false), "Elimina pompa");
    QCOMPARE(w.services.questions.size(), std::size_t(1));
    QCOMPARE(w.services.questions[0].text, question);
    QCOMPARE(w.list().size(), 6);
    QCOMPARE(contents(path()), before);

    w.services.answer = true;
    Window::click(w.contextMenu(true), "Elimina pompa");
    QCOMPARE(w.list(), kBuiltInCodes + QStringList{"0445010800"});
    QCOMPARE(w.ui.cboCodice->currentText(), QString("0445010760"));
    QCOMPARE(w.pumpLabels(), (QStringList{"37,35", "46,95", "4,80", "110°"}));
    QCOMPARE(contents(path()), kHeader + "0445010800;37,35;46,95;110\n");
    QVERIFY(w.services.boxes.empty());
    // The next start has it no more, nor a line of it.
    Window again(path());
    QCOMPARE(again.list(), kBuiltInCodes + QStringList{"0445010800"});
    QVERIFY(again.services.boxes.empty());
}

void TestPumps::aFileThatCannotBeWrittenKeepsTheDialogAndWhatWasTyped_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("box");  // how the message starts
    QTest::newRow("a file where the folder should be") << "file for folder"
                                                       << "Il file delle pompe non può essere scritto:";
    QTest::newRow("read-only file") << "read-only file"
                                    << "Il file delle pompe non può essere scritto:\nPATH\n(il file è di sola lettura)";
    QTest::newRow("another copy changes it") << "locked"
                                             << "Il file delle pompe è in uso da un'altra copia di Rotamet:";
}

void TestPumps::aFileThatCannotBeWrittenKeepsTheDialogAndWhatWasTyped()
{
    QFETCH(QString, kind);
    QFETCH(QString, box);
    box.replace("PATH", QDir::toNativeSeparators(path()));
    std::optional<ReadOnly> readOnly;
    QLockFile otherCopy(path() + ".lock");
    if (kind == "file for folder") {
        QVERIFY(write(QFileInfo(path()).absolutePath(), "not a folder"));
    } else {
        QVERIFY(write(path(), kHeader));
        if (kind == "read-only file") {
            readOnly.emplace(path());
            if (!readOnly->done())
                QSKIP("this file system has no attribute that keeps root out");
        } else {
            QVERIFY(otherCopy.tryLock(0));
        }
    }
    Window w(path());
    const QStringList before = windowTexts(w.form);
    Window::click(w.contextMenu(false), "Aggiungi pompa…");
    QVERIFY(w.openDialog());
    // The window's timers run while the change waits for the file.
    int ticks = 0;
    QTimer timer;
    timer.callOnTimeout([&] { ++ticks; });
    timer.start(50);
    keys({"0445010800", "<Tab>", "30", "<Tab>", "40", "<Tab>", "90", "<Enter>"});
    if (kind == "locked")
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QVERIFY2(w.services.boxes[0].text.startsWith(box), qPrintable(w.services.boxes[0].text));
    QVERIFY(w.dialog() && w.dialog()->isVisible());
    QCOMPARE(w.dialog()->findChild<QLineEdit *>("txtMassimo")->text(), QString("40"));
    keys({"<Esc>"});
    QTRY_VERIFY(!w.dialog());
    QCOMPARE(textDifferences(windowTexts(w.form), before), QString());
}

void TestPumps::pumpAddedIsFoundAtTheNextStart()
{
    {
        Window w(path());
        Window::click(w.contextMenu(false), "Aggiungi pompa…");
        QVERIFY(w.openDialog());
        keys({"0445010800", "<Tab>", "37,35", "<Tab>", "46,95", "<Tab>", "110", "<Enter>"});
        QTRY_VERIFY(!w.dialog());
        QCOMPARE(w.printed().at(1), std::string("0445010800"));
    }
    Window again(path());
    QCOMPARE(again.list(), kBuiltInCodes + QStringList{"0445010800"});
    QCOMPARE(again.ui.cboCodice->currentText(), QString("0445010760"));
    again.choose("0445010800");
    QCOMPARE(again.pumpLabels(), (QStringList{"37,35", "46,95", "4,80", "110°"}));
    QVERIFY(again.services.boxes.empty());
}

QTEST_MAIN(TestPumps)
#include "tst_pumps.moc"
