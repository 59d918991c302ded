// The print choices of "stampa", from the real window: its context menu
// (right click, Shift+F10) and Ctrl+P reach the right target, the dialogs
// answered as a user answers them (RecordingServices); a PDF saved where the
// user chose reads back as the page that a print without a printer writes;
// a file is replaced only by a whole page, and only when the user agreed; a
// cancelled dialog prints nothing, says nothing and changes nothing.
// The menu key, which Qt's offscreen platform never turns into a context
// menu, is pressed on real window systems (tests/desktop/).
#include <QAccessible>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <memory>
#include <optional>

#ifdef Q_OS_UNIX
#include "support/filesizelimit.h"
#endif
#include "support/testmain.h"
#include "print/page.h"
#include "print/pagecomposer.h"
#include "print/targets/pdffoldertarget.h"
#include "print/targets/printtarget.h"
#include "support/controls.h"
#include "support/folderfiles.h"
#include "support/pagetext.h"
#include "support/printmenu.h"
#include "support/recordingservices.h"
#include "support/windowtexts.h"
#include "window/frmmain.h"

#ifdef Q_OS_UNIX
#endif

using namespace rotamet;
using print::PrintTarget;

namespace {

// Takes the page in place of a print queue the test does not have: named as
// the queue chosen, it counts the pages, or fails as a queue would.
class StandIn : public PrintTarget {
public:
    explicit StandIn(std::shared_ptr<PrintTarget> chosen) : chosen_(std::move(chosen)) {}
    std::string deviceName() const override { return chosen_->deviceName(); }
    std::string secondText() const override { return chosen_->secondText(); }
    int copies() const override { return chosen_->copies(); }
    std::optional<Handed> deliver(const print::Page &) override
    {
        if (!failure.empty())
            throw RunTimeError(errcode::PrinterError, failure);
        ++pages;
        return Handed{deviceName(), {}};
    }
    std::string failure;
    std::atomic<int> pages = 0;

private:
    std::shared_ptr<PrintTarget> chosen_;
};

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

struct Window {
    RecordingServices services;
    FrmMain form{services};
    QPushButton *stampa = child<QPushButton>(form, "cmdStampa");
    std::shared_ptr<StandIn> standIn;

