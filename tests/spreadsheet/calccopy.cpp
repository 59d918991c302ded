// "Copia tabelle" read by LibreOffice Calc, as a user pastes the tables into
// it: the real window copies through the real menu of "stampa", the HTML it
// puts on the clipboard goes to a file, and Calc (soffice, headless, in
// Italian) reads it as a paste and saves it as a flat document (.fods). In
// that document every code is a text cell with its leading zero, every
// figure a number cell equal to the figure the page prints, and every title
// a text cell; each in its row and column.
//
// The page's figures are the cells "stampa" says to its printer for the same
// inputs (tst_preview checks them against the drawn texts).
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "print/tablecopy.h"
#include "support/controls.h"
#include "support/printmenu.h"
#include "support/recordingservices.h"
#include "window/frmmain.h"
#include "window/textbox.h"

#include <algorithm>

using namespace rotamet;
using Kind = print::TableCell::Kind;

namespace {

// A cell of Calc's document: its type ("float", "string", or empty for an
// empty cell), its value as a number, and its text.
struct CalcCell {
    QString type;
    double value = 0;
    QString text;
};
using CalcRows = QList<QList<CalcCell>>;

// The first sheet's rows, each with its cells (repeated and covered cells
// counted as many times as they stand for); empty rows at the end left out.
CalcRows sheetRows(QIODevice &fods)
{
    CalcRows rows;
    QXmlStreamReader xml(&fods);
    int tables = 0;
    while (!xml.atEnd() && tables < 2) {
        xml.readNext();
        if (!xml.isStartElement()) {
            if (xml.isEndElement() && xml.qualifiedName() == QLatin1String("table:table"))
                ++tables;
            continue;
        }
        const auto name = xml.qualifiedName();
        const QXmlStreamAttributes a = xml.attributes();
        if (name == QLatin1String("table:table")) {
            ++tables;
        } else if (name == QLatin1String("table:table-row")) {
            const int repeated = qMax(1, a.value("table:number-rows-repeated").toInt());
            for (int i = 0; i < qMin(repeated, 100); ++i)
                rows.append(QList<CalcCell>());
        } else if (name == QLatin1String("table:table-cell") || name == QLatin1String("table:covered-table-cell")) {
            CalcCell cell{a.value("office:value-type").toString(), a.value("office:value").toDouble(), {}};
            const int repeated = qMax(1, a.value("table:number-columns-repeated").toInt());
            if (!cell.type.isEmpty())
                cell.text = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            for (int i = 0; i < qMin(repeated, 100); ++i)
                rows.last().append(cell);
        }
    }
    const auto empty = [](const QList<CalcCell> &row) {
        return std::all_of(row.begin(), row.end(), [](const CalcCell &c) { return c.type.isEmpty(); });
    };
    while (!rows.isEmpty() && empty(rows.last()))
        rows.removeLast();
    return rows;
}

}  // namespace

class CalcCopy : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void calcKeepsCodesAsTextAndFiguresAsNumbers_data();
    void calcKeepsCodesAsTextAndFiguresAsNumbers();

private:
    QString soffice_;
};

void CalcCopy::initTestCase()
{
    soffice_ = QStandardPaths::findExecutable("soffice");
    QVERIFY2(!soffice_.isEmpty(), "soffice (libreoffice-calc-nogui) is not installed");
}

void CalcCopy::calcKeepsCodesAsTextAndFiguresAsNumbers_data()
{
    QTest::addColumn<int>("pump");
    QTest::addColumn<int>("lifts");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("angle");
    QTest::addColumn<QString>("code");
    QTest::newRow("first pump, 2 lifts, as it opens") << 0 << 1 << "1000"
                                                      << "7"
                                                      << "0445010760";
    QTest::newRow("third pump, 1 lift") << 2 << 0 << "850"
                                        << "22,5"
                                        << "0445010799";
    QTest::newRow("fourth pump, 3 lifts, a code with letters") << 3 << 2 << "2345"
                                                               << "4,3"
                                                               << "A2C1637670080";
}

