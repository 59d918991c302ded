// Pumps handed from one catalogue to another, without the window: the text
// an export writes, what an import would do (new pumps, other figures, codes
// already there, lines refused and why, codes a spreadsheet made into
// numbers), the user's choices applied, and pump files as LibreOffice Calc
// saves them (tests/data; tests/spreadsheet/calc-csv-import.sh feeds the
// same test files that a real Calc has just written).
#include <QDir>
#include <QFile>
#include <QTest>

#include "catalogue/exchange.h"
#include "numtext/numtext.h"
#include "support/testmain.h"

using namespace rotamet;
using namespace rotamet::catalogue;

namespace {

QString q(const std::string &s) { return QString::fromStdString(s); }

const QByteArray kHeaderLine = QByteArray(kHeader) + "\n";

// "CODE min max angle", as a user reads them.
QString described(const Pump &p)
{
    return q(p.code + " " + NumberText(p.minAlbero) + " " + NumberText(p.maxAlbero) + " " + p.fineAlzataText());
}

QStringList userPumps(const Catalogue &c)
{
    QStringList out;
    for (const Pump &p : c.pumps().subspan(builtInPumps().size()))
        out << described(p);
    return out;
}

// The user's catalogue the imports meet: two pumps of their own and a line
// of their file that could not be read.
Catalogue own()
{
    return readFile(
        (kHeaderLine + "0445010800;37,35;46,95;110\n0445010801;30;40;90\n0445010801;3.0;40;90\n").toStdString());
}

QStringList conflictsOf(const ImportPlan &plan)
{
    QStringList out;
    for (const Conflict &c : plan.conflicts)
        out << described(c.own) + " / " + described(c.theirs);
    return out;
}

QStringList refusedOf(const ImportPlan &plan)
{
    QStringList out;
    for (const RefusedLine &line : plan.refused)
        out << QString::number(line.number) + ": " + q(line.reason);
    return out;
}

QStringList addedOf(const ImportPlan &plan)
{
    QStringList out;
    for (const Pump &p : plan.added)
        out << described(p);
    return out;
}

QStringList presentOf(const ImportPlan &plan)
{
    QStringList out;
    for (const std::string &code : plan.present)
        out << q(code);
    return out;
}

// Every entry of `expected` starts one entry of `actual`, in order.
bool startsEach(const QStringList &actual, const QStringList &expected)
{
    if (actual.size() != expected.size())
        return false;
    for (int i = 0; i < actual.size(); ++i)
        if (!actual[i].startsWith(expected[i]))
            return false;
    return true;
}

}  // namespace

class TestImportPlan : public QObject {
    Q_OBJECT
private slots:
    void exportHoldsTheUserPumpsAlone();
    void plan_data();
    void plan();
    void spreadsheetNumbers_data();
    void spreadsheetNumbers();
    void choicesApplied_data();
    void choicesApplied();
    void calcSavedFilesImport_data();
    void calcSavedFilesImport();
};

void TestImportPlan::exportHoldsTheUserPumpsAlone()
{
    const Catalogue catalogue = own();
    QCOMPARE(catalogue.skipped.size(), std::size_t(1));
    const std::string text = exportText(catalogue);
    QCOMPARE(QByteArray::fromStdString(text), kHeaderLine + "0445010800;37,35;46,95;110\n0445010801;30;40;90\n");
    // Imported into an empty catalogue, it is the same pumps.
    const ImportPlan plan = planImport(Catalogue(), text);
    QCOMPARE(addedOf(plan), userPumps(catalogue));
    QVERIFY(plan.conflicts.empty() && plan.present.empty() && plan.refused.empty());
    // Into the catalogue it came from, nothing changes.
    const ImportPlan again = planImport(catalogue, text);
    QVERIFY(!again.changes());
    QCOMPARE(presentOf(again), (QStringList{"0445010800", "0445010801"}));
}

