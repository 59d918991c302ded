// The pump catalogue and its file: which pumps are taken and which refused,
// the file written and read back, a file with lines that cannot be read, a
// file in the Windows code page, and the file on disk (read, changed, written
// whole, never from a failed read; one change at a time, also across copies
// of the program; why a file cannot be written).
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <latch>

#include "catalogue/catalogue.h"
#include "catalogue/pumpfile.h"
#include "support/readonly.h"
#ifndef Q_OS_WIN
#include <sys/stat.h>

#include "support/filesizelimit.h"
#endif

using namespace rotamet;
using namespace rotamet::catalogue;

Q_DECLARE_METATYPE(std::optional<rotamet::catalogue::Field>)

namespace {

QString q(const std::string &s) { return QString::fromStdString(s); }

Pump pump(const char *code, double min, double max, int angle) { return Pump{code, min, max, angle}; }

QByteArray contents(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList codes(const Catalogue &c)
{
    QStringList out;
    for (const Pump &p : c.pumps())
        out << q(p.code);
    return out;
}

const QStringList kBuiltInCodes{"0445010760", "0445010790", "0445010799", "A2C1637670080"};
const QByteArray kHeaderLine = QByteArray(kHeader) + "\n";

// The user's pumps as "CODE min max angle", and the skipped lines as
// "NUMBER Field" (the reason up to its colon).
QStringList userPumps(const Catalogue &c)
{
    QStringList out;
    for (const Pump &p : c.pumps().subspan(builtInPumps().size()))
        out << QString("%1 %2 %3 %4").arg(q(p.code)).arg(p.minAlbero).arg(p.maxAlbero).arg(p.fineAlzata);
    return out;
}
QStringList skippedLines(const Catalogue &c)
{
    QStringList out;
    for (const SkippedLine &line : c.skipped)
        out << QString("%1 %2").arg(line.number).arg(q(line.reason).section(':', 0, 0));
    return out;
}

// Another copy of the program that holds the pumps' lock: this test program
// started with --hold-lock, until it is killed (as a crash ends it).
class OtherCopy {
public:
    explicit OtherCopy(const QString &pumpFile)
    {
        process_.start(QCoreApplication::applicationFilePath(), {"--hold-lock", pumpFile});
        held_ = process_.waitForReadyRead(20000) && process_.readAll().startsWith("locked");
    }
    ~OtherCopy() { crash(); }
    bool held() const { return held_; }
    void crash()
    {
        process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
    bool held_ = false;
};

int holdLock(const QString &pumpFile)
{
    QLockFile lock(pumpFile + ".lock");
    if (!lock.tryLock(10000))
        return 1;
    fputs("locked\n", stdout);
    fflush(stdout);
    QThread::sleep(600);
    return 0;
}

// A file with every kind of line: good ones (one in small letters, one in
// quotes as a spreadsheet writes it, one with "\r\n"), and lines that cannot be read.
const QByteArray kMixedFile = "\xEF\xBB\xBF"
                              "codice;minimo_mm;massimo_mm;fine_alzata_gradi\n"  // 1
                              "0445010800;37,35;46,95;110\n"                     // 2
                              "0445010801;37.35;46,95;110\n"                     // 3 point as decimal separator
                              "\n"                                               // 4 blank
                              "0445010802;37,35;46,95\n"                         // 5 three fields
                              "b0445010803;30;40,5;90°\r\n"                      // 6 small letter, degree sign
                              "0445010800;30;40;90\n"                            // 7 code of line 2 again
                              "0445010790;30;40;90\n"                            // 8 a built-in code
                              "\"0445010804\"; 20,125 ;\"21\";360;;\n"           // 9 quotes, blanks, empty fields
                              "0445010805;45;40;90\n"                            // 10 maximum below minimum
                              "04450108;30;40;90";                               // 11 short code, no line end

}  // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void init() { dir_.reset(new QTemporaryDir); }

    void builtInPumpsComeFirstInTheirOrder();
    void pumpsAcceptedAndRefused_data();
    void pumpsAcceptedAndRefused();
    void userPumpsAreSortedByCode();
    void builtInPumpsCannotBeChangedOrRemoved();
    void fileWrittenAndReadBackEqual();
    void fileWithBadLines();
    void anyLineIsAPumpOrSkippedAndCarriedOver_data();
    void anyLineIsAPumpOrSkippedAndCarriedOver();
    void aFileOfManyPumpsInReverseOrderLoadsThemAll();
    void noFileMeansTheBuiltInPumpsAndNoMessage();
    void fileWithBadLinesLoadsTheRestAndSaysWhich();
    void aChangeCarriesTheSkippedLinesOver();
    void aChangeIsMadeOnTheFileAsItIsNow();
    void fileThatCannotBeReadIsNeverWritten_data();
    void fileThatCannotBeReadIsNeverWritten();
    void fileThatCannotBeWrittenIsToldAndChangesNothing_data();
    void fileThatCannotBeWrittenIsToldAndChangesNothing();
    void windows1252AndUtf8_data();
    void windows1252AndUtf8();
    void aFileAsASpreadsheetSavesIt_data();
    void aFileAsASpreadsheetSavesIt();
    void deleteAndChangeTakeEveryLineOfTheCode_data();
    void deleteAndChangeTakeEveryLineOfTheCode();
    void twoWritersAtOnceLoseNoPump();
    void aLockHeldByAnotherCopyIsToldAndACrashedOnesIsNot();

private:
    QString path() const { return dir_->filePath("config/Tachocalc/pompe.csv"); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestCatalogue::builtInPumpsComeFirstInTheirOrder()
{
    const Catalogue c;
    QCOMPARE(codes(c), kBuiltInCodes);
    QCOMPARE(q(c.pumps()[0].fineAlzataText()), QString("110°"));
    QCOMPARE(c.pumps()[1].minAlbero, 37.6);
    QCOMPARE(c.userCount(), std::size_t(0));
}

void TestCatalogue::pumpsAcceptedAndRefused_data()
{
    QTest::addColumn<QStringList>("typed");  // codice, minimo, massimo, fine alzata
    QTest::addColumn<std::optional<Field>>("fault");
    QTest::addColumn<QString>("code");  // the code kept, when accepted

    const auto ok = [](const char *name, QStringList typed, const char *code) {
        QTest::newRow(name) << typed << std::optional<Field>() << QString(code);
    };
    const auto refused = [](const char *name, QStringList typed, Field field) {
        QTest::newRow(name) << typed << std::optional<Field>(field) << QString();
    };
    ok("10 digits", {"0445010800", "37,35", "46,95", "110"}, "0445010800");
    ok("13 digits and capitals", {"A2C1637670081", "38,51", "50,51", "90"}, "A2C1637670081");
    ok("small letters, blanks around", {" a2c163767008x ", " 38,5 ", "50", "90"}, "A2C163767008X");
    ok("3 decimals", {"0445010800", "0,001", "99,999", "1"}, "0445010800");
    ok("maximum 100", {"0445010800", "37", "100", "360"}, "0445010800");
    ok("angle with degree sign", {"0445010800", "37", "47", "90°"}, "0445010800");
    refused("empty code", {"", "37", "47", "90"}, Field::Codice);
    refused("9 characters", {"044501080", "37", "47", "90"}, Field::Codice);
    refused("14 characters", {"04450108000000", "37", "47", "90"}, Field::Codice);
    refused("blank inside code", {"04450 10800", "37", "47", "90"}, Field::Codice);
    refused("dash in code", {"0445-010800", "37", "47", "90"}, Field::Codice);
    refused("accented letter", {"044501080È", "37", "47", "90"}, Field::Codice);
    refused("empty minimum", {"0445010800", "", "47", "90"}, Field::Minimo);
    refused("minimum 0", {"0445010800", "0", "47", "90"}, Field::Minimo);
    refused("minimum negative", {"0445010800", "-1", "47", "90"}, Field::Minimo);
    refused("minimum 37.35", {"0445010800", "37.35", "47", "90"}, Field::Minimo);
    refused("minimum 1E1", {"0445010800", "1E1", "47", "90"}, Field::Minimo);
    refused("minimum 4 decimals", {"0445010800", "37,3501", "47", "90"}, Field::Minimo);
    refused("maximum 100,001", {"0445010800", "37", "100,001", "90"}, Field::Massimo);
    refused("maximum 4735", {"0445010800", "37,35", "4735", "90"}, Field::Massimo);
    refused("maximum equal to minimum", {"0445010800", "37,35", "37,350", "90"}, Field::Massimo);
    refused("maximum below minimum", {"0445010800", "47", "37", "90"}, Field::Massimo);
    refused("maximum two commas", {"0445010800", "37", "47,1,1", "90"}, Field::Massimo);
    refused("angle 0", {"0445010800", "37", "47", "0"}, Field::FineAlzata);
    refused("angle 361", {"0445010800", "37", "47", "361"}, Field::FineAlzata);
    refused("angle 12,5", {"0445010800", "37", "47", "12,5"}, Field::FineAlzata);
    refused("angle empty", {"0445010800", "37", "47", ""}, Field::FineAlzata);
    // Taken apart, refused by the catalogue.
    refused("built-in code", {"0445010790", "37", "47", "90"}, Field::Codice);
    refused("built-in code in small letters", {"a2c1637670080", "37", "47", "90"}, Field::Codice);
    refused("code taken", {"0445010999", "37", "47", "90"}, Field::Codice);
}

void TestCatalogue::pumpsAcceptedAndRefused()
{
    QFETCH(QStringList, typed);
    QFETCH(std::optional<Field>, fault);
    QFETCH(QString, code);

    Catalogue catalogue;
    QVERIFY(!catalogue.add(pump("0445010999", 30, 40, 90)));
    const ReadPump read
        = readPump({typed[0].toStdString(), typed[1].toStdString(), typed[2].toStdString(), typed[3].toStdString()});
    std::optional<Problem> problem = read.problem;
    if (!problem)
        problem = catalogue.add(*read.pump);
    if (fault) {
        QVERIFY(problem);
        QCOMPARE(problem->field, *fault);
        // The message names the field.
        QVERIFY2(q(problem->reason).startsWith(q(fieldName(*fault)) + ": "), problem->reason.c_str());
        QCOMPARE(catalogue.userCount(), std::size_t(1));
    } else {
        QVERIFY2(!problem, problem ? problem->reason.c_str() : "");
        QVERIFY(catalogue.find(code.toStdString()));
        QCOMPARE(catalogue.userCount(), std::size_t(2));
    }
}

void TestCatalogue::userPumpsAreSortedByCode()
{
    Catalogue c;
    for (const char *code : {"B000000000", "0445010800", "A2C1637670081", "0445010761"})
        QVERIFY(!c.add(pump(code, 30, 40, 90)));
    QCOMPARE(codes(c), (kBuiltInCodes + QStringList{"0445010761", "0445010800", "A2C1637670081", "B000000000"}));
    QVERIFY(!c.replace("0445010761", pump("C000000000", 30, 41, 91)));
    QCOMPARE(codes(c).last(), QString("C000000000"));
    QCOMPARE(c.find("C000000000")->maxAlbero, 41.0);
    QVERIFY(!c.find("0445010761"));
    // A new code that another pump has: refused, nothing changed.
    QVERIFY(c.replace("C000000000", pump("B000000000", 1, 2, 3)));
    QVERIFY(c.find("C000000000"));
}

void TestCatalogue::builtInPumpsCannotBeChangedOrRemoved()
{
    Catalogue c;
    for (const Pump &p : builtInPumps()) {
        QVERIFY(c.add(p));
        QVERIFY(c.replace(p.code, pump("0445010800", 30, 40, 90)));
        QVERIFY(!c.remove(p.code));
        QVERIFY(!c.isUserPump(p.code));
    }
    QCOMPARE(codes(c), kBuiltInCodes);
}

void TestCatalogue::fileWrittenAndReadBackEqual()
{
    Catalogue c;
    for (const Pump &p : {pump("0445010800", 37.35, 46.95, 110), pump("A2C1637670081", 0.001, 99.999, 1),
                          pump("B000000000", 20.125, 21, 360), pump("0445010801", 33.3, 100, 45)})
        QVERIFY(!c.add(p));
    c.skipped.push_back({3, "0445010802;37.35;46,95;110", "Minimo: non è un numero", "0445010802"});
    const std::string text = fileText(c);
    QVERIFY(q(text).startsWith(QString(kHeader) + "\n0445010800;37,35;46,95;110\n"));
    const Catalogue back = readFile(text);
    QCOMPARE(codes(back), codes(c));
    QVERIFY(std::equal(back.pumps().begin(), back.pumps().end(), c.pumps().begin(), c.pumps().end()));
    // The skipped line is written as it was, and skipped again.
    QCOMPARE(back.skipped.size(), std::size_t(1));
    QCOMPARE(q(back.skipped[0].text), QString("0445010802;37.35;46,95;110"));
    QCOMPARE(fileText(back), text);
}

void TestCatalogue::fileWithBadLines()
{
    const Catalogue c = readFile(kMixedFile.toStdString());
    QCOMPARE(codes(c), (kBuiltInCodes + QStringList{"0445010800", "0445010804", "B0445010803"}));
    QCOMPARE(c.find("0445010804")->minAlbero, 20.125);
    QCOMPARE(c.find("B0445010803")->fineAlzata, 90);

    QStringList skipped;
    for (const SkippedLine &line : c.skipped)
        skipped << QString("%1 %2").arg(line.number).arg(q(line.reason).section(':', 0, 0));
    QCOMPARE(skipped,
             (QStringList{"3 Minimo",
                          "5 servono 4 campi separati da \";\" (codice;minimo;massimo;fine alzata), "
                          "ce ne sono 3.",
                          "7 Codice", "8 Codice", "10 Massimo", "11 Codice"}));
    QCOMPARE(q(c.skipped[2].reason), QString("Codice: 0445010800 è già alla riga 2."));
    QCOMPARE(q(c.skipped[3].reason), QString("Codice: 0445010790 è una pompa incorporata, che non si può cambiare."));
    QCOMPARE(q(c.skipped[0].text), QString("0445010801;37.35;46,95;110"));
    QCOMPARE(q(c.skipped[5].text), QString("04450108;30;40;90"));
}

// Whatever a line holds (any number of digits, NUL, bytes of no encoding, a
// line of 10 MB), it is a pump or a skipped line with its reason, and a
// change carries it over byte for byte.
void TestCatalogue::anyLineIsAPumpOrSkippedAndCarriedOver_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("pump");    // "CODE min max angle", or empty
    QTest::addColumn<QString>("reason");  // when skipped

    const QByteArray nines400(400, '9');
    const QByteArray mb10(10 * 1024 * 1024, ';');
    const QString range = "deve essere maggiore di 0 e non oltre 100 mm.";
    const auto skipped = [](const char *name, const QByteArray &line, const QString &reason) {
        QTest::newRow(name) << line << QString() << reason;
    };
    skipped("minimo of 400 nines", "0445010999;" + nines400 + ";46,95;110", "Minimo: " + range);
    skipped("massimo of 400 nines, 3 decimals", "0445010999;37,35;" + nines400 + ",999;110", "Massimo: " + range);
    skipped("minimo of minus 400 nines", "0445010999;-" + nines400 + ";46,95;110", "Minimo: " + range);
    skipped("minimo of 1000 after 400 zeros", "0445010999;" + QByteArray(400, '0') + "1000;1001;110",
            "Minimo: " + range);
    QTest::newRow("400 zeros before 37,35") << "0445010999;" + QByteArray(400, '0') + "37,35;46,95;110"
                                            << "0445010999 37.35 46.95 110" << QString();
    skipped("angle of 400 nines", "0445010999;37,35;46,95;" + nines400,
            "Fine alzata: un numero intero di gradi da 1 a 360.");
    skipped("a huge exponent", "0445010999;9E999;46,95;110", "Minimo: non è un numero (si scrive per esempio 37,35).");
    skipped("NUL in a dimension", QByteArray("0445010999;37,35\0;46,95;110", 27),
            "Minimo: non è un numero (si scrive per esempio 37,35).");
    skipped("NUL alone", QByteArray("\0", 1),
            "servono 4 campi separati da \";\" (codice;minimo;massimo;fine alzata), ce ne sono 1.");
    skipped("separators only", ";;;", "Codice: manca.");
    skipped("a quote never closed", "\"0445010999;37,35;46,95;110",
            "servono 4 campi separati da \";\" (codice;minimo;massimo;fine alzata), ce ne sono 1.");
    skipped("UTF-8 and Windows-1252 in one line", "0445010999;37,35;46,95;110\xC2\xB0\xB0",
            "Fine alzata: un numero intero di gradi da 1 a 360.");
    skipped("two carriage returns before the line end", "0445010999;37,35;46,95;110\r\r",
            "Fine alzata: un numero intero di gradi da 1 a 360.");
    skipped("a code of 10 MB", QByteArray(10 * 1024 * 1024, 'A') + ";37,35;46,95;110",
            "Codice: da 10 a 13 caratteri, solo cifre e lettere.");
    skipped("10 MB of separators", mb10, "Codice: manca.");
    skipped("10 MB of separators after a pump", "0445010999;37,35;46,95;110" + mb10 + "x",
            "servono 4 campi separati da \";\" (codice;minimo;massimo;fine alzata), ce ne sono 10485764.");
    skipped("10 MB of blanks and quotes",
            "0445010999;" + QByteArray(5 * 1024 * 1024, ' ') + "1" + QByteArray(5 * 1024 * 1024, '"') + ";46,95;110",
            "Minimo: non è un numero (si scrive per esempio 37,35).");
    QTest::newRow("10 MB of empty fields after a pump")
        << "0445010999;37,35;46,95;110" + mb10 << "0445010999 37.35 46.95 110" << QString();
}

void TestCatalogue::anyLineIsAPumpOrSkippedAndCarriedOver()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, pump);
    QFETCH(QString, reason);
    const QByteArray file = kHeaderLine + "0445010800;37,35;46,95;110\n" + line + "\n";
    const Catalogue c = readFile(file.toStdString());
    QStringList pumps{"0445010800 37.35 46.95 110"};
    if (!pump.isEmpty())
        pumps << pump;
    pumps.sort();
    QCOMPARE(userPumps(c), pumps);
    if (pump.isEmpty()) {
        QCOMPARE(c.skipped.size(), std::size_t(1));
        QCOMPARE(c.skipped[0].number, 3);
        QCOMPARE(q(c.skipped[0].reason), reason);
    } else {
        QVERIFY(c.skipped.empty());
    }

