// "Anteprima di stampa…" and "Copia tabelle", from the real window through
// the real menu of "stampa": the preview shows the page a print composes for
// the same inputs, its buttons reach the targets of the menu's entries, Esc
// closes it and the inputs are as they were; the copied tables, read back,
// hold the figures the page prints, as numbers a spreadsheet set to Italian
// reads, made from the cells the print says beside its texts, and the pump
// code is marked as text for the spreadsheets.
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPicture>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <mutex>
#include <set>
#include <tuple>

#include "print/page.h"
#include "print/pagecomposer.h"
#include "print/tablecopy.h"
#include "print/targets/printtarget.h"
#include "support/controls.h"
#include "support/printmenu.h"
#include "support/recordingservices.h"
#include "support/testmain.h"
#include "support/windowtexts.h"
#include "window/frmmain.h"
#include "window/printpreview.h"
#include "window/qtservices.h"
#include "window/tablescopy.h"
#include "window/textbox.h"

using namespace rotamet;
using print::Page;
using print::PrintTarget;
using print::TableCell;
using Kind = print::TableCell::Kind;

namespace {

// A page as its drawing operations: two pages compare equal when they draw
// the same texts and lines, in the same fonts, colours and places.
QByteArray drawn(const Page &page)
{
    QPicture picture;
    QPainter painter(&picture);
    page.draw(painter, Page::kDotsPerInch);
    painter.end();
    return QByteArray(picture.data(), picture.size());
}

// A target that keeps every page it is given, named as the target it stands
// for; it hands the page on to a PDF file, and takes it as a printer would.
class Keeper : public PrintTarget {
public:
    explicit Keeper(std::shared_ptr<PrintTarget> standsFor = {}) : for_(std::move(standsFor)) {}
    std::string deviceName() const override { return for_ ? for_->deviceName() : "Stampante"; }
    std::string secondText() const override { return for_ ? for_->secondText() : "USB001"; }
    int copies() const override { return for_ ? for_->copies() : 0; }
    std::optional<Handed> deliver(const Page &page) override
    {
        {
            const std::lock_guard lock(mutex);
            pages.push_back(drawn(page));
        }
        return secondText() == "(file PDF)" ? for_->deliver(page) : Handed{deviceName(), {}};
    }
    std::mutex mutex;
    std::vector<QByteArray> pages;

private:
    std::shared_ptr<PrintTarget> for_;
};

struct Window {
    RecordingServices services;
    FrmMain form{services};
    Controls controls{form};
    // The system's printer, a chosen printer and a chosen PDF file: each
    // keeps the pages it gets.
    std::shared_ptr<Keeper> system = std::make_shared<Keeper>();
    print::PageComposer systemPrinter{system};
    std::shared_ptr<Keeper> chosen;