    Window()
    {
        // A printer chosen in the print dialog: the stand-in takes its page.
        services.retarget = [this](std::shared_ptr<PrintTarget> chosen) -> std::shared_ptr<PrintTarget> {
            if (chosen->secondText() == "(file PDF)")
                return chosen;  // a real PDF file
            standIn = std::make_shared<StandIn>(chosen);
            return standIn;
        };
        form.load();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("window not active");
    }
    void type(const char *name, const char *text)
    {
        auto *edit = child<QLineEdit>(form, name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // Opens the menu of "stampa" as the user does.
    QMenu *openMenu(Way way) { return openPrintMenu(form, *stampa, way); }
    // Picks an entry of the menu: a click on it, or its underlined letter.
    void pick(const char *entry, Way way)
    {
        services.boxes.clear();
        QVERIFY2(pickFromPrintMenu(form, *stampa, entry, way), entry);
    }
};

}  // namespace

class TestPrintChoices : public QObject {
    Q_OBJECT
private slots:
    void eachChoiceReachesItsTarget_data();
    void eachChoiceReachesItsTarget();
    void theMenuShowsCtrlPAndNamesItsEntries();
    void theSaveDialogOpensOnTheFallbacksFile_data();
    void theSaveDialogOpensOnTheFallbacksFile();
    void aPdfSavedWhereTheUserChoseReadsBackAsTheFallbacksPage();
    void aFileTheUserAgreedToReplace_data();
    void aFileTheUserAgreedToReplace();
    void aFileMadeWhileThePageIsWrittenIsNotReplaced();
    void aChosenPrinterThatFailsIsNamedAndGivesTheInputsBack();
    void aPrintDialogWithNoPrinterPrintsNothingAndSaysSo();
    void aPrintSupportThatDoesNotLoadIsToldAndPrintsNothing();
    void aCancelledDialogLeavesNothingAndChangesNothing_data();
    void aCancelledDialogLeavesNothingAndChangesNothing();
};

void TestPrintChoices::eachChoiceReachesItsTarget_data()
{
    QTest::addColumn<QString>("entry");  // empty: Ctrl+P in the speed field
    QTest::addColumn<Way>("way");
    QTest::addColumn<QString>("target");  // "system", "printer", "pdf"
    QTest::newRow("right click, Stampa") << "mnuStampaStampa" << Way::RightClickAndMouse << "system";
    QTest::newRow("Shift+F10, S") << "mnuStampaStampa" << Way::ShiftF10AndMnemonic << "system";
    QTest::newRow("Ctrl+P") << QString() << Way::ShiftF10AndMnemonic << "system";
    QTest::newRow("right click, Stampa su…") << "mnuStampaSu" << Way::RightClickAndMouse << "printer";
    QTest::newRow("Shift+F10, U") << "mnuStampaSu" << Way::ShiftF10AndMnemonic << "printer";
    QTest::newRow("right click, Salva come PDF…") << "mnuStampaPdf" << Way::RightClickAndMouse << "pdf";
    QTest::newRow("Shift+F10, P") << "mnuStampaPdf" << Way::ShiftF10AndMnemonic << "pdf";
}

void TestPrintChoices::eachChoiceReachesItsTarget()
{
    QFETCH(QString, entry);
    QFETCH(Way, way);
    QFETCH(QString, target);
    QTemporaryDir folder;
    const QString pdf = folder.filePath("scala pompa.pdf");
    Window w;
    w.services.printerChoice = PlatformServices::PrinterChoice{"Seconda", 3};
    w.services.pdfFile = pdf;

    if (entry.isEmpty()) {
        child<QLineEdit>(w.form, "txtGiriMinuto")->setFocus();
        QTest::keyClick(w.form.windowHandle(), Qt::Key_P, Qt::ControlModifier);
    } else {
        w.pick(qPrintable(entry), way);
    }

    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    const auto ends = [&](const std::string &name) {
        return std::count_if(w.services.recordingPrinter.ops.begin(), w.services.recordingPrinter.ops.end(),
                             [&](const auto &op) { return op.name == name; });
    };
    QCOMPARE(w.services.printDialogs, target == "printer" ? 1 : 0);
    QCOMPARE(w.services.saveDialogs.size(), std::size_t(target == "pdf" ? 1 : 0));
    if (target == "system") {
        QCOMPARE(ends("EndDoc"), 1);
        QCOMPARE(w.services.targets.size(), std::size_t(0));
        QVERIFY2(w.services.boxes[0].text.startsWith("Stampa effettuata su '"), qPrintable(w.services.boxes[0].text));
        return;
    }
    QCOMPARE(ends("EndDoc"), 0);  // not the system's printer
    QCOMPARE(w.services.targets.size(), std::size_t(1));
    const PrintTarget &chosen = *w.services.targets[0];
    if (target == "printer") {
        QCOMPARE(chosen.deviceName(), std::string("Seconda"));
        QCOMPARE(chosen.copies(), 3);
        QCOMPARE(w.standIn->pages.load(), 1);
        QCOMPARE(w.services.boxes[0].text, QString("Stampa effettuata su 'Seconda'"));
    } else {
        QCOMPARE(QString::fromStdString(chosen.deviceName()), QDir::toNativeSeparators(pdf));
        QVERIFY(contents(pdf).startsWith("%PDF"));
        QCOMPARE(w.services.boxes[0].text, "Stampa effettuata su '" + QDir::toNativeSeparators(pdf) + "'");
    }
}

// The menu as a screen reader finds it: its name, its entries, and Ctrl+P
// beside "Stampa".
void TestPrintChoices::theMenuShowsCtrlPAndNamesItsEntries()
{
    Window w;
    QMenu *menu = w.openMenu(Way::RightClickAndMouse);
    QVERIFY(menu);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(menu);
    QCOMPARE(iface->text(QAccessible::Name), QString("Scelte di stampa"));
    QStringList entries;
    for (int i = 0; i < iface->childCount(); ++i)
        entries << iface->child(i)->text(QAccessible::Name);
    QCOMPARE(entries,
             (QStringList{"Stampa", "Stampa su…", "Salva come PDF…", "Anteprima di stampa…", "Copia tabelle"}));
    QCOMPARE(iface->child(0)->text(QAccessible::Accelerator), QKeySequence(Qt::CTRL | Qt::Key_P).toString());
    QVERIFY(menu->actions().constFirst()->isShortcutVisibleInContextMenu());
    menu->close();
}

// The save dialog opens on the file that a print without a printer would
// write: the next free name in the documents folder; in the home folder
// while there is no documents folder, which the dialog could not open.
void TestPrintChoices::theSaveDialogOpensOnTheFallbacksFile_data()
{
    QTest::addColumn<bool>("documentsFolder");
    QTest::newRow("a documents folder with today's first page") << true;
    QTest::newRow("no documents folder") << false;
}

void TestPrintChoices::theSaveDialogOpensOnTheFallbacksFile()
{
    QFETCH(bool, documentsFolder);
    QString expected;
#ifdef Q_OS_UNIX
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    // The documents folder of a home of the test's own.
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME"), savedConfig = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", savedHome);
        savedConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", savedConfig);
    });
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(print::PdfFolderTarget::documentsFolder(), home.filePath("Documents"));
    if (documentsFolder) {
        QVERIFY(QDir(home.path()).mkdir("Documents"));
        write(home.filePath("Documents/Rotamet " + today + " 001.pdf"), "la stampa di stamattina");
        expected = home.filePath("Documents/Rotamet " + today + " 002.pdf");
    } else {
        expected = home.filePath("Rotamet " + today + " 001.pdf");
    }