    // Written back: the pumps and the line as they were, and again the same.
    const std::string written = fileText(c);
    if (pump.isEmpty())
        QVERIFY(written.ends_with(line.toStdString() + "\n"));
    const Catalogue back = readFile(written);
    QCOMPARE(userPumps(back), pumps);
    QCOMPARE(back.skipped.size(), c.skipped.size());
    if (pump.isEmpty())
        QVERIFY(back.skipped[0].text == c.skipped[0].text);
    QVERIFY(fileText(back) == written);
}

// A file of the largest size read, of pumps in the reverse order of their
// codes: every pump is in the list, sorted.
void TestCatalogue::aFileOfManyPumpsInReverseOrderLoadsThemAll()
{
    QByteArray file = kHeaderLine;
    constexpr int count = 50000;  // 20 bytes a line: just under 1 MB
    for (int i = count; i > 0; --i)
        file += "B" + QByteArray::number(i).rightJustified(9, '0') + ";30;40;90\n";
    QVERIFY(file.size() <= PumpFile::kMaxSize);
    QVERIFY(write(path(), file));
    const PumpFile::Loaded loaded = PumpFile(path()).load();
    QVERIFY2(loaded.message.isEmpty(), qPrintable(loaded.message));
    const Catalogue &c = loaded.catalogue;
    QCOMPARE(c.userCount(), std::size_t(count));
    QCOMPARE(q(c.pumps()[builtInPumps().size()].code), QString("B000000001"));
    QCOMPARE(q(c.pumps().back().code), QString("B000050000"));
    QCOMPARE(c.indexOf("B000012345"), std::optional<std::size_t>(builtInPumps().size() + 12344));
    QVERIFY(!c.find("B000050001"));
}