void TestImportPlan::plan_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("conflicts");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("refused");  // how each reason starts
    const QStringList none;

    QTest::newRow("a new pump") << kHeaderLine + "0445010802;30;40,5;90\n"
                                << QStringList{"0445010802 30 40,5 90°"} << none << none << none;
    QTest::newRow("no header, CRLF, BOM")
        << QByteArray("\xEF\xBB\xBF"
                      "0445010802;30;40,5;90\r\n0445010803;31;41;91\r\n")
        << QStringList{"0445010802 30 40,5 90°", "0445010803 31 41 91°"} << none << none << none;
    QTest::newRow("Windows-1252 degree sign") << kHeaderLine + "0445010802;30;40,5;90\xB0\n"
                                              << QStringList{"0445010802 30 40,5 90°"} << none << none << none;
    QTest::newRow("the same pump") << kHeaderLine + "0445010800;37,35;46,95;110\n"
                                   << none << none << QStringList{"0445010800"} << none;
    QTest::newRow("other figures") << kHeaderLine + "0445010801;30;40;91\n"
                                   << none << QStringList{"0445010801 30 40 90° / 0445010801 30 40 91°"} << none
                                   << none;
    QTest::newRow("small letters for a pump of the catalogue")
        << kHeaderLine + "a2c1637670081;38,51;50,5;80\n"
        << QStringList{"A2C1637670081 38,51 50,5 80°"} << none << none << none;
    QTest::newRow("built-in code, its figures and others")
        << kHeaderLine + "0445010760;37,35;46,95;110\n0445010790;30;40;90\n"
        << none << none << QStringList{"0445010760", "0445010790"} << none;
    QTest::newRow("leading zero lost") << kHeaderLine + "445010802;30;40;90\n0445010803;30;40;90\n"
                                       << QStringList{"0445010803 30 40 90°"} << none << none
                                       << QStringList{"2: Codice: 445010802 è un numero, non un codice: il foglio di "
                                                      "calcolo ha tolto lo zero iniziale (il codice era forse "
                                                      "0445010802?)"};
    QTest::newRow("leading zero lost, in quotes, with other faults")
        << kHeaderLine + "\"445010800\";3.0;40\n"
        << none << none << none << QStringList{"2: Codice: 445010800 è un numero, non un codice"};
    QTest::newRow("scientific notation") << kHeaderLine + "4,4501E+08;30;40;90\n4.45E8;30;40;90\n"
                                         << none << none << none
                                         << QStringList{"2: Codice: 4,4501E+08 è un numero in notazione scientifica",
                                                        "3: Codice: 4.45E8 è un numero in notazione scientifica"};
    QTest::newRow("a code twice in the file") << kHeaderLine + "0445010802;30;40;90\n0445010802;31;41;91\n"
                                              << QStringList{"0445010802 30 40 90°"} << none << none
                                              << QStringList{"3: Codice: 0445010802 è già alla riga 2."};
    QTest::newRow("figures a spreadsheet in English wrote")
        << kHeaderLine + "0445010802;37.35;46.95;110\n"
        << none << none << none << QStringList{"2: Minimo: non è un numero"};
    QTest::newRow("not a pump file") << QByteArray("Caro Mario,\nti mando le pompe.\n") << none << none << none
                                     << QStringList{"1: servono 4 campi", "2: servono 4 campi"};
    QTest::newRow("empty") << QByteArray() << none << none << none << none;
}

void TestImportPlan::plan()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, added);
    QFETCH(QStringList, conflicts);
    QFETCH(QStringList, present);
    QFETCH(QStringList, refused);
    const ImportPlan plan = planImport(own(), file.toStdString());
    QCOMPARE(addedOf(plan), added);
    QCOMPARE(conflictsOf(plan), conflicts);
    QCOMPARE(presentOf(plan), present);
    QVERIFY2(startsEach(refusedOf(plan), refused), qPrintable(refusedOf(plan).join('\n')));
    QCOMPARE(plan.changes(), !added.isEmpty() || !conflicts.isEmpty());
    QCOMPARE(plan.empty(), added.isEmpty() && conflicts.isEmpty() && present.isEmpty() && refused.isEmpty());
}

void TestImportPlan::spreadsheetNumbers_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("reason");  // a part of it; empty: none
    QTest::newRow("445010760") << "445010760"
                               << "zero iniziale (il codice era forse 0445010760?)";
    QTest::newRow("44501076") << "44501076"
                              << "zero iniziale";
    QTest::newRow("4,4501E+08") << "4,4501E+08"
                                << "notazione scientifica";
    QTest::newRow("4.4501E+08") << "4.4501E+08"
                                << "notazione scientifica";
    QTest::newRow("4E8") << "4E8"
                         << "notazione scientifica";
    QTest::newRow("4,45e-08") << "4,45e-08"
                              << "notazione scientifica";
    QTest::newRow("0445010760") << "0445010760" << QString();
    QTest::newRow("A2C1637670080") << "A2C1637670080" << QString();
    QTest::newRow("4501E") << "4501E" << QString();
    QTest::newRow("E+08") << "E+08" << QString();
    QTest::newRow("4,E8") << "4,E8" << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestImportPlan::spreadsheetNumbers()
{
    QFETCH(QString, code);
    QFETCH(QString, reason);
    const QString found = q(spreadsheetNumberReason(code.toStdString()));
    if (reason.isEmpty())
        QCOMPARE(found, QString());
    else
        QVERIFY2(found.contains(reason) && found.contains("formato Testo"), qPrintable(found));
}

