// F1 and the manual: F1 from each input of the window, from the pump dialog,
// the print preview and a message box opens the "Guida di Rotamet" at the
// matching section; every link and picture of the manual resolves; the
// worked example's figures are what the window shows for its inputs; the
// help's back, forward, search and Esc; "Informazioni su Rotamet" names the
// pump file's real path and opens its folder; the result labels are named
// by their captions for screen readers; nothing of the help or of the menu
// of "stampa" is built before it is needed.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>

#include "help/aboutbox.h"
#include "help/helpwindow.h"
#include "help/topics.h"
#include "support/controls.h"
#include "support/openmenu.h"
#include "support/printmenu.h"
#include "support/recordingservices.h"
#include "support/testmain.h"
#include "window/frmmain.h"
#include "window/qtservices.h"
#include "window/textbox.h"

using namespace rotamet;

namespace {

struct Window {
    RecordingServices services;
    FrmMain form{services};
    Controls controls{form};

    Window()
    {
        form.load();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("window not active");
    }
    ~Window()
    {
        // A modal help or box left open by a failed check closes with the test.
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w != &form && w->isVisible())
                w->close();
        }
    }
    void type(TextBox *field, const QString &text)
    {
        field->setFocus(Qt::TabFocusReason);
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
};

// The help window, once F1 has opened it.
help::HelpWindow *helpWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("frmGuida") && w->isVisible())
            return static_cast<help::HelpWindow *>(w);
    }
    return nullptr;
}

// F1 as the user presses it, on the widget that has the focus.
help::HelpWindow *pressF1()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus) {
        qWarning("no widget has the focus");
        return nullptr;
    }
    QTest::keyClick(focus, Qt::Key_F1);
    help::HelpWindow *help = nullptr;
    (void)QTest::qWaitFor([&] { return (help = helpWindow()) != nullptr; });
    return help;
}

QUrl shownSection(help::HelpWindow *help) { return help->findChild<QTextBrowser *>("txtGuida")->source(); }

QString manualFile(const QString &file)
{
    QFile f(QStringLiteral(":/manuale/") + file);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The anchors a page offers: its ids and names.
QStringList anchorsOf(const QString &html)
{
    static const QRegularExpression anchor(QStringLiteral("\\b(?:id|name)=\"([^\"]+)\""));
    QStringList found;
    for (const auto &m : anchor.globalMatch(html))
        found << m.captured(1);
    return found;
}

// Whether a manual address (file and anchor) leads somewhere.
bool resolves(const QUrl &url, QString *why)
{
    const QString html = manualFile(url.fileName());
    if (url.scheme() != QLatin1String("qrc") || html.isEmpty()) {
        *why = url.toString() + QStringLiteral(": no such page");
        return false;
    }
    if (url.hasFragment() && !anchorsOf(html).contains(url.fragment())) {
        *why = url.toString() + QStringLiteral(": no such section");
        return false;
    }
    return true;
}

}  // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void nothingOfTheHelpNorTheMenuOfStampaIsBuiltBeforeItIsNeeded();
    void f1OpensTheSectionOfTheControlWithTheFocus_data();
    void f1OpensTheSectionOfTheControlWithTheFocus();
    void f1InThePumpDialogOpensItsSectionOverIt();
    void f1InThePreviewOpensItsSection();
    void f1InAMessageBoxOpensItsMessage();
    void everyLinkAndPictureOfTheManualResolves();
    void everySectionThatF1OpensExists();
    void theWorkedExampleIsWhatTheWindowShows();
    void backForwardAndTheContents();
    void theSearchFindsTextOnAnotherPage();
    void escClosesTheHelp();
    void theInformationBoxNamesThePumpFilesRealPath();
    void theResultLabelsAreNamedByTheirCaptions_data();
    void theResultLabelsAreNamedByTheirCaptions();
};

void TestHelp::nothingOfTheHelpNorTheMenuOfStampaIsBuiltBeforeItIsNeeded()
{
    Window w;
    QCOMPARE(w.form.findChild<QWidget *>("frmGuida"), nullptr);
    QCOMPARE(w.form.findChild<QMenu *>("mnuStampa"), nullptr);
    QCOMPARE(w.form.findChild<QDialog *>(), nullptr);
    // Ctrl+P is there from the start all the same.
    QVERIFY(w.form.findChild<QAction *>("mnuStampaStampa"));
    QMenu *menu = openPrintMenu(w.form, *w.controls.cmdStampa, Way::ShiftF10AndMnemonic);
    QVERIFY(menu);
    QCOMPARE(w.form.findChild<QMenu *>("mnuStampa"), menu);
    QCOMPARE(menu->actions().size(), 5);
    QTest::keyClick(menu, Qt::Key_Escape);
}