void TestCatalogue::noFileMeansTheBuiltInPumpsAndNoMessage()
{
    const PumpFile::Loaded loaded = PumpFile(path()).load();
    QCOMPARE(codes(loaded.catalogue), kBuiltInCodes);
    QVERIFY(loaded.message.isEmpty());
    QVERIFY(!QFileInfo::exists(QFileInfo(path()).absolutePath()));
    // No file at all: the same, and no change can be kept.
    QCOMPARE(codes(PumpFile().load().catalogue), kBuiltInCodes);
    const PumpFile::Changed changed
        = PumpFile().change([](Catalogue &c) { return c.add(pump("0445010800", 3, 4, 5)); });
    QVERIFY(!changed.catalogue);
    QVERIFY(!changed.message.isEmpty());
}

void TestCatalogue::fileWithBadLinesLoadsTheRestAndSaysWhich()
{
    QVERIFY(write(path(), kMixedFile));
    const PumpFile::Loaded loaded = PumpFile(path()).load();
    QCOMPARE(loaded.catalogue.userCount(), std::size_t(3));
    const QString &m = loaded.message;
    QVERIFY2(m.contains(QDir::toNativeSeparators(path())), qPrintable(m));
    for (const char *line : {"riga 3: Minimo: non è un numero", "riga 5: servono 4 campi", "riga 7: Codice",
                             "riga 8: Codice", "riga 10: Massimo", "riga 11: Codice"})
        QVERIFY2(m.contains(line), qPrintable(line + ("\n" + m)));
    QVERIFY2(!m.contains("riga 2:") && !m.contains("riga 4:") && !m.contains("riga 9:"), qPrintable(m));
    // Reading changes nothing in the file.
    QCOMPARE(contents(path()), kMixedFile);
}

