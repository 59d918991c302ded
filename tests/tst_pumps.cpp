// The user's pumps in the window: start-up with and without their file, the
// pump list's context menu, Enter on a code not in the catalogue (or on one
// in small letters), the pump dialog driven by the keyboard, a pump deleted
// or changed whose code the file holds more than once, a file that cannot be
// written or that another copy of the program is changing, and a user pump
// chosen, calculated and printed exactly as a built-in one, and found again
// at the next start. Export and import of the user's pumps: the entries of
// the menu, the file written, the import dialog driven by the keyboard, files
// saved by LibreOffice Calc, and what a failed or cancelled one leaves.
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
#include <QTreeWidget>

#include "catalogue/catalogue.h"
#include "numtext/numtext.h"
#include "support/controls.h"
#include "support/openmenu.h"
#include "support/readonly.h"
#include "support/recordingservices.h"
#include "support/testmain.h"
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

    QDialog *dialog(const char *name = "dlgPompa") const { return form.findChild<QDialog *>(name); }
    // The dialog once the keyboard reaches it: a real window system makes a
    // new window active a moment after it shows.
    QDialog *openDialog(const char *name = "dlgPompa") const
    {
        QDialog *open = nullptr;
        [&] {
            QTRY_VERIFY((open = dialog(name)));
            QVERIFY(QTest::qWaitForWindowActive(open));
            QTRY_VERIFY(open->isAncestorOf(QApplication::focusWidget()));
        }();
        return QTest::currentTestFailed() ? nullptr : open;
    }
};

// Types into whatever has the focus, as a keyboard does: plain text, or one
// of <Tab>, <Enter>, <Esc>, <Down>, <Space>, <Alt+LETTER> (<Alt+C>), <Space on
// NAME> (Tab until NAME has the focus, then Space).
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
        } else if (step == "<Down>") {
            QTest::keyClick(focus, Qt::Key_Down);
        } else if (step == "<Space>") {
            QTest::keyClick(focus, Qt::Key_Space);
        } else if (step.startsWith("<Alt+") && step.size() == 7) {
            QTest::keyClick(focus, Qt::Key(Qt::Key_A + (step[5].unicode() - 'A')), Qt::AltModifier);
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
    void exportIsOfferedForPumpsOfTheUserOnly();
    void exportWritesTheUserPumpsToTheFileChosen_data();
    void exportWritesTheUserPumpsToTheFileChosen();
    void exportThatFailsNamesTheFileAndWhy_data();
    void exportThatFailsNamesTheFileAndWhy();
    void importShowsWhatItWouldDoThenMergesAsChosen_data();
    void importShowsWhatItWouldDoThenMergesAsChosen();
    void importDialogHasSpokenNamesAndAltKeys();
    void importOfAFileCalcSaved_data();
    void importOfAFileCalcSaved();
    void importThatCannotBeMadeChangesNothing_data();
    void importThatCannotBeMadeChangesNothing();
    void pumpsTravelFromOnePcToAnother();

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
    QCOMPARE(Window::pumpActions(menu), (QStringList{"Aggiungi pompa…", "&Esporta pompe…", "I&mporta pompe…"}));
    // The line edit's own actions stay (paste a code).
    QVERIFY(menu->actions().size() > 3);
    menu->close();

    w.choose("0445010800");
    menu = w.contextMenu(byKey);
    QVERIFY(menu);
    QCOMPARE(
        Window::pumpActions(menu),
        (QStringList{"Aggiungi pompa…", "Modifica pompa…", "Elimina pompa", "&Esporta pompe…", "I&mporta pompe…"}));
    menu->close();

    // A text typed over the user pump's code: the pump shown is still it.
    w.ui.cboCodice->lineEdit()->selectAll();
    QTest::keyClicks(w.ui.cboCodice->lineEdit(), "xyz");
    menu = w.contextMenu(byKey);
    QVERIFY(menu);
    QCOMPARE(Window::pumpActions(menu).size(), 5);
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

namespace {

// The rows of a list of the import dialog, their columns joined by " | ".
QStringList rows(QDialog *dialog, const char *name)
{
    QStringList out;
    auto *list = dialog ? dialog->findChild<QTreeWidget *>(name) : nullptr;
    for (int i = 0; list && i < list->topLevelItemCount(); ++i) {
        QStringList columns;
        for (int c = 0; c < list->columnCount(); ++c)
            columns << list->topLevelItem(i)->text(c);
        out << columns.join(" | ");
    }
    return out;
}

QAction *action(QMenu *menu, const char *name) { return menu ? menu->findChild<QAction *>(name) : nullptr; }

// The catalogue an import meets, and a file with a pump of each kind: as
// the catalogue has it (0445010800), with other figures (0445010801,
// 0445010802), new (0445010803), a code that lost its leading zero in a
// spreadsheet (line 6), a built-in pump (0445010790).
const QByteArray kOwnPumps = kHeader + "0445010800;37,35;46,95;110\n0445010801;30;40;90\n0445010802;31;41;91\n";
const QByteArray kOffered = kHeader
    + "0445010800;37,35;46,95;110\n0445010801;30;40;95\n0445010802;32;42;92\n0445010803;33;43;93\n"
      "445010804;34;44;94\n0445010790;37,6;47,1;90\n";

}  // namespace

void TestPumps::exportIsOfferedForPumpsOfTheUserOnly()
{
    Window w(path());
    QMenu *menu = w.contextMenu(true);
    QVERIFY(action(menu, "mnuEsportaPompe") && action(menu, "mnuImportaPompe"));
    QVERIFY(!action(menu, "mnuEsportaPompe")->isEnabled());
    QVERIFY(!action(menu, "mnuEsportaPompe")->toolTip().isEmpty());
    QVERIFY(action(menu, "mnuImportaPompe")->isEnabled());
    // Its letter does nothing.
    QTest::keyClick(menu, Qt::Key_E);
    QVERIFY(w.services.exportDialogs.empty());
    menu->close();
}

void TestPumps::exportWritesTheUserPumpsToTheFileChosen_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("menu key, E") << true;
    QTest::newRow("right click, click") << false;
}