void TestHelp::f1OpensTheSectionOfTheControlWithTheFocus_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("section");
    QTest::newRow("pump list") << "cboCodice"
                               << "finestra.html#codice";
    QTest::newRow("speed") << "txtGiriMinuto"
                           << "finestra.html#giri";
    QTest::newRow("lifts, the chosen option") << "optAlzataGiro_1"
                                              << "alzate.html";
    QTest::newRow("angle") << "txtAngolo"
                           << "finestra.html#angolo";
    QTest::newRow("milliseconds") << "txtMillisecondi"
                                  << "finestra.html#millisecondi";
    QTest::newRow("millimetres") << "txtMillimetri"
                                 << "finestra.html#millimetri";
    QTest::newRow("a step button") << "cmdMSUp"
                                   << "finestra.html#frecce";
    QTest::newRow("calcola") << "cmdCalcola"
                             << "finestra.html#calcola";
    QTest::newRow("stampa") << "cmdStampa"
                            << "stampa.html";
}

void TestHelp::f1OpensTheSectionOfTheControlWithTheFocus()
{
    QFETCH(QString, control);
    QFETCH(QString, section);
    Window w;
    auto *target = child<QWidget>(w.form, qPrintable(control));
    target->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(target->hasFocus() || (target->focusProxy() && target->focusProxy()->hasFocus())
                || target->isAncestorOf(QApplication::focusWidget()));
    help::HelpWindow *help = pressF1();
    QVERIFY(help);
    QCOMPARE(shownSection(help), help::manualUrl(section));
    // Beside the main window, which goes on taking input.
    QCOMPARE(help->windowModality(), Qt::NonModal);
    QVERIFY(!help->findChild<QTextBrowser *>("txtGuida")->toPlainText().isEmpty());
}

void TestHelp::f1InThePumpDialogOpensItsSectionOverIt()
{
    Window w;
    QComboBox *list = w.controls.cboCodice;
    list->setFocus(Qt::TabFocusReason);
    list->lineEdit()->selectAll();
    QTest::keyClicks(list->lineEdit(), QStringLiteral("1234567890"));
    w.services.answer = true;  // "Aggiungerlo?" Sì
    QTest::keyClick(list->lineEdit(), Qt::Key_Return);
    QDialog *dialog = nullptr;
    QTRY_VERIFY((dialog = w.form.findChild<QDialog *>("dlgPompa")) && dialog->isVisible());
    auto *minimum = child<QLineEdit>(*dialog, "txtMinimo");
    minimum->setFocus(Qt::TabFocusReason);
    QTest::keyClick(minimum, Qt::Key_F1);
    help::HelpWindow *help = nullptr;
    QTRY_VERIFY((help = helpWindow()));
    QCOMPARE(shownSection(help), help::manualUrl("pompe.html#valori"));
    // Over the modal dialog the help is modal too, so that it can be used.
    QCOMPARE(QApplication::activeModalWidget(), help);
    QTest::keyClick(help, Qt::Key_Escape);
    QTRY_VERIFY(!help->isVisible());
    QVERIFY(dialog->isVisible());
    QCOMPARE(child<QLineEdit>(*dialog, "txtCodice")->text(), QStringLiteral("1234567890"));
}

void TestHelp::f1InThePreviewOpensItsSection()
{
    Window w;
    QVERIFY(pickFromPrintMenu(w.form, *w.controls.cmdStampa, "mnuStampaAnteprima", Way::ShiftF10AndMnemonic));
    QWidget *preview = nullptr;
    QTRY_VERIFY((preview = w.form.findChild<QWidget *>("frmAnteprima")) && preview->isVisible());
    QTRY_VERIFY(preview->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == preview);
    help::HelpWindow *help = pressF1();
    QVERIFY(help);
    QCOMPARE(shownSection(help), help::manualUrl("stampa.html#anteprima"));
    QTest::keyClick(help, Qt::Key_Escape);
    QTRY_VERIFY(!help->isVisible());
    QVERIFY(preview->isVisible());
}