void TestCatalogue::aChangeCarriesTheSkippedLinesOver()
{
    QVERIFY(write(path(), kMixedFile));
    const PumpFile file(path());
    const PumpFile::Changed changed = file.change([](Catalogue &c) { return c.add(pump("0445010700", 30, 40, 90)); });
    QVERIFY2(changed.catalogue, qPrintable(changed.message));
    QCOMPARE(contents(path()),
             QByteArray("codice;minimo_mm;massimo_mm;fine_alzata_gradi\n"
                        "0445010700;30;40;90\n"
                        "0445010800;37,35;46,95;110\n"
                        "0445010804;20,125;21;360\n"
                        "B0445010803;30;40,5;90\n"
                        "0445010801;37.35;46,95;110\n"
                        "0445010802;37,35;46,95\n"
                        "0445010800;30;40;90\n"
                        "0445010790;30;40;90\n"
                        "0445010805;45;40;90\n"
                        "04450108;30;40;90\n"));
    // Read again: the same pumps, the same lines skipped.
    const PumpFile::Loaded again = file.load();
    QCOMPARE(codes(again.catalogue), codes(*changed.catalogue));
    QCOMPARE(again.catalogue.skipped.size(), std::size_t(6));
}

void TestCatalogue::aChangeIsMadeOnTheFileAsItIsNow()
{
    const PumpFile file(path());
    QVERIFY(file.change([](Catalogue &c) { return c.add(pump("0445010800", 30, 40, 90)); }).catalogue);
    // Another copy of the program adds a pump meanwhile.
    QVERIFY(PumpFile(path()).change([](Catalogue &c) { return c.add(pump("0445010801", 31, 41, 91)); }).catalogue);
    const PumpFile::Changed changed = file.change([](Catalogue &c) {
        c.remove("0445010800");
        return std::optional<Problem>();
    });
    QVERIFY(changed.catalogue);
    QCOMPARE(codes(*changed.catalogue), kBuiltInCodes + QStringList{"0445010801"});
    // A change refused leaves the file as it was.
    const QByteArray before = contents(path());
    const PumpFile::Changed refused = file.change([](Catalogue &c) { return c.add(pump("0445010801", 1, 2, 3)); });
    QVERIFY(!refused.catalogue);
    QVERIFY(refused.problem);
    QCOMPARE(contents(path()), before);
}