    Window()
    {
        services.printerInUse = &systemPrinter;
        services.retarget = [this](std::shared_ptr<PrintTarget> target) -> std::shared_ptr<PrintTarget> {
            chosen = std::make_shared<Keeper>(target);
            return chosen;
        };
        form.load();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("window not active");
    }
    void type(TextBox *field, const QString &text)
    {
        auto *edit = field;
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    bool pick(const char *entry, Way way = Way::RightClickAndMouse)
    {
        return pickFromPrintMenu(form, *controls.cmdStampa, entry, way);
    }
    // The preview, once the menu has opened it.
    PrintPreview *openPreview(Way way = Way::RightClickAndMouse)
    {
        if (!pick("mnuStampaAnteprima", way))
            return nullptr;
        PrintPreview *preview = nullptr;
        return QTest::qWaitFor([&] { return (preview = form.findChild<PrintPreview *>()) && preview->isVisible(); })
            ? preview
            : nullptr;
    }
    QString speed() const { return controls.txtGiriMinuto->text(); }
    QString angle() const { return controls.txtAngolo->text(); }
};

// The copied text as rows of cells.
QList<QStringList> cells(const QString &text)
{
    QList<QStringList> rows;
    for (const QString &line : text.split('\n'))
        rows << line.split('\t');
    if (!rows.isEmpty() && rows.last() == QStringList{QString()})
        rows.removeLast();
    return rows;
}

// The HTML table as rows of cells.
QList<QStringList> cellsOfHtml(const QString &html)
{
    static const QRegularExpression row("<tr>(.*?)</tr>"), cell("<t[dh][^>]*>(.*?)</t[dh]>");
    QList<QStringList> rows;
    for (const auto &r : row.globalMatch(html)) {
        QStringList found;
        for (const auto &c : cell.globalMatch(r.captured(1)))
            found << c.captured(1).replace("&amp;", "&").replace("&lt;", "<").replace("&gt;", ">");
        rows << found;
    }
    return rows;
}

}  // namespace

Q_DECLARE_METATYPE(rotamet::print::TableCell)
Q_DECLARE_METATYPE(std::vector<rotamet::print::TableCell>)

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void thePreviewShowsThePageAPrintComposes_data();
    void thePreviewShowsThePageAPrintComposes();
    void eachButtonOfThePreviewReachesItsTarget_data();
    void eachButtonOfThePreviewReachesItsTarget();
    void escClosesThePreviewAndTheInputsAreAsTheyWere();
    void thePreviewIsAWindowOfTheProgram();
    void thePreviewFitsAndZooms();
    void badInputsOpenNoPreviewAndCopyNothing();
    void theCopiedTablesHoldThePagesFigures_data();
    void theCopiedTablesHoldThePagesFigures();
    void theClipboardTakesTextAndHtml();
    void eachTableTextOfThePageIsSaidAsItsCell();
    void theTablesComeFromTheCellsInTheirPlaces_data();
    void theTablesComeFromTheCellsInTheirPlaces();
    void eachKindOfCellHasItsHtml_data();
    void eachKindOfCellHasItsHtml();
};

void TestPreview::thePreviewShowsThePageAPrintComposes_data()
{
    QTest::addColumn<int>("pump");
    QTest::addColumn<int>("lifts");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("angle");
    QTest::addColumn<Way>("way");
    QTest::newRow("as it opens, right click") << 0 << 1 << "1000"
                                              << "7" << Way::RightClickAndMouse;
    QTest::newRow("third pump, 3 lifts, Shift+F10 and A") << 2 << 2 << "1234"
                                                          << "12,5" << Way::ShiftF10AndMnemonic;
}

// The preview's page is the page "Salva come PDF…" hands to the file for
// the same inputs, and composing it gives the inputs back as a print does.
void TestPreview::thePreviewShowsThePageAPrintComposes()
{
    QFETCH(int, pump);
    QFETCH(int, lifts);
    QFETCH(QString, speed);
    QFETCH(QString, angle);
    QFETCH(Way, way);
    QTemporaryDir folder;
    Window w;
    w.form.setListIndex(pump);
    QTest::mouseClick(w.controls.optAlzataGiro[lifts], Qt::LeftButton);
    w.type(w.controls.txtGiriMinuto, speed);
    w.type(w.controls.txtAngolo, angle);
    const QStringList before = windowTexts(w.form);

    PrintPreview *preview = w.openPreview(way);
    QVERIFY(preview);
    QVERIFY(w.services.boxes.empty());
    QVERIFY(w.services.targets.empty());
    QVERIFY(w.system->pages.empty());
    const QByteArray shown = drawn(preview->page());
    preview->close();
    QTRY_VERIFY(!w.form.findChild<PrintPreview *>());
    const QString changed = textDifferences(windowTexts(w.form), before);
    QVERIFY2(changed.isEmpty(), qPrintable(changed));

    w.services.pdfFile = folder.filePath("scala.pdf");
    QVERIFY(w.pick("mnuStampaPdf"));
    QCOMPARE(w.chosen->pages.size(), std::size_t(1));
    QVERIFY(w.chosen->pages[0] == shown);
    QVERIFY(QFile::exists(folder.filePath("scala.pdf")));
}

void TestPreview::eachButtonOfThePreviewReachesItsTarget_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("target");  // "system", "printer", "pdf"
    QTest::newRow("Stampa") << "cmdAnteprimaStampa"
                            << "system";
    QTest::newRow("Stampa su…") << "cmdAnteprimaStampaSu"
                                << "printer";
    QTest::newRow("Salva come PDF…") << "cmdAnteprimaPdf"
                                     << "pdf";
}