// A real message box of the program's services: F1 there opens the section
// of its message, by its title.
void TestHelp::f1InAMessageBoxOpensItsMessage()
{
    Window w;
    QtServices services;
    services.setMainWindow(&w.form);
    QUrl shown;
    bool modal = false;
    QTimer::singleShot(0, &w.form, [&] {
        QWidget *box = nullptr;
        // Active, and the focus inside it (under Wine the focus follows the
        // activation a moment later).
        if (!QTest::qWaitFor(
                [&] {
                    box = QApplication::activeModalWidget();
                    return box && box->isActiveWindow() && QApplication::focusWidget()
                        && (QApplication::focusWidget() == box || box->isAncestorOf(QApplication::focusWidget()));
                },
                kWindowSystemWait))
            return;
        if (help::HelpWindow *help = pressF1()) {
            shown = shownSection(help);
            modal = QApplication::activeModalWidget() == help;
            help->close();
        }
        box->close();
    });
    services.messageBox(QStringLiteral("Errore 13  Tipo non corrispondente"), QStringLiteral("Errore di calcolo"),
                        BoxIcon::Critical);
    QCOMPARE(shown, help::manualUrl("messaggi.html#errore-di-calcolo"));
    QVERIFY(modal);
}

void TestHelp::everyLinkAndPictureOfTheManualResolves()
{
    static const QRegularExpression link(QStringLiteral("\\b(href|src)=\"([^\"]*)\""));
    int pages = 0, links = 0, pictures = 0;
    QDirIterator files(QStringLiteral(":/manuale"), {QStringLiteral("*.html")});
    while (files.hasNext()) {
        const QString path = files.next();
        const QUrl page(QStringLiteral("qrc") + path);
        const QString html = manualFile(page.fileName());
        ++pages;
        for (const auto &m : link.globalMatch(html)) {
            const QUrl target = page.resolved(QUrl(m.captured(2)));
            if (m.captured(1) == QLatin1String("src") || target.fileName().endsWith(QLatin1String(".css"))) {
                QVERIFY2(QFile::exists(QLatin1Char(':') + target.path()), qPrintable(path + ": " + m.captured(2)));
                ++pictures;
                continue;
            }
            QString why;
            QVERIFY2(resolves(target, &why), qPrintable(path + ": " + why));
            ++links;
        }
    }
    QCOMPARE(pages, int(help::pages().size()));
    QVERIFY(links > 40);
    QVERIFY(pictures >= 4 + pages);
    // Every page is in the contents.
    for (const help::Page &p : help::pages())
        QVERIFY2(!manualFile(p.file).isEmpty(), p.file);
}

void TestHelp::everySectionThatF1OpensExists()
{
    QString why;
    for (const help::Topic &t : help::controlTopics())
        QVERIFY2(resolves(help::manualUrl(t.section), &why), qPrintable(QString::fromUtf8(t.name) + ": " + why));
    for (const help::Topic &t : help::boxTopics())
        QVERIFY2(resolves(help::manualUrl(t.section), &why), qPrintable(QString::fromUtf8(t.name) + ": " + why));
}