void TestCatalogue::fileThatCannotBeReadIsNeverWritten_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    QTest::newRow("a folder in its place") << "folder"
                                           << "al suo posto c'è una cartella";
    QTest::newRow("larger than 1 MB") << "large"
                                      << "è più grande di 1 MB";
#ifndef Q_OS_WIN
    // A pipe that no program writes to: opening it would wait for ever.
    QTest::newRow("a pipe in its place") << "pipe"
                                         << "non è un file ordinario";
#endif
}

void TestCatalogue::fileThatCannotBeReadIsNeverWritten()
{
    QFETCH(QString, kind);
    QFETCH(QString, why);
    QByteArray large;
    if (kind == "folder") {
        QVERIFY(QDir().mkpath(path()));
    } else if (kind == "pipe") {
#ifndef Q_OS_WIN
        QVERIFY(QDir().mkpath(QFileInfo(path()).absolutePath()));
        QVERIFY(::mkfifo(QFile::encodeName(path()).constData(), 0600) == 0);
#endif
    } else {
        large = "codice;minimo_mm;massimo_mm;fine_alzata_gradi\n0445010800;30;40;90\n";
        large += QByteArray(int(PumpFile::kMaxSize), '\n');
        QVERIFY(write(path(), large));
    }
    const PumpFile file(path());
    const PumpFile::Loaded loaded = file.load();
    QCOMPARE(codes(loaded.catalogue), kBuiltInCodes);
    QVERIFY2(loaded.message.contains(why) && loaded.message.contains(QDir::toNativeSeparators(path())),
             qPrintable(loaded.message));

    const PumpFile::Changed changed = file.change([](Catalogue &c) { return c.add(pump("0445010700", 30, 40, 90)); });
    QVERIFY(!changed.catalogue);
    QVERIFY2(changed.message.contains(why), qPrintable(changed.message));
    if (kind == "folder")
        QVERIFY(QFileInfo(path()).isDir());
    else if (kind == "pipe")
        QVERIFY(QFileInfo(path()).exists() && !QFileInfo(path()).isFile());
    else
        QCOMPARE(contents(path()), large);
}