// Each button does what its entry of the menu does, with the page shown;
// the preview stays open on it, and the inputs are as they were.
void TestPreview::eachButtonOfThePreviewReachesItsTarget()
{
    QFETCH(QString, button);
    QFETCH(QString, target);
    QTemporaryDir folder;
    const QString pdf = folder.filePath("scala per il cliente.pdf");
    Window w;
    w.type(w.controls.txtGiriMinuto, "1234");
    w.services.printerChoice = PlatformServices::PrinterChoice{"Seconda", 2};
    w.services.pdfFile = pdf;
    PrintPreview *preview = w.openPreview();
    QVERIFY(preview);
    const QByteArray shown = drawn(preview->page());

    QTest::mouseClick(preview->findChild<QPushButton *>(button), Qt::LeftButton);

    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.printDialogs, target == "printer" ? 1 : 0);
    QCOMPARE(w.services.saveDialogs.size(), std::size_t(target == "pdf" ? 1 : 0));
    const std::vector<QByteArray> &pages = target == "system" ? w.system->pages : w.chosen->pages;
    QCOMPARE(pages.size(), std::size_t(1));
    QVERIFY(pages[0] == shown);
    const QString where = target == "system" ? QString("Stampante")
        : target == "printer"                ? QString("Seconda")
                                             : QDir::toNativeSeparators(pdf);
    QCOMPARE(w.services.boxes[0].text, "Stampa effettuata su '" + where + "'");
    if (target == "printer")
        QCOMPARE(w.services.targets[0]->copies(), 2);
    if (target == "pdf")
        QVERIFY(QFile::exists(pdf));
    QVERIFY(preview->isVisible() && preview->isEnabled());
    QCOMPARE(w.speed(), QString("1234"));
}

// Esc closes the preview. While it is open the main window takes no key,
// and once it is closed the window is active again and the inputs are as
// they were before.
void TestPreview::escClosesThePreviewAndTheInputsAreAsTheyWere()
{
    Window w;
    w.type(w.controls.txtGiriMinuto, "850");
    w.type(w.controls.txtAngolo, "9,5");
    const QStringList before = windowTexts(w.form);
    PrintPreview *preview = w.openPreview(Way::ShiftF10AndMnemonic);
    QVERIFY(preview);
    QTRY_VERIFY(preview->isActiveWindow());
    QCOMPARE(w.speed(), QString("850"));
    QCOMPARE(w.angle(), QString("9,5°"));

    QTest::keyClick(w.form.windowHandle(), Qt::Key_1);  // the main window is blocked
    QTest::keyClick(preview->windowHandle(), Qt::Key_Escape);

    QTRY_VERIFY(!w.form.findChild<PrintPreview *>());
    if (QGuiApplication::platformName() != "offscreen")  // which has no activation
        QTRY_VERIFY(w.form.isActiveWindow());
    QVERIFY(w.services.boxes.empty());
    const QString changed = textDifferences(windowTexts(w.form), before);
    QVERIFY2(changed.isEmpty(), qPrintable(changed));
}

// Italian texts, a name for every control, modal over the main window and
// centred on it; "Chiudi" closes it, and the next one starts afresh.
void TestPreview::thePreviewIsAWindowOfTheProgram()
{
    Window w;
    PrintPreview *preview = w.openPreview();
    QVERIFY(preview);
    QCOMPARE(preview->windowTitle(), QString("Anteprima di stampa"));
    QCOMPARE(preview->windowModality(), Qt::WindowModal);
    QCOMPARE(preview->parentWidget(), &w.form);
    const auto centred
        = [&] { return (preview->frameGeometry().center() - w.form.frameGeometry().center()).manhattanLength() <= 2; };
    QTRY_VERIFY2(centred(),
                 qPrintable(QString("preview %1,%2 %3x%4, window %5,%6 %7x%8")
                                .arg(preview->frameGeometry().x())
                                .arg(preview->frameGeometry().y())
                                .arg(preview->frameGeometry().width())
                                .arg(preview->frameGeometry().height())
                                .arg(w.form.frameGeometry().x())
                                .arg(w.form.frameGeometry().y())
                                .arg(w.form.frameGeometry().width())
                                .arg(w.form.frameGeometry().height())));
    QStringList names;
    for (auto *b : preview->findChildren<QPushButton *>())
        names << QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name);
    QCOMPARE(names,
             (QStringList{"Adatta pagina", "Adatta larghezza", "Riduci", "Ingrandisci", "Stampa", "Stampa su…",
                          "Salva come PDF…", "Chiudi"}));
    QCOMPARE(
        QAccessible::queryAccessibleInterface(preview->findChild<QAbstractScrollArea *>())->text(QAccessible::Name),
        QString("Pagina"));

    preview->zoomIn();
    QTest::mouseClick(preview->findChild<QPushButton *>("cmdAnteprimaChiudi"), Qt::LeftButton);
    QTRY_VERIFY(!w.form.findChild<PrintPreview *>());
    preview = w.openPreview();
    QVERIFY(preview);
    QCOMPARE(preview->fit(), PrintPreview::Fit::Page);
}