// The example's inputs are typed into the window as a user would, and each
// figure the example quotes is compared with the label it names.
void TestHelp::theWorkedExampleIsWhatTheWindowShows()
{
    const QString html = manualFile(QStringLiteral("risultati.html"));
    static const QRegularExpression input(QStringLiteral("data-ingresso=\"([^\"]+)\">([^<]*)<"));
    static const QRegularExpression figure(QStringLiteral("data-controllo=\"([^\"]+)\">([^<]*)<"));
    QMap<QString, QString> inputs;
    for (const auto &m : input.globalMatch(html))
        inputs[m.captured(1)] = m.captured(2);
    QCOMPARE(inputs.size(), 6);

    Window w;
    // Another pump, speed and lift first, so that every figure has to change.
    w.form.setListIndex(2);
    w.type(w.controls.txtGiriMinuto, QStringLiteral("1500"));
    QTest::mouseClick(w.controls.optAlzataGiro[0], Qt::LeftButton, {},
                      QPoint(8, w.controls.optAlzataGiro[0]->height() / 2));

    QComboBox *list = w.controls.cboCodice;
    list->setFocus(Qt::TabFocusReason);
    list->lineEdit()->selectAll();
    QTest::keyClicks(list->lineEdit(), inputs["cboCodice"]);
    QTest::keyClick(list->lineEdit(), Qt::Key_Return);
    QCOMPARE(list->currentText(), inputs["cboCodice"]);
    w.type(w.controls.txtGiriMinuto, inputs["txtGiriMinuto"]);
    QRadioButton *lifts = w.controls.optAlzataGiro.at(inputs["optAlzataGiro"].toInt() - 1);
    QTest::mouseClick(lifts, Qt::LeftButton, {}, QPoint(8, lifts->height() / 2));
    QVERIFY(lifts->isChecked());
    w.type(w.controls.txtAngolo, inputs["txtAngolo"]);
    w.type(w.controls.txtMillisecondi, inputs["txtMillisecondi"]);
    w.type(w.controls.txtMillimetri, inputs["txtMillimetri"]);

    int figures = 0;
    for (const auto &m : figure.globalMatch(html)) {
        const QString shown = child<QLabel>(w.form, qPrintable(m.captured(1)))->text();
        QVERIFY2(shown == m.captured(2),
                 qPrintable(m.captured(1) + ": the manual says " + m.captured(2) + ", the window " + shown));
        ++figures;
    }
    QCOMPARE(figures, 15);
}