void TestCatalogue::fileThatCannotBeWrittenIsToldAndChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    QTest::newRow("a file where the folder should be") << "file for folder"
                                                       << "la cartella non può essere creata";
    QTest::newRow("read-only file") << "read-only file"
                                    << "il file è di sola lettura";
    QTest::newRow("read-only folder") << "read-only folder"
                                      << "la cartella è di sola lettura";
    QTest::newRow("full disk") << "full disk"
                               << "il disco è pieno";
}

void TestCatalogue::fileThatCannotBeWrittenIsToldAndChangesNothing()
{
    QFETCH(QString, kind);
    QFETCH(QString, why);
    const QString folder = QFileInfo(path()).absolutePath();
    QByteArray before = kHeaderLine;
    for (int i = 0; i < 40; ++i)
        before += QByteArray::number(445010900 + i).rightJustified(10, '0') + ";30;40;90\n";
    QString kept = path();  // what must stay as it was
    std::optional<ReadOnly> readOnly;
#ifndef Q_OS_WIN
    std::optional<FileSizeLimit> full;
#endif
    if (kind == "file for folder") {
        before = "not a folder";
        kept = folder;
        QVERIFY(write(folder, before));
    } else {
        QVERIFY(write(path(), before));
        if (kind == "full disk") {
#ifdef Q_OS_WIN
            QSKIP("a file size limit is a Unix facility");
#else
            full.emplace(512);  // the lock file fits, the pumps do not
#endif
        } else {
#ifdef Q_OS_WIN
            if (kind == "read-only folder")
                QSKIP("Windows' read-only attribute does not keep files out of a folder");
#endif
            readOnly.emplace(kind == "read-only file" ? path() : folder);
            if (!readOnly->done())
                QSKIP("this file system has no attribute that keeps root out");
        }
    }
    const PumpFile::Changed changed
        = PumpFile(path()).change([](Catalogue &c) { return c.add(pump("0445010700", 30, 40, 90)); });
    QVERIFY(!changed.catalogue);
    QCOMPARE(changed.message,
             "Il file delle pompe non può essere scritto:\n" + QDir::toNativeSeparators(path()) + "\n(" + why
                 + ")\n\nIl catalogo non è cambiato.");
    QCOMPARE(contents(kept), before);
    // Nothing left behind: no lock, no temporary file.
    if (kind != "file for folder")
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"pompe.csv"});
}

void TestCatalogue::windows1252AndUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QString>("fromWindows1252");
    QTest::newRow("ASCII") << QByteArray("110") << true << "110";
    QTest::newRow("110° in UTF-8") << QByteArray("110\xC2\xB0") << true << "110Â°";
    QTest::newRow("110° in Windows-1252") << QByteArray("110\xB0") << false << "110°";
    QTest::newRow("€ and Ÿ, 0x80 and 0x9F") << QByteArray("\x80\x9F") << false << "€Ÿ";
    QTest::newRow("unassigned 0x81") << QByteArray("\x81") << false << "\u0081";
    QTest::newRow("È, 0xC8") << QByteArray("\xC8") << false << "È";
    QTest::newRow("ÿ, 0xFF") << QByteArray("\xFF") << false << "ÿ";
    QTest::newRow("€ in UTF-8") << QByteArray("\xE2\x82\xAC") << true << "â‚¬";
    QTest::newRow("a 4-byte character") << QByteArray("\xF0\x9F\x98\x80") << true << "ðŸ˜€";
    QTest::newRow("cut short") << QByteArray("\xE2\x82") << false << "â‚";
    QTest::newRow("overlong /") << QByteArray("\xC0\xAF") << false << "À¯";
    QTest::newRow("a surrogate") << QByteArray("\xED\xA0\x80") << false << "í\u00A0€";
    QTest::newRow("beyond Unicode") << QByteArray("\xF4\x90\x80\x80") << false << "ô\u0090€€";
}

void TestCatalogue::windows1252AndUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    QFETCH(QString, fromWindows1252);
    QCOMPARE(isValidUtf8(bytes.toStdString()), utf8);
    QCOMPARE(q(catalogue::fromWindows1252(bytes.toStdString())), fromWindows1252);
}