void TestPumps::exportWritesTheUserPumpsToTheFileChosen()
{
    QFETCH(bool, byKey);
    // Unordered, and with a line that cannot be read: neither goes out so.
    const QByteArray file = kHeader + "0445010801;30;40;90\n0445010800;37,35;46,95;110\nnonsense\n";
    QVERIFY(write(path(), file));
    Window w(path());
    w.services.boxes.clear();
    const QString target = dir_->filePath("chiavetta/pompe di Mario.csv");
    QVERIFY(write(target, "an older export, replaced whole"));
    w.services.exportFile = target;
    QMenu *menu = w.contextMenu(byKey);
    if (byKey)
        QTest::keyClick(menu, Qt::Key_E);
    else
        Window::click(menu, "&Esporta pompe…");
    QTRY_COMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.exportDialogs.size(), std::size_t(1));
    QCOMPARE(w.services.exportDialogs[0], QString("pompe-rotamet.csv"));
    QCOMPARE(contents(target), kHeader + "0445010800;37,35;46,95;110\n0445010801;30;40;90\n");
    QCOMPARE(w.services.boxes[0].text, "Esportate 2 pompe in:\n" + QDir::toNativeSeparators(target));
    QCOMPARE(w.services.boxes[0].title, QString("Esporta pompe"));
    QCOMPARE(w.services.boxes[0].icon, BoxIcon::Information);
    QCOMPARE(contents(path()), file);
    QVERIFY(QDir(QFileInfo(target).absolutePath()).entryList(QDir::Files) == QStringList{"pompe di Mario.csv"});
}

void TestPumps::exportThatFailsNamesTheFileAndWhy_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("cause");  // empty: no message
    QTest::newRow("a folder that is not there") << "no folder"
                                                << "la cartella non esiste";
    QTest::newRow("a folder of that name") << "folder"
                                           << "al suo posto c'è una cartella";
    QTest::newRow("a read-only file") << "read-only"
                                      << "il file è di sola lettura";
    QTest::newRow("cancelled") << "cancelled" << QString();
}

void TestPumps::exportThatFailsNamesTheFileAndWhy()
{
    QFETCH(QString, kind);
    QFETCH(QString, cause);
    QVERIFY(write(path(), kHeader + "0445010800;37,35;46,95;110\n"));
    Window w(path());
    QString target = dir_->filePath("esportate.csv");
    std::optional<ReadOnly> readOnly;
    if (kind == "no folder") {
        target = dir_->filePath("chiavetta tolta/esportate.csv");
    } else if (kind == "folder") {
        QVERIFY(QDir().mkpath(target));
    } else if (kind == "read-only") {
        QVERIFY(write(target, "kept"));
        readOnly.emplace(target);
        if (!readOnly->done())
            QSKIP("this file system has no attribute that keeps root out");
    }
    if (kind != "cancelled")
        w.services.exportFile = target;
    QTest::keyClick(w.contextMenu(true), Qt::Key_E);
    QCOMPARE(w.services.exportDialogs.size(), std::size_t(1));
    if (cause.isEmpty()) {
        QVERIFY(w.services.boxes.empty());
        QVERIFY(!QFileInfo::exists(target));
        return;
    }
    QTRY_COMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(
        w.services.boxes[0].text,
        QStringLiteral("Le pompe non sono state esportate:\n%1\n(%2)").arg(QDir::toNativeSeparators(target), cause));
    QCOMPARE(w.services.boxes[0].icon, BoxIcon::Warning);
    if (kind == "read-only")
        QCOMPARE(contents(target), QByteArray("kept"));
}