// The page fits the view, or its width does; keys, buttons and Ctrl with
// the wheel zoom in and out by a quarter.
void TestPreview::thePreviewFitsAndZooms()
{
    Window w;
    PrintPreview *preview = w.openPreview();
    QVERIFY(preview);
    auto *view = preview->findChild<QAbstractScrollArea *>();
    QWidget *sheet = preview->findChild<QWidget *>("sheetAnteprima");
    QCOMPARE(preview->fit(), PrintPreview::Fit::Page);
    QVERIFY(view->viewport()->rect().contains(sheet->geometry()));
    const double fitPage = preview->zoom();

    QTest::keyClick(preview->windowHandle(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(preview->zoom(), fitPage * 1.25);
    QTest::keyClick(preview->windowHandle(), Qt::Key_Minus);
    QCOMPARE(preview->zoom(), fitPage);
    QWheelEvent wheel(QPointF(10, 10), view->viewport()->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, 120), {},
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    QCOMPARE(preview->zoom(), fitPage * 1.25);
    QTest::mouseClick(preview->findChild<QPushButton *>("cmdRiduci"), Qt::LeftButton);
    QCOMPARE(preview->zoom(), fitPage);
    QCOMPARE(preview->findChild<QLabel *>("lblIngrandimento")->text(), QString::number(qRound(fitPage * 100)) + " %");

    QTest::mouseClick(preview->findChild<QPushButton *>("cmdAdattaLarghezza"), Qt::LeftButton);
    QCOMPARE(preview->fit(), PrintPreview::Fit::Width);
    QVERIFY(preview->zoom() > fitPage);
    // The scroll bar of the taller page may come a moment later.
    QTRY_VERIFY(sheet->width() <= view->viewport()->width() && sheet->width() >= view->viewport()->width() - 40);
    // A larger window keeps the width fitted.
    const double fitWidth = preview->zoom();
    preview->resize(preview->width() + 100, preview->height());
    QTRY_VERIFY(preview->zoom() > fitWidth);
    QTest::mouseClick(preview->findChild<QPushButton *>("cmdAdattaPagina"), Qt::LeftButton);
    QCOMPARE(preview->fit(), PrintPreview::Fit::Page);
    QVERIFY(view->viewport()->rect().contains(sheet->geometry()));
}

// Inputs a print cannot read: the print's own message, no preview, and
// nothing on the clipboard.
void TestPreview::badInputsOpenNoPreviewAndCopyNothing()
{
    Window w;
    w.type(w.controls.txtGiriMinuto, "40000");
    QVERIFY(w.pick("mnuStampaAnteprima"));
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes[0].title, QString("Errore di stampa"));
    QVERIFY(!w.form.findChild<PrintPreview *>());
    QVERIFY(w.pick("mnuStampaCopia"));
    QCOMPARE(w.services.boxes.size(), std::size_t(2));
    QVERIFY(w.services.clipboard.empty());
}

void TestPreview::theCopiedTablesHoldThePagesFigures_data()
{
    QTest::addColumn<int>("pump");
    QTest::addColumn<int>("lifts");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("angle");
    QTest::newRow("first pump, 2 lifts, as it opens") << 0 << 1 << "1000"
                                                      << "7";
    QTest::newRow("second pump, 1 lift") << 1 << 0 << "800"
                                         << "22,5";
    QTest::newRow("fourth pump, 3 lifts") << 3 << 2 << "2345"
                                          << "4,3";
}

// The copy, read back, holds the figures the page prints (as "stampa"
// prints them for the same inputs), the units in the titles and the cells
// numbers that Italian conventions read; the HTML table holds the same
// cells. A note says so, no box, and the inputs are as they were.
void TestPreview::theCopiedTablesHoldThePagesFigures()
{
    QFETCH(int, pump);
    QFETCH(int, lifts);
    QFETCH(QString, speed);
    QFETCH(QString, angle);
    Window w;
    print::RecordingPrinter &printed = w.services.recordingPrinter;
    w.services.printerInUse = &printed;
    w.form.setListIndex(pump);
    QTest::mouseClick(w.controls.optAlzataGiro[lifts], Qt::LeftButton);
    w.type(w.controls.txtGiriMinuto, speed);
    w.type(w.controls.txtAngolo, angle);
    const QStringList before = windowTexts(w.form);

    QVERIFY(w.pick("mnuStampaCopia", Way::ShiftF10AndMnemonic));
    QVERIFY(w.services.boxes.empty());
    QTRY_COMPARE(QToolTip::text(), QString(kTablesCopiedNote));
    QCOMPARE(w.services.clipboard.size(), std::size_t(1));
    QToolTip::hideText();
    QTRY_VERIFY(!w.form.findChild<QWidget *>("qtooltip_label"));
    const QString changed = textDifferences(windowTexts(w.form), before);
    QVERIFY2(changed.isEmpty(), qPrintable(changed));

    // What "stampa" prints for the same inputs, line by line.
    QTest::mouseClick(w.controls.cmdStampa, Qt::LeftButton);
    QList<QStringList> page{{}};
    for (const auto &op : printed.ops) {
        if (op.name != "Print")
            continue;
        page.last() << QString::fromStdString(op.text).trimmed();
        if (op.endLine)
            page << QStringList();
    }
    QCOMPARE(page.size(), 2 + 1 + 25 + 1 + 6 + 1 + 1);  // header, titles, rows, titles, rows, footer, end

    const QList<QStringList> copied = cells(w.services.clipboard[0].text);
    const auto number = [](QString s) { return s.remove("mm ").remove("ms ").remove(" mm").remove("°"); };
    const QList<QStringList> header{
        {"Codice pompa", page[0][1]},
        {"Corsa di alzata (mm)", number(page[0][3])},
        {"Dimensioni albero (mm)", page[1][1], page[1][3]},
        {"Gradi di fine alzata (°)", number(page[1][6])},
        {"Angolo di comando (°)", number(page[3][1])},
        {"Millimetri (mm)", number(page[3][2])},
        {""},
        {"Giri al minuto", "Angolo di comando (°)", "Millimetri (mm)", "Millisecondi (ms)"},
    };
    QCOMPARE(copied.mid(0, header.size()), header);
    QCOMPARE(header[0][1], w.controls.cboCodice->currentText());
    QCOMPARE(header[1][1], w.controls.lblValori[5]->text());
    for (int k = 0; k < 25; ++k) {
        QStringList row;
        for (const QString &figure : page[3 + k])
            row << number(figure);
        QCOMPARE(copied[header.size() + k], row);
        QCOMPARE(row[0], QString::number(2500 - 100 * k));
    }
    const int second = header.size() + 25;
    QCOMPARE(copied.mid(second, 2),
             (QList<QStringList>{
                 {""}, {"Giri al minuto", "Gradi di ritardo (°)", "Corsa pompante (mm)", "MS equivalenti (ms)"}}));
    for (int j = 0; j < 6; ++j) {
        QStringList row;
        for (const QString &figure : page[29 + j])
            row << number(figure);
        QCOMPARE(copied[second + 2 + j], row);
    }
    QCOMPARE(copied.size(), second + 8);  // no footer

    const QLocale italian(QLocale::Italian, QLocale::Italy);
    for (const QStringList &row : copied.mid(1))  // all but the pump code
        for (const QString &cell : row) {
            bool isNumber = false;
            italian.toDouble(cell, &isNumber);
            QVERIFY2(isNumber || cell.isEmpty() || cell.contains(QRegularExpression("[a-z]")), qPrintable(cell));
        }
    const QString html = w.services.clipboard[0].html;
    QCOMPARE(cellsOfHtml(html), copied);
    // The pump code, and nothing else, is marked as text for both spreadsheets.
    const QString code = "<td sdnum=\"1040;0;@\" style='mso-number-format:\"\\@\"'>" + header[0][1] + "</td>";
    QVERIFY2(html.contains(code), qPrintable(html));
    QCOMPARE(html.count("sdnum"), 1);
    QCOMPARE(html.count("mso-number-format"), 1);
}

// The program's clipboard: what the copy puts there, another program reads
// as text and as HTML.
void TestPreview::theClipboardTakesTextAndHtml()
{
    QtServices services;
    services.copyToClipboard("Giri al minuto\tMillimetri (mm)\n2500\t0,400\n",
                             "<table><tr><th>Giri al minuto</th></tr></table>");
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QCOMPARE(data->text().remove('\r'), QString("Giri al minuto\tMillimetri (mm)\n2500\t0,400\n"));
    QVERIFY2(data->html().contains("<th>Giri al minuto</th>"), qPrintable(data->html()));
}

// The print says a cell just after the text that shows it, and says every
// text of the header's values and of the two tables: the cell holds that
// text without its unit (a title with it), each place once.
void TestPreview::eachTableTextOfThePageIsSaidAsItsCell()
{
    Window w;
    print::RecordingPrinter &printed = w.services.recordingPrinter;
    w.services.printerInUse = &printed;
    w.form.setListIndex(2);
    w.type(w.controls.txtAngolo, "12,5");
    QTest::mouseClick(w.controls.cmdStampa, Qt::LeftButton);
    QCOMPARE(w.services.boxes.size(), std::size_t(1));

    std::set<std::tuple<int, int, int>> places;
    std::set<std::size_t> printsWithACell;
    for (const auto &[cell, after] : printed.cells) {
        const QString where = QString("table %1, row %2, column %3: ").arg(cell.table).arg(cell.row).arg(cell.column);
        QVERIFY2(places.insert({cell.table, cell.row, cell.column}).second, qPrintable(where + "said twice"));
        QVERIFY(after > 0);
        const auto &op = printed.ops[after - 1];
        QCOMPARE(op.name, std::string("Print"));
        printsWithACell.insert(after - 1);
        const QString shown = QString::fromStdString(op.text).trimmed();
        const QString text = QString::fromStdString(cell.text);
        if (cell.kind == Kind::Title && cell.table == 0 && cell.row >= 4) {
            // The command the speed table holds on every row, under its titles.
            const auto title = std::find_if(printed.cells.begin(), printed.cells.end(), [&](const auto &c) {
                return c.cell.table == 1 && c.cell.row == 0 && c.cell.column == cell.row - 3;
            });
            QVERIFY2(title != printed.cells.end() && title->cell.text == cell.text, qPrintable(where + text));
        } else if (cell.kind == Kind::Title) {
            // "Corsa di alzata: " is the title "Corsa di alzata (mm)".
            const QString name = shown.endsWith(':') ? shown.chopped(1) : shown;
            QVERIFY2(text == name || text.startsWith(name + " ("), qPrintable(where + text + " after " + shown));
            // The header's titles head its rows, a table's its columns.
            QVERIFY2(cell.table == 0 ? cell.column == 0 : cell.row == 0, qPrintable(where + text));
        } else {
            QVERIFY2(!text.isEmpty() && shown.contains(text), qPrintable(where + text + " after " + shown));
            QVERIFY2(cell.kind == (cell.table == 0 && cell.row == 0 ? Kind::Text : Kind::Figure),
                     qPrintable(where + text));
        }
    }
    // Header: code, lift, two shaft dimensions, end of lift, command angle
    // and stroke, each with its title; two tables of 4 columns, their titles
    // and 25 or 6 rows.
    QCOMPARE(places.size(), std::size_t(2 + 2 + 3 + 2 + 2 + 2 + 4 * 26 + 4 * 7));
    // Every print but the footer and the " mm / " and " mm" between the
    // shaft dimensions shows a cell: the command's cells in the header are
    // said after the first speed row's.
    std::vector<QString> without;
    for (std::size_t i = 0; i < printed.ops.size(); ++i)
        if (printed.ops[i].name == "Print" && !printsWithACell.count(i))
            without.push_back(QString::fromStdString(printed.ops[i].text));
    QCOMPARE(without.size(), std::size_t(3));
    QCOMPARE(without[0], QString(" mm / "));
    QCOMPARE(without[1], QString(" mm"));
    QVERIFY(without[2].contains("Progetto rotamet"));
}

void TestPreview::theTablesComeFromTheCellsInTheirPlaces_data()
{
    QTest::addColumn<std::vector<TableCell>>("cells");
    QTest::addColumn<QString>("text");
    const TableCell code{0, 0, 1, Kind::Text, "0445010760"}, title{0, 0, 0, Kind::Title, "Codice pompa"};
    const TableCell speeds{1, 0, 0, Kind::Title, "Giri al minuto"}, speed{1, 1, 0, Kind::Figure, "2500"};
    const TableCell time{1, 1, 2, Kind::Figure, "0,47"};
    QTest::newRow("in the order the page says them")
        << std::vector{title, code, speeds, speed} << "Codice pompa\t0445010760\n\nGiri al minuto\n2500\n";
    QTest::newRow("in any other order") << std::vector{speed, code, speeds, title}
                                        << "Codice pompa\t0445010760\n\nGiri al minuto\n2500\n";
    QTest::newRow("a column missing keeps the next in its place")
        << std::vector{speeds, time, speed} << "Giri al minuto\n2500\t\t0,47\n";
    QTest::newRow("a cell said twice, the first counts")
        << std::vector{title, code, TableCell{0, 0, 1, Kind::Figure, "445010760"}} << "Codice pompa\t0445010760\n";
    QTest::newRow("a table without its first") << std::vector{speed} << "2500\n";
    QTest::newRow("no cells") << std::vector<TableCell>{} << "";
}

// The copy sets each cell in its table, row and column, whatever order the
// print said them in.
void TestPreview::theTablesComeFromTheCellsInTheirPlaces()
{
    QFETCH(std::vector<TableCell>, cells);
    QFETCH(QString, text);
    QCOMPARE(print::tabSeparatedText(print::pageTables(cells)), text);
}

void TestPreview::eachKindOfCellHasItsHtml_data()
{
    QTest::addColumn<TableCell>("cell");
    QTest::addColumn<QString>("html");
    QTest::newRow("a title") << TableCell{1, 0, 0, Kind::Title, "Millimetri (mm)"} << "<th>Millimetri (mm)</th>";
    QTest::newRow("a figure, a plain Italian number") << TableCell{1, 1, 0, Kind::Figure, "0,400"} << "<td>0,400</td>";
    QTest::newRow("a code, text for Calc and Excel")
        << TableCell{0, 0, 0, Kind::Text, "0445010760"}
        << "<td sdnum=\"1040;0;@\" style='mso-number-format:\"\\@\"'>0445010760</td>";
    QTest::newRow("a code with HTML's own characters")
        << TableCell{0, 0, 0, Kind::Text, "A<1>&\""}
        << "<td sdnum=\"1040;0;@\" style='mso-number-format:\"\\@\"'>A&lt;1&gt;&amp;&quot;</td>";
}

// Titles are header cells, figures plain cells a spreadsheet reads as
// numbers, and a text cell is marked as text for LibreOffice (sdnum, the
// format "@") and for Excel (mso-number-format "\@").
void TestPreview::eachKindOfCellHasItsHtml()
{
    QFETCH(TableCell, cell);
    QFETCH(QString, html);
    const QString table = print::htmlTable(print::pageTables({cell}));
    QVERIFY2(table.contains("<tr>" + html + "</tr>"), qPrintable(table));
}

ROTAMET_TEST_MAIN(TestPreview)
#include "tst_preview.moc"