// Files as spreadsheets and editors save them: read, then changed (a pump
// added), then read again.
void TestCatalogue::aFileAsASpreadsheetSavesIt_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("pumps");
    QTest::addColumn<QStringList>("skipped");
    QTest::addColumn<QByteArray>("written");  // after 0445010700 is added

    const QByteArray added = "0445010700;30;40;90\n";
    QTest::newRow("UTF-8 with a byte order mark, 110°")
        << "\xEF\xBB\xBF" + kHeaderLine + "0445010800;37,35;46,95;110\xC2\xB0\r\n"
        << QStringList{"0445010800 37.35 46.95 110"} << QStringList{}
        << kHeaderLine + added + "0445010800;37,35;46,95;110\n";
    QTest::newRow("UTF-8 without one, a line with È skipped")
        << kHeaderLine + "0445010800;37,35;46,95;110\xC2\xB0\n044501080\xC3\x88;30;40;90\xC2\xB0\n"
        << QStringList{"0445010800 37.35 46.95 110"} << QStringList{"3 Codice"}
        << kHeaderLine + added + "0445010800;37,35;46,95;110\n044501080\xC3\x88;30;40;90\xC2\xB0\n";
    QTest::newRow("Windows-1252 from a spreadsheet: 110\xB0, a line with \xC8 skipped")
        << kHeaderLine
            + "0445010800;37,35;46,95;110\xB0\r\n"
              "\"0445010801\";\"30\";\"40,5\";\"90\xB0\";;\r\n"
              "044501080\xC8;30;40;90\xB0\r\n"
        << QStringList{"0445010800 37.35 46.95 110", "0445010801 30 40.5 90"} << QStringList{"4 Codice"}
        << kHeaderLine + added + "0445010800;37,35;46,95;110\n0445010801;30;40,5;90\n044501080\xC8;30;40;90\xB0\n";
    QTest::newRow("two catalogues joined, one UTF-8, one Windows-1252")
        << kHeaderLine + "0445010800;37,35;46,95;110\xC2\xB0\n0445010801;30;40;90\xB0\n"
        << QStringList{"0445010800 37.35 46.95 110", "0445010801 30 40 90"} << QStringList{}
        << kHeaderLine + added + "0445010800;37,35;46,95;110\n0445010801;30;40;90\n";
}

void TestCatalogue::aFileAsASpreadsheetSavesIt()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, pumps);
    QFETCH(QStringList, skipped);
    QFETCH(QByteArray, written);
    QVERIFY(write(path(), file));
    const PumpFile pumpFile(path());
    const PumpFile::Loaded loaded = pumpFile.load();
    QCOMPARE(userPumps(loaded.catalogue), pumps);
    QCOMPARE(skippedLines(loaded.catalogue), skipped);
    QCOMPARE(loaded.message.isEmpty(), skipped.isEmpty());

    const PumpFile::Changed changed
        = pumpFile.change([](Catalogue &c) { return c.add(pump("0445010700", 30, 40, 90)); });
    QVERIFY2(changed.catalogue, qPrintable(changed.message));
    QCOMPARE(contents(path()), written);
    const PumpFile::Loaded again = pumpFile.load();
    QCOMPARE(userPumps(again.catalogue), QStringList{"0445010700 30 40 90"} + pumps);
    QCOMPARE(again.catalogue.skipped.size(), std::size_t(skipped.size()));
}

// Two catalogues joined by hand hold a code twice; the user deletes or
// changes that pump.
void TestCatalogue::deleteAndChangeTakeEveryLineOfTheCode_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("replacement");  // "code;min;max;angle"; empty: deleted
    QTest::addColumn<int>("lines");            // lines with 0445010800 before
    QTest::addColumn<QByteArray>("written");

    const QByteArray twice = kHeaderLine
        + "0445010800;37,35;46,95;110\n"
          "0445010801;30;40;90\n"
          "0445010800;30;40;90\n";
    QTest::newRow("twice, deleted") << twice << QString() << 2 << kHeaderLine + "0445010801;30;40;90\n";
    QTest::newRow("twice, changed") << twice << "0445010800;31;41;91" << 2
                                    << kHeaderLine + "0445010800;31;41;91\n0445010801;30;40;90\n";
    QTest::newRow("twice, changed to another code")
        << twice << "0445010900;31;41;91" << 2 << kHeaderLine + "0445010801;30;40;90\n0445010900;31;41;91\n";
    const QByteArray thrice = kHeaderLine
        + "0445010800;37,35;46,95;110\n"
          "\" 0445010800\";37,35;46,95;110\n"  // the same in quotes
          "0445010800;37.35;46,95;110\n"       // the same code, a line that cannot be read
          "0445010802;37.35;46,95;110\n"       // another line that cannot be read
          "0445010801;30;40;90\n"
          "nonsense\n";
    QTest::newRow("three lines, others skipped, deleted")
        << thrice << QString() << 3 << kHeaderLine + "0445010801;30;40;90\n0445010802;37.35;46,95;110\nnonsense\n";
    QTest::newRow("three lines, others skipped, changed")
        << thrice << "0445010800;31;41;91" << 3
        << kHeaderLine + "0445010800;31;41;91\n0445010801;30;40;90\n0445010802;37.35;46,95;110\nnonsense\n";
    QTest::newRow("once, deleted") << kHeaderLine + "0445010800;37,35;46,95;110\n0445010801;30;40;90\n"
                                   << QString() << 1 << kHeaderLine + "0445010801;30;40;90\n";
}