#else
    if (!documentsFolder)
        QSKIP("the documents folder of Windows is there");
    expected = print::PdfFolderTarget(print::PdfFolderTarget::documentsFolder()).nextFile().value();
#endif
    Window w;
    w.pick("mnuStampaPdf", Way::ShiftF10AndMnemonic);
    QCOMPARE(w.services.saveDialogs, std::vector<QString>{expected});
}

// The page saved under the user's name is the page a print without a
// printer writes into the documents folder. A key typed meanwhile is not
// taken.
void TestPrintChoices::aPdfSavedWhereTheUserChoseReadsBackAsTheFallbacksPage()
{
    QTemporaryDir chosen, fallback;
    Window w;
    w.type("txtGiriMinuto", "1234");
    w.type("txtAngolo", "12,5");
    QLineEdit *speed = child<QLineEdit>(w.form, "txtGiriMinuto");
    w.services.onProcessEvents
        = [&] { QCoreApplication::postEvent(speed, new QKeyEvent(QEvent::KeyPress, Qt::Key_9, Qt::NoModifier, "9")); };
    const QString pdf = chosen.filePath("Pompa 0445010760 per il cliente.pdf");
    w.services.pdfFile = pdf;
    w.pick("mnuStampaPdf", Way::RightClickAndMouse);
    QCOMPARE(files(chosen.path()), QStringList{QFileInfo(pdf).fileName()});
    QCOMPARE(speed->text(), QString("1234"));

    w.services.onProcessEvents = nullptr;
    print::PageComposer folderPrinter(fallback.path());
    w.services.printerInUse = &folderPrinter;
    w.services.boxes.clear();
    QTest::mouseClick(w.stampa, Qt::LeftButton);
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    const QStringList written = files(fallback.path());
    QCOMPARE(written.size(), 1);

    const QStringList page = pagetext::texts(pagetext::readLines(pdf));
    QCOMPARE(page, pagetext::texts(pagetext::readLines(fallback.filePath(written[0]))));
    QCOMPARE(pagetext::rows(pagetext::readLines(pdf)).size(), 31);
    QVERIFY2(page.indexOf(QRegularExpression("1200 12,5° mm .*")) > 0, qPrintable(page.join('\n')));
    const auto pageSize = [](const QString &file) {
        return pagetext::run("pdfinfo", {file}).section("Page size:", 1).section('\n', 0, 0).trimmed();
    };
    QCOMPARE(pageSize(pdf), pageSize(fallback.filePath(written[0])));
}