void TestHelp::backForwardAndTheContents()
{
    Window w;
    w.controls.txtGiriMinuto->setFocus(Qt::TabFocusReason);
    help::HelpWindow *help = pressF1();
    QVERIFY(help);
    auto *browser = help->findChild<QTextBrowser *>("txtGuida");
    auto *back = help->findChild<QPushButton *>("cmdIndietro");
    auto *forward = help->findChild<QPushButton *>("cmdAvanti");
    auto *contents = help->findChild<QTreeWidget *>("lstSommario");
    QCOMPARE(contents->topLevelItemCount(), int(help::pages().size()));
    QCOMPARE(contents->currentItem()->data(0, Qt::UserRole).toUrl(), help::manualUrl("finestra.html#giri"));

    // A page of the contents, by the keyboard.
    QTreeWidgetItem *messages = contents->topLevelItem(int(help::pages().size()) - 1);
    contents->setFocus(Qt::TabFocusReason);
    contents->setCurrentItem(messages);
    QTest::keyClick(contents, Qt::Key_Return);
    QCOMPARE(browser->source(), help::manualUrl("messaggi.html"));
    QVERIFY(back->isEnabled());

    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(browser->source(), help::manualUrl("finestra.html#giri"));
    QVERIFY(forward->isEnabled());
    QTest::keyClick(browser, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(browser->source(), help::manualUrl("messaggi.html"));
    QTest::keyClick(browser, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(browser->source(), help::manualUrl("finestra.html#giri"));
}

void TestHelp::theSearchFindsTextOnAnotherPage()
{
    Window w;
    w.controls.txtGiriMinuto->setFocus(Qt::TabFocusReason);
    help::HelpWindow *help = pressF1();
    QVERIFY(help);
    auto *browser = help->findChild<QTextBrowser *>("txtGuida");
    auto *search = help->findChild<QLineEdit *>("txtCerca");
    QTRY_VERIFY_WITH_TIMEOUT(help->isActiveWindow(), kWindowSystemWait);
    QTest::keyClick(help, Qt::Key_F, Qt::ControlModifier);
#ifdef Q_OS_WIN
    QEXPECT_FAIL("", "under Wine, a Ctrl+F that Qt Test sends does not reach the help window's shortcut", Continue);
#endif
    QTRY_VERIFY(search->hasFocus());
    if (!search->hasFocus())
        QTest::mouseClick(search, Qt::LeftButton);
    QTest::keyClicks(search, QStringLiteral("pompe.csv.lock"));
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(browser->source(), help::manualUrl("pompe.html"));
    QCOMPARE(browser->textCursor().selectedText(), QStringLiteral("pompe.csv.lock"));
    QVERIFY(help->isVisible());  // Enter searched, and closed nothing

    search->selectAll();
    QTest::keyClicks(search, QStringLiteral("parola assente"));
    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY(help->findChild<QLabel *>("lblCerca")->isVisible());
    QVERIFY(help->findChild<QLabel *>("lblCerca")->text().contains(QStringLiteral("Nessuna pagina")));
}

void TestHelp::escClosesTheHelp()
{
    Window w;
    w.controls.txtAngolo->setFocus(Qt::TabFocusReason);
    help::HelpWindow *help = pressF1();
    QVERIFY(help);
    QTRY_VERIFY(help->isActiveWindow());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!help->isVisible());
    // F1 again opens the same window at the new place. (A window manager
    // gives the activation back to the main window; offscreen, the test.)
    w.form.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(w.form.isActiveWindow(), kWindowSystemWait);
    w.controls.txtMillimetri->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(w.controls.txtMillimetri->hasFocus());
    QCOMPARE(pressF1(), help);
    QCOMPARE(shownSection(help), help::manualUrl("finestra.html#millimetri"));
}

void TestHelp::theInformationBoxNamesThePumpFilesRealPath()
{
    QTemporaryDir folder;
    Window w;
    w.services.pumpFile = folder.filePath(QStringLiteral("Officina Città/pompe.csv"));
    w.controls.txtGiriMinuto->setFocus(Qt::TabFocusReason);
    help::HelpWindow *help = pressF1();
    QVERIFY(help);

    QString file, version, qt;
    QTimer::singleShot(0, help, [&] {
        QWidget *box = nullptr;
        if (!QTest::qWaitFor(
                [&] { return (box = QApplication::activeModalWidget()) && box->objectName() == "dlgInformazioni"; }))
            return;
        file = child<QLabel>(*box, "lblFilePompe")->text();
        version = child<QLabel>(*box, "lblVersione")->text();
        qt = child<QLabel>(*box, "lblQt")->text();
        QTest::mouseClick(child<QPushButton>(*box, "cmdApriCartella"), Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QTest::mouseClick(help->findChild<QPushButton *>("cmdInformazioni"), Qt::LeftButton);

    QVERIFY2(file.endsWith(QDir::toNativeSeparators(w.services.pumpFile)), qPrintable(file));
    QCOMPARE(w.services.openedFolders, std::vector<QString>{folder.filePath(QStringLiteral("Officina Città"))});
    QVERIFY2(version.contains(QStringLiteral("Tachocalc 1.00")), qPrintable(version));
    QVERIFY2(qt.contains(QString::fromLatin1(qVersion())), qPrintable(qt));
    QVERIFY(help->isVisible());
}

void TestHelp::theResultLabelsAreNamedByTheirCaptions_data()
{
    QTest::addColumn<int>("label");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("hertz") << 0 << 1 << "Giri al secondo"
                           << "16,67";
    QTest::newRow("shaft, minimum") << 3 << 1 << "Dimensioni albero mm, minima"
                                    << "37,35";
    QTest::newRow("lift, 2 lifts") << 7 << 1 << "Salita e discesa [180°]"
                                   << "ms 30,00";
    QTest::newRow("lift, 3 lifts") << 7 << 2 << "Salita e discesa [120°]"
                                   << "ms 20,00";
    QTest::newRow("angle's stroke") << 9 << 1 << "Angolo di comando, millimetri"
                                    << "mm 0,305";
}

void TestHelp::theResultLabelsAreNamedByTheirCaptions()
{
    QFETCH(int, label);
    QFETCH(int, option);
    QFETCH(QString, name);
    QFETCH(QString, value);
    Window w;
    QTest::mouseClick(w.controls.optAlzataGiro[option], Qt::LeftButton, {},
                      QPoint(8, w.controls.optAlzataGiro[option]->height() / 2));
    QLabel *shown = w.controls.lblValori[label];
    QCOMPARE(shown->text(), value);
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(shown);
    QVERIFY(a);
    QCOMPARE(a->text(QAccessible::Name), name);
    QCOMPARE(a->text(QAccessible::Value), value);
    QVERIFY(a->textInterface());
    QCOMPARE(a->textInterface()->text(0, a->textInterface()->characterCount()), value);
    // As a screen reader meets it: among the window's children.
    QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(w.form.findChild<QWidget *>("fraMain"));
    QVERIFY(frame->indexOfChild(a) >= 0);
}

ROTAMET_TEST_MAIN(TestHelp)
#include "tst_help.moc"