void TestPumps::importShowsWhatItWouldDoThenMergesAsChosen_data()
{
    QTest::addColumn<QStringList>("steps");  // once the dialog has the keyboard
    QTest::addColumn<QByteArray>("file");    // the pump file afterwards
    const QByteArray added = "0445010803;33;43;93\n";
    const QByteArray mine = kOwnPumps + added;
    const QByteArray theirs
        = kHeader + "0445010800;37,35;46,95;110\n0445010801;30;40;95\n0445010802;32;42;92\n" + added;
    const QByteArray oneByOne
        = kHeader + "0445010800;37,35;46,95;110\n0445010801;30;40;90\n0445010802;32;42;92\n" + added;
    QTest::newRow("Enter keeps mine") << QStringList{"<Enter>"} << mine;
    QTest::newRow("Alt+P takes the file's for all, Enter") << QStringList{"<Alt+P>", "<Enter>"} << theirs;
    QTest::newRow("Alt+P, Alt+T keeps mine again, Enter") << QStringList{"<Alt+P>", "<Alt+T>", "<Enter>"} << mine;
    QTest::newRow("Alt+A, Down, Space takes the second one, Enter")
        << QStringList{"<Alt+A>", "<Down>", "<Space>", "<Enter>"} << oneByOne;
    QTest::newRow("Alt+I") << QStringList{"<Alt+P>", "<Alt+I>"} << theirs;
    QTest::newRow("Esc") << QStringList{"<Alt+P>", "<Esc>"} << kOwnPumps;
    QTest::newRow("Annulla by Tab and Space") << QStringList{"<Alt+P>", "<Space on cmdAnnulla>"} << kOwnPumps;
}

void TestPumps::importShowsWhatItWouldDoThenMergesAsChosen()
{
    QFETCH(QStringList, steps);
    QFETCH(QByteArray, file);
    QVERIFY(write(path(), kOwnPumps));
    const QString offered = dir_->filePath("da Mario.csv");
    QVERIFY(write(offered, kOffered));
    Window w(path());
    w.choose("0445010801");
    w.services.importFile = offered;
    QTest::keyClick(w.contextMenu(true), Qt::Key_M);
    QDialog *dialog = w.openDialog("dlgImporta");
    QVERIFY(dialog);
    QCOMPARE(w.services.importDialogs, 1);
    QCOMPARE(dialog->windowTitle(), QString("Importa pompe"));
    QVERIFY(dialog->findChild<QLabel *>("lblFile")->text().contains(QDir::toNativeSeparators(offered)));
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("lstNuove"));
    QCOMPARE(rows(dialog, "lstNuove"), QStringList{"0445010803 | 33 – 43 mm, 93°"});
    QCOMPARE(rows(dialog, "lstConflitti"),
             (QStringList{"0445010801 | 30 – 40 mm, 90° | 30 – 40 mm, 95°",
                          "0445010802 | 31 – 41 mm, 91° | 32 – 42 mm, 92°"}));
    QCOMPARE(dialog->findChild<QLabel *>("lblPresenti")->text(),
             QString("Già in catalogo, senza cambiamenti (2): 0445010800, 0445010790"));
    const QStringList refused = rows(dialog, "lstRifiutate");
    QCOMPARE(refused.size(), 1);
    QVERIFY2(refused[0].startsWith("6 | Codice: 445010804 è un numero, non un codice: il foglio di calcolo ha tolto "
                                   "lo zero iniziale"),
             qPrintable(refused[0]));
    QVERIFY(refused[0].endsWith(" | 445010804;34;44;94"));
    const QString reason = dialog->findChild<QLabel *>("lblMotivo")->text();
    QVERIFY(reason.endsWith("riscrivere il codice.") && refused[0].contains(reason));
    // Nothing has changed yet.
    QCOMPARE(contents(path()), kOwnPumps);

    keys(steps);
    QTRY_VERIFY(!w.dialog("dlgImporta"));
    QCOMPARE(contents(path()), file);
    QVERIFY(w.services.boxes.empty());
    QStringList listed = kBuiltInCodes + QStringList{"0445010800", "0445010801", "0445010802"};
    if (file != kOwnPumps)
        listed << "0445010803";
    QCOMPARE(w.list(), listed);
    // The pump shown stays, with the figures it has now.
    QCOMPARE(w.ui.cboCodice->currentText(), QString("0445010801"));
    QCOMPARE(w.pumpLabels().at(3), file.contains("0445010801;30;40;95") ? QString("95°") : QString("90°"));
    // The next start finds the same.
    Window again(path());
    QCOMPARE(again.list(), w.list());
    QVERIFY(again.services.boxes.empty());
}