// The user chose a file that exists and agreed to replace it. The old file
// goes only when the new page is whole: a disk that fills up half-way
// leaves it as it was, and nothing beside it.
void TestPrintChoices::aFileTheUserAgreedToReplace_data()
{
    QTest::addColumn<bool>("diskFills");
    QTest::newRow("the page is written") << false;
    QTest::newRow("the disk fills up") << true;
}

void TestPrintChoices::aFileTheUserAgreedToReplace()
{
    QFETCH(bool, diskFills);
#ifndef Q_OS_UNIX
    if (diskFills)
        QSKIP("a file size limit is a Unix facility");
#endif
    QTemporaryDir folder;
    const QString pdf = folder.filePath("scala.pdf");
    write(pdf, "la scala di ieri");
    Window w;
    w.type("txtGiriMinuto", "1234");
    const QStringList before = windowTexts(w.form);
    w.services.pdfFile = pdf;
    {
#ifdef Q_OS_UNIX
        std::optional<FileSizeLimit> full;
        if (diskFills)
            full.emplace(2048);
#endif
        w.pick("mnuStampaPdf", Way::ShiftF10AndMnemonic);
    }
    QCOMPARE(files(folder.path()), QStringList{"scala.pdf"});
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    if (diskFills) {
        QCOMPARE(contents(pdf), QByteArray("la scala di ieri"));
        QCOMPARE(w.services.boxes[0].title, QString("Errore di stampa"));
        QVERIFY2(w.services.boxes[0].text.startsWith("Errore   75  "), qPrintable(w.services.boxes[0].text));
    } else {
        QVERIFY(contents(pdf).startsWith("%PDF"));
        QCOMPARE(w.services.boxes[0].text, "Stampa effettuata su '" + QDir::toNativeSeparators(pdf) + "'");
    }
    const QString changed = textDifferences(windowTexts(w.form), before);
    QVERIFY2(changed.isEmpty(), qPrintable(changed));
}

// The user chose a name that was free; another program takes it while the
// page is written. Its file stays, the user is told, and nothing is left.
void TestPrintChoices::aFileMadeWhileThePageIsWrittenIsNotReplaced()
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath("scala.pdf");
    Window w;
    w.services.pdfFile = pdf;
    w.services.onProcessEvents = [&] {
        if (!QFile::exists(pdf))
            write(pdf, "un altro file");
    };
    w.pick("mnuStampaPdf", Way::RightClickAndMouse);
    QCOMPARE(contents(pdf), QByteArray("un altro file"));
    QCOMPARE(files(folder.path()), QStringList{"scala.pdf"});
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].title, QString("Errore di stampa"));
    QCOMPARE(w.services.boxes[0].text, "Errore   58  Il file esiste già: '" + QDir::toNativeSeparators(pdf) + "'");
    QCOMPARE(child<QLineEdit>(w.form, "txtGiriMinuto")->text(), QString("1000"));
}