void TestImportPlan::choicesApplied_data()
{
    QTest::addColumn<QList<bool>>("take");
    QTest::addColumn<QByteArray>("meanwhile");  // the user's file when the import is made; empty: as planned
    QTest::addColumn<QStringList>("pumps");
    QTest::addColumn<int>("changed");

    const QByteArray planned = kHeaderLine + "0445010800;37,35;46,95;110\n0445010801;30;40;90\n0445010801;3.0;40;90\n";
    QTest::newRow("keep mine") << QList<bool>{false, false} << QByteArray()
                               << QStringList{"0445010800 37,35 46,95 110°", "0445010801 30 40 90°",
                                              "0445010802 30 40 90°"}
                               << 1;
    QTest::newRow("take the file's") << QList<bool>{true, true} << QByteArray()
                                     << QStringList{"0445010800 37 46,95 110°", "0445010801 31 41 91°",
                                                    "0445010802 30 40 90°"}
                                     << 3;
    QTest::newRow("one by one") << QList<bool>{false, true} << QByteArray()
                                << QStringList{"0445010800 37,35 46,95 110°", "0445010801 31 41 91°",
                                               "0445010802 30 40 90°"}
                                << 2;
    QTest::newRow("changed meanwhile by another copy")
        << QList<bool>{true, true}
        << kHeaderLine + "0445010800;37,35;46,95;110\n0445010801;35;45;95\n0445010802;32;42;92\n"
        << QStringList{"0445010800 37 46,95 110°", "0445010801 35 45 95°", "0445010802 32 42 92°"} << 1;
}

void TestImportPlan::choicesApplied()
{
    QFETCH(QList<bool>, take);
    QFETCH(QByteArray, meanwhile);
    QFETCH(QStringList, pumps);
    QFETCH(int, changed);
    const ImportPlan plan = planImport(
        own(), (kHeaderLine + "0445010800;37;46,95;110\n0445010801;31;41;91\n0445010802;30;40;90\n").toStdString());
    QCOMPARE(plan.conflicts.size(), std::size_t(2));
    Catalogue catalogue = meanwhile.isEmpty() ? own() : readFile(meanwhile.toStdString());
    const std::vector<SkippedLine> unread = catalogue.skipped;
    QCOMPARE(applyImport(catalogue, plan, std::vector<bool>(take.begin(), take.end())), std::size_t(changed));
    QCOMPARE(userPumps(catalogue), pumps);
    // The lines of the user's file that could not be read stay, even
    // those with a code the import changed.
    QCOMPARE(catalogue.skipped.size(), unread.size());
    for (std::size_t i = 0; i < unread.size(); ++i)
        QCOMPARE(q(catalogue.skipped[i].text), q(unread[i].text));
}

void TestImportPlan::calcSavedFilesImport_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("refused");
    QStringList folders{QStringLiteral(":/data")};
    if (const QString fresh = qEnvironmentVariable("ROTAMET_CALC_CSV_DIR"); !fresh.isEmpty())
        folders << fresh;
    const QStringList all{"0445010800 37,35 46,95 110°", "0445010801 37,6 47,1 90°", "A2C1637670081 38,51 50,5 80°"};
    int rows = 0;
    for (const QString &folder : folders) {
        for (const QString &name : QDir(folder).entryList({"calc-*.csv"}, QDir::Files, QDir::Name)) {
            ++rows;
            const QString row = (folder.startsWith(':') ? "kept " : "Calc now ") + name;
            // The code column as Text: every pump; as Calc's guess: the codes
            // that lost their leading zero are refused and say so.
            if (name.startsWith("calc-testo-"))
                QTest::newRow(qPrintable(row)) << QDir(folder).filePath(name) << all << QStringList();
            else
                QTest::newRow(qPrintable(row))
                    << QDir(folder).filePath(name) << QStringList{all[2]}
                    << QStringList{"2: Codice: 445010800 è un numero, non un codice: il foglio di calcolo ha tolto "
                                   "lo zero iniziale",
                                   "3: Codice: 445010801 è un numero, non un codice"};
        }
    }
    if (rows < 4 * folders.size())
        qWarning("calc-*.csv: %d files in %s", rows, qPrintable(folders.join(", ")));
}

void TestImportPlan::calcSavedFilesImport()
{
    QFETCH(QString, path);
    QFETCH(QStringList, added);
    QFETCH(QStringList, refused);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = file.readAll();
    // Each file is in its code page: the degree sign tells them apart.
    QCOMPARE(bytes.contains("\xB0") && !bytes.contains("\xC2\xB0"), path.endsWith("-1252.csv"));
    const ImportPlan plan = planImport(Catalogue(), bytes.toStdString());
    QCOMPARE(addedOf(plan), added);
    QVERIFY2(startsEach(refusedOf(plan), refused), qPrintable(refusedOf(plan).join('\n')));
    QVERIFY(plan.conflicts.empty() && plan.present.empty());
}

ROTAMET_TEST_MAIN(TestImportPlan)
#include "tst_importplan.moc"