void TestPumps::importDialogHasSpokenNamesAndAltKeys()
{
    QVERIFY(write(path(), kOwnPumps));
    const QString offered = dir_->filePath("da Mario.csv");
    QVERIFY(write(offered, kOffered));
    Window w(path());
    w.services.importFile = offered;
    Window::click(w.contextMenu(false), "I&mporta pompe…");
    QDialog *dialog = w.openDialog("dlgImporta");
    QVERIFY(dialog);
    const QStringList lists{"lstNuove", "lstConflitti", "lstRifiutate"};
    const QStringList names{"Pompe nuove", "Pompe già in catalogo con altri valori", "Righe rifiutate"};
    for (int i = 0; i < lists.size(); ++i) {
        auto *list = dialog->findChild<QTreeWidget *>(lists[i]);
        QVERIFY2(list, qPrintable(lists[i]));
        QCOMPARE(QAccessible::queryAccessibleInterface(list)->text(QAccessible::Name), names[i]);
        bool labelled = false;
        for (QLabel *label : dialog->findChildren<QLabel *>())
            labelled = labelled || (label->buddy() == list && label->text().contains('&'));
        QVERIFY2(labelled, qPrintable(lists[i]));
    }
    for (const char *button : {"cmdTieniMie", "cmdPrendiFile", "cmdImporta", "cmdAnnulla"}) {
        auto *b = dialog->findChild<QPushButton *>(button);
        QVERIFY2(b, button);
        QVERIFY(!QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name).isEmpty());
    }
    keys({"<Esc>"});
    QTRY_VERIFY(!w.dialog("dlgImporta"));
    QCOMPARE(contents(path()), kOwnPumps);
}

void TestPumps::importOfAFileCalcSaved_data()
{
    QTest::addColumn<QString>("saved");  // by LibreOffice Calc (tests/spreadsheet/calc-csv-import.sh)
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<int>("refused");
    QTest::newRow("code column as Text, UTF-8")
        << ":/data/calc-testo-utf8.csv" << QStringList{"0445010800", "0445010801", "A2C1637670081"} << 0;
    QTest::newRow("code column as Calc guessed, Windows-1252")
        << ":/data/calc-standard-1252.csv" << QStringList{"A2C1637670081"} << 2;
}

void TestPumps::importOfAFileCalcSaved()
{
    QFETCH(QString, saved);
    QFETCH(QStringList, added);
    QFETCH(int, refused);
    const QString offered = dir_->filePath("pompe.csv");
    QVERIFY(QFile::copy(saved, offered));
    Window w(path());
    w.services.importFile = offered;
    QTest::keyClick(w.contextMenu(true), Qt::Key_M);
    QDialog *dialog = w.openDialog("dlgImporta");
    QVERIFY(dialog);
    QCOMPARE(rows(dialog, "lstNuove").size(), added.size());
    const QStringList lines = rows(dialog, "lstRifiutate");
    QCOMPARE(lines.size(), refused);
    for (const QString &line : lines)
        QVERIFY2(line.contains("ha tolto lo zero iniziale"), qPrintable(line));
    keys({"<Enter>"});
    QTRY_VERIFY(!w.dialog("dlgImporta"));
    QCOMPARE(w.list(), kBuiltInCodes + added);
    w.choose("A2C1637670081");
    const QStringList labels = w.pumpLabels();
    QCOMPARE((QStringList{labels[0], labels[1], labels[3]}), (QStringList{"38,51", "50,5", "80°"}));
}