// The printer chosen in the dialog refuses the page: one message names it,
// and the speed and angle come back.
void TestPrintChoices::aChosenPrinterThatFailsIsNamedAndGivesTheInputsBack()
{
    Window w;
    w.type("txtGiriMinuto", "1234");
    w.type("txtAngolo", "12,5");
    const QStringList before = windowTexts(w.form);
    w.services.printerChoice = PlatformServices::PrinterChoice{"Seconda", 1};
    const auto retarget = w.services.retarget;
    w.services.retarget = [&](std::shared_ptr<PrintTarget> chosen) {
        auto target = std::static_pointer_cast<StandIn>(retarget(chosen));
        target->failure = "La coda non accetta lavori: la pagina è stata rifiutata.";
        return target;
    };
    w.pick("mnuStampaSu", Way::RightClickAndMouse);
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].icon, BoxIcon::Warning);
    QCOMPARE(w.services.boxes[0].text,
             QString("La pagina non è stata stampata su 'Seconda'.\n"
                     "La coda non accetta lavori: la pagina è stata rifiutata."));
    const QString changed = textDifferences(windowTexts(w.form), before);
    QVERIFY2(changed.isEmpty(), qPrintable(changed));
}

// A system with no printer: its print dialog still has a Print button, and
// answers with no printer's name. One message, nothing printed.
void TestPrintChoices::aPrintDialogWithNoPrinterPrintsNothingAndSaysSo()
{
    Window w;
    w.services.printerChoice = PlatformServices::PrinterChoice{QString(), 1};
    w.pick("mnuStampaSu", Way::RightClickAndMouse);
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].icon, BoxIcon::Warning);
    QCOMPARE(w.services.boxes[0].text, QString("Non c'è alcuna stampante: la pagina non è stata stampata."));
    QCOMPARE(w.services.targets.size(), std::size_t(0));
    QCOMPARE(w.services.recordingPrinter.ops.size(), std::size_t(0));
}

// Qt's print support is loaded when "Stampa su…" first needs it: a module
// that is missing or broken is told in one box, and nothing is printed.
void TestPrintChoices::aPrintSupportThatDoesNotLoadIsToldAndPrintsNothing()
{
    Window w;
    const QStringList before = windowTexts(w.form);
    w.services.printDialogError
        = RunTimeError(errcode::PrinterError,
                       "Errore della stampante: il supporto di stampa '/x.so' non si carica (il file non c'è).");
    w.pick("mnuStampaSu", Way::RightClickAndMouse);
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].icon, BoxIcon::Critical);
    QCOMPARE(w.services.boxes[0].title, QString("Errore di stampa"));
    QCOMPARE(w.services.boxes[0].text,
             QString("Errore   482  Errore della stampante: il supporto di stampa '/x.so' non si carica (il file non "
                     "c'è)."));
    QCOMPARE(w.services.targets.size(), std::size_t(0));
    QCOMPARE(w.services.recordingPrinter.ops.size(), std::size_t(0));
    QCOMPARE(textDifferences(windowTexts(w.form), before), QString());
}

void TestPrintChoices::aCancelledDialogLeavesNothingAndChangesNothing_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("Stampa su…") << "mnuStampaSu";
    QTest::newRow("Salva come PDF…") << "mnuStampaPdf";
}

void TestPrintChoices::aCancelledDialogLeavesNothingAndChangesNothing()
{
    QFETCH(QString, entry);
    const QString documents = print::PdfFolderTarget::documentsFolder();
    const QStringList documentsBefore = files(documents);
    Window w;
    w.type("txtGiriMinuto", "1234");
    w.type("txtAngolo", "12,5");
    const QStringList before = windowTexts(w.form);

    w.pick(qPrintable(entry), Way::RightClickAndMouse);

    QCOMPARE(w.services.printDialogs + int(w.services.saveDialogs.size()), 1);
    QCOMPARE(w.services.boxes.size(), std::size_t(0));
    QCOMPARE(w.services.targets.size(), std::size_t(0));
    QCOMPARE(w.services.recordingPrinter.ops.size(), std::size_t(0));
    QCOMPARE(files(documents), documentsBefore);
    const QString changed = textDifferences(windowTexts(w.form), before);
    QVERIFY2(changed.isEmpty(), qPrintable(changed));
}

ROTAMET_TEST_MAIN(TestPrintChoices)
#include "tst_printchoices.moc"