void TestCatalogue::deleteAndChangeTakeEveryLineOfTheCode()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, replacement);
    QFETCH(int, lines);
    QFETCH(QByteArray, written);
    QVERIFY(write(path(), file));
    const PumpFile pumpFile(path());
    QCOMPARE(pumpFile.load().catalogue.linesWith("0445010800"), std::size_t(lines));

    std::optional<Pump> changedTo;
    if (!replacement.isEmpty()) {
        const QStringList f = replacement.split(';');
        changedTo = readPump({f[0].toStdString(), f[1].toStdString(), f[2].toStdString(), f[3].toStdString()}).pump;
    }
    const PumpFile::Changed changed = pumpFile.change([&](Catalogue &c) -> std::optional<Problem> {
        if (changedTo)
            return c.replace("0445010800", *changedTo);
        return c.remove("0445010800") ? std::nullopt : std::optional<Problem>(Problem{Field::Codice, "none"});
    });
    QVERIFY2(changed.catalogue, qPrintable(changed.message));
    QCOMPARE(contents(path()), written);
    // Read again: the pump is gone or as changed, not back with another
    // line's figures.
    const Catalogue again = pumpFile.load().catalogue;
    QCOMPARE(userPumps(again), userPumps(*changed.catalogue));
    if (changedTo && changedTo->code == "0445010800")
        QCOMPARE(*again.find("0445010800"), *changedTo);
    else
        QVERIFY(!again.find("0445010800"));
    QCOMPARE(again.linesWith("0445010800"), std::size_t(changedTo && changedTo->code == "0445010800" ? 1 : 0));
}

// Two writers through the real file at the same moment, each adding pumps:
// none is lost, and the lock goes with the last change.
void TestCatalogue::twoWritersAtOnceLoseNoPump()
{
    constexpr int kEach = 20;
    std::latch start(2);
    QStringList failures[2];
    const auto writer = [&](int which) {
        start.arrive_and_wait();
        for (int i = 0; i < kEach; ++i) {
            const std::string code = std::string(1, char('A' + which)) + std::to_string(100000000 + i);
            const PumpFile::Changed changed
                = PumpFile(path()).change([&](Catalogue &c) { return c.add(pump(code.c_str(), 30, 40, 90)); });
            if (!changed.catalogue)
                failures[which] << changed.message;
        }
    };
    QVERIFY(QDir().mkpath(QFileInfo(path()).absolutePath()));
    std::unique_ptr<QThread> threads[2]{std::unique_ptr<QThread>(QThread::create(writer, 0)),
                                        std::unique_ptr<QThread>(QThread::create(writer, 1))};
    for (auto &t : threads)
        t->start();
    for (auto &t : threads)
        QVERIFY(t->wait(120000));
    QCOMPARE(failures[0] + failures[1], QStringList());
    QCOMPARE(PumpFile(path()).load().catalogue.userCount(), std::size_t(2 * kEach));
    QCOMPARE(QDir(QFileInfo(path()).absolutePath()).entryList(QDir::Files | QDir::Hidden), QStringList{"pompe.csv"});
}

void TestCatalogue::aLockHeldByAnotherCopyIsToldAndACrashedOnesIsNot()
{
    const QByteArray before = kHeaderLine + "0445010800;30;40;90\n";
    QVERIFY(write(path(), before));
    const PumpFile file(path());
    const auto add = [](Catalogue &c) { return c.add(pump("0445010700", 30, 40, 90)); };
    OtherCopy other(path());
    QVERIFY(other.held());

    QElapsedTimer waited;
    waited.start();
    const PumpFile::Changed refused = file.change(add);
    QVERIFY(!refused.catalogue);
    QVERIFY(waited.elapsed() >= PumpFile::kLockWait.count() - 100);
    QCOMPARE(refused.message,
             "Il file delle pompe è in uso da un'altra copia di Rotamet:\n" + QDir::toNativeSeparators(path())
                 + "\n\nIl catalogo non è cambiato. Riprovare tra un momento.");
    QCOMPARE(contents(path()), before);

    // The other copy crashes, its lock left behind: the next change goes
    // through at once.
    other.crash();
    QVERIFY(QFileInfo::exists(path() + ".lock"));
    waited.restart();
    const PumpFile::Changed changed = file.change(add);
    QVERIFY2(changed.catalogue, qPrintable(changed.message));
    QVERIFY(waited.elapsed() < PumpFile::kLockWait.count());
    QCOMPARE(contents(path()), kHeaderLine + "0445010700;30;40;90\n0445010800;30;40;90\n");
    QVERIFY(!QFileInfo::exists(path() + ".lock"));
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // A second copy of the program, for the tests of the lock.
    if (argc == 3 && QByteArray(argv[1]) == "--hold-lock")
        return holdLock(QString::fromLocal8Bit(argv[2]));
    TestCatalogue test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_catalogue.moc"