void CalcCopy::calcKeepsCodesAsTextAndFiguresAsNumbers()
{
    QFETCH(int, pump);
    QFETCH(int, lifts);
    QFETCH(QString, speed);
    QFETCH(QString, angle);
    QFETCH(QString, code);

    RecordingServices services;
    FrmMain form{services};
    Controls controls{form};
    form.load();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.setListIndex(pump);
    QTest::mouseClick(controls.optAlzataGiro[lifts], Qt::LeftButton);
    for (auto [field, text] : {std::pair{controls.txtGiriMinuto, speed}, std::pair{controls.txtAngolo, angle}}) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    QVERIFY(pickFromPrintMenu(form, *controls.cmdStampa, "mnuStampaCopia", Way::RightClickAndMouse));
    QCOMPARE(services.clipboard.size(), std::size_t(1));
    QVERIFY(services.boxes.empty());

    // The page's cells, as "stampa" says them for the same inputs.
    QTest::mouseClick(controls.cmdStampa, Qt::LeftButton);
    std::vector<print::TableCell> said;
    for (const auto &c : services.recordingPrinter.cells)
        said.push_back(c.cell);
    const print::PageTables page = print::pageTables(said);
    QVERIFY(page.size() > 30);

    // Calc reads the HTML as a paste, in Italian, with a profile of its own.
    QTemporaryDir folder;
    QFile html(folder.filePath("tabelle.html"));
    QVERIFY(html.open(QIODevice::WriteOnly));
    html.write(services.clipboard[0].html.toUtf8());
    html.close();
    QProcess calc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LC_ALL");
    env.insert("LANG", "it_IT.UTF-8");
    env.insert("HOME", folder.filePath("home"));
    calc.setProcessEnvironment(env);
    calc.setProcessChannelMode(QProcess::MergedChannels);
    calc.start(soffice_,
               {"--headless", "--infilter=calc_HTML_WebQuery", "--convert-to", "fods", "--outdir", folder.path(),
                html.fileName()});
    // A limit only so that a Calc that hangs cannot hold the run for ever.
    QVERIFY2(calc.waitForFinished(300000), "soffice did not finish");
    const QString calcSaid = QString::fromLocal8Bit(calc.readAll());
    QFile fods(folder.filePath("tabelle.fods"));
    QVERIFY2(fods.open(QIODevice::ReadOnly), qPrintable(calcSaid));
    const CalcRows sheet = sheetRows(fods);

    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QCOMPARE(sheet.size(), qsizetype(page.size()));
    int codes = 0, figures = 0;
    for (qsizetype r = 0; r < sheet.size(); ++r) {
        const std::vector<print::TableCell> &row = page[std::size_t(r)];
        for (std::size_t c = 0; c < row.size(); ++c) {
            const print::TableCell &cell = row[c];
            const QString where = QString("row %1, column %2, \"%3\": ").arg(r + 1).arg(c + 1).arg(cell.text.c_str());
            QVERIFY2(qsizetype(c) < sheet[r].size(), qPrintable(where + "not in Calc's row"));
            const CalcCell &got = sheet[r][qsizetype(c)];
            const QString text = QString::fromStdString(cell.text);
            if (text.isEmpty()) {
                QVERIFY2(got.type.isEmpty(), qPrintable(where + got.type));
            } else if (cell.kind == Kind::Figure) {
                bool ok = false;
                const double figure = italian.toDouble(text, &ok);
                QVERIFY2(ok, qPrintable(where + "not an Italian number"));
                QVERIFY2(got.type == "float", qPrintable(where + got.type + " " + got.text));
                QVERIFY2(got.value == figure, qPrintable(where + QString::number(got.value)));
                ++figures;
            } else {
                QVERIFY2(got.type == "string", qPrintable(where + got.type + " " + got.text));
                QCOMPARE(got.text, text);
                codes += cell.kind == Kind::Text;
            }
        }
    }
    QCOMPARE(codes, 1);
    QVERIFY(page[0][1].kind == Kind::Text);
    QCOMPARE(sheet[0][1].text, code);
    QCOMPARE(figures, 1 + 2 + 1 + 1 + 1 + 4 * 25 + 4 * 6);
}

QTEST_MAIN(CalcCopy)
#include "calccopy.moc"