void TestPumps::importThatCannotBeMadeChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("offered");
    QTest::addColumn<QString>("box");  // how the message starts; empty: none
    QTest::newRow("cancelled") << "cancelled" << kOffered << QString();
    QTest::newRow("no such file") << "missing" << QByteArray()
                                  << "Il file non può essere importato:\nFILE\n(il file non esiste)\n\n"
                                     "Il catalogo non è cambiato.";
    QTest::newRow("an empty file") << "file" << QByteArray() << "Il file non contiene pompe:\nFILE";
    QTest::newRow("lines refused only, Enter") << "file" << kHeader + "445010804;34;44;94\n" << QString();
    QTest::newRow("another copy of the program changes the pumps")
        << "locked" << kOffered << "Il file delle pompe è in uso da un'altra copia di Rotamet:";
}

void TestPumps::importThatCannotBeMadeChangesNothing()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, offered);
    QFETCH(QString, box);
    QVERIFY(write(path(), kOwnPumps));
    const QString file = dir_->filePath("da Mario.csv");
    box.replace("FILE", QDir::toNativeSeparators(file));
    if (kind != "missing")
        QVERIFY(write(file, offered));
    QLockFile otherCopy(path() + ".lock");
    if (kind == "locked")
        QVERIFY(otherCopy.tryLock(0));
    Window w(path());
    const QStringList before = windowTexts(w.form);
    if (kind != "cancelled")
        w.services.importFile = file;
    QTest::keyClick(w.contextMenu(true), Qt::Key_M);
    QCOMPARE(w.services.importDialogs, 1);
    if ((kind == "file" && !offered.isEmpty()) || kind == "locked") {
        QDialog *dialog = w.openDialog("dlgImporta");
        QVERIFY(dialog);
        keys({"<Enter>"});
        // Nothing imported, and the dialog is still there, its choices too.
        QVERIFY(dialog->isVisible());
        if (kind == "file") {
            QVERIFY(!dialog->findChild<QPushButton *>("cmdImporta")->isEnabled());
            QVERIFY(dialog->findChild<QLabel *>("lblNiente"));
        }
        keys({"<Esc>"});
        QTRY_VERIFY(!w.dialog("dlgImporta"));
    }
    QCOMPARE(w.services.boxes.size(), std::size_t(box.isEmpty() ? 0 : 1));
    QTRY_VERIFY(!w.form.findChild<QMenu *>("qt_edit_menu"));  // the menu closed goes a moment later
    if (!box.isEmpty())
        QVERIFY2(w.services.boxes[0].text.startsWith(box), qPrintable(w.services.boxes[0].text));
    QCOMPARE(textDifferences(windowTexts(w.form), before), QString());
    QCOMPARE(contents(path()), kOwnPumps);
}

// Exported on one PC, imported on another that has pumps of its own, one of
// them with the same code: it arrives with its figures, the conflict asked.
void TestPumps::pumpsTravelFromOnePcToAnother()
{
    const QString usb = dir_->filePath("chiavetta/pompe-rotamet.csv");
    QVERIFY(QDir().mkpath(QFileInfo(usb).absolutePath()));
    const QString first = dir_->filePath("banco 1/pompe.csv");
    QVERIFY(write(first, kHeader + "0445010800;37,35;46,95;110\nA2C1637670081;38,51;50,5;80\n"));
    {
        Window bench1(first);
        bench1.services.exportFile = usb;
        QTest::keyClick(bench1.contextMenu(true), Qt::Key_E);
        QTRY_COMPARE(bench1.services.boxes.size(), std::size_t(1));
    }
    QVERIFY(write(path(), kHeader + "0445010800;30;40;90\n0445010900;31;41;91\n"));
    Window bench2(path());
    bench2.services.importFile = usb;
    QTest::keyClick(bench2.contextMenu(true), Qt::Key_M);
    QDialog *dialog = bench2.openDialog("dlgImporta");
    QVERIFY(dialog);
    QCOMPARE(rows(dialog, "lstNuove"), QStringList{"A2C1637670081 | 38,51 – 50,5 mm, 80°"});
    QCOMPARE(rows(dialog, "lstConflitti"), QStringList{"0445010800 | 30 – 40 mm, 90° | 37,35 – 46,95 mm, 110°"});
    keys({"<Alt+A>", "<Space>", "<Enter>"});
    QTRY_VERIFY(!bench2.dialog("dlgImporta"));
    QCOMPARE(contents(path()),
             kHeader + "0445010800;37,35;46,95;110\n0445010900;31;41;91\nA2C1637670081;38,51;50,5;80\n");
    bench2.choose("0445010800");
    QCOMPARE(bench2.pumpLabels(), (QStringList{"37,35", "46,95", "4,80", "110°"}));
}

ROTAMET_TEST_MAIN(TestPumps)
#include "tst_pumps.moc"
