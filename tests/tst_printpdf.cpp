// The real printer writing PDF files into a folder: the page read back with
// pdftotext (rows in order, speeds right-aligned, each row's figures), the
// files it leaves (one per print, none after a failure) and the error for a
// folder it cannot write.
#include <QtTest>

#include "numtext/runtimeerror.h"
#include "print/pagecomposer.h"
#include "print/stampascala.h"
#include "support/folderfiles.h"
#include "support/modelform.h"
#include "support/pagetext.h"
#include "support/testmain.h"

using namespace rotamet::print;
using rotamet::RunTimeError;
using rotamet::calc::Field;
using namespace rotamet::pagetext;
using rotamet::files;

namespace {

QString pdfName(int n)
{
    return QString("Rotamet %1 %2.pdf").arg(QDate::currentDate().toString(Qt::ISODate)).arg(n, 3, 10, QChar('0'));
}

// A window whose event processing fails on the given speed-table row.
struct FailingForm : ModelForm {
    FailingForm(Printer &p, int row) : ModelForm(p), failOnRow(row) {}
    int failOnRow;
    int rows = 0;
    void processPendingEvents() override
    {
        ModelForm::processPendingEvents();
        if (++rows == failOnRow)
            throw RunTimeError(rotamet::errcode::PrinterError);
    }
};

}  // namespace

class TestPrintPdf : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void pageReadsBack();
    void speedsEndAtOneEdge();
    void pdfIsOneA4Page();
    void namesTellWhereThePageGoes();
    void secondPrintDoesNotOverwriteTheFirst();
    void unwritableFolder_data();
    void unwritableFolder();
    void printerDestroyedMidPageLeavesNoFile();
    void pageLeftByAFailedPrintIsDroppedByTheNext();

private:
    QTemporaryDir printed_;  // one page printed with the window as it opens
    QString pdf_;
    QString message_;
    QList<Line> lines_;
    QScopedPointer<QTemporaryDir> dir_;  // a fresh folder for each test
};

void TestPrintPdf::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "pdftotext (poppler-utils) is missing");
    PageComposer printer(printed_.path());
    ModelForm form(printer);
    StampaScala(form);
    QCOMPARE(form.boxes.size(), std::size_t(1));
    message_ = QString::fromStdString(form.boxes[0].text);
    QCOMPARE(files(printed_.path()), QStringList{pdfName(1)});
    pdf_ = printed_.filePath(pdfName(1));
    lines_ = readLines(pdf_);
    QVERIFY(!lines_.isEmpty());
}

void TestPrintPdf::init() { dir_.reset(new QTemporaryDir); }

void TestPrintPdf::pageReadsBack()
{
    QStringList expected;
    for (int speed = 2500; speed >= 100; speed -= 100)
        expected << QString("%1 7,0° %2 %3")
                        .arg(speed)
                        .arg(QString::fromStdString(ModelForm::strokeText(speed, 70)),
                             QString::fromStdString(ModelForm::timeText(speed, 70)));
    for (int angle = 15; angle <= 90; angle += 15)
        expected << QString("1000 %1,0° %2 %3")
                        .arg(angle)
                        .arg(QString::fromStdString(ModelForm::strokeText(1000, angle * 10)),
                             QString::fromStdString(ModelForm::timeText(1000, angle * 10)));
    QStringList got;
    for (const Line &l : rows(lines_))
        got << text(l);
    QCOMPARE(got, expected);

    QCOMPARE(text(lines_.first()), QString("Codice pompa: 0445010760 Corsa di alzata: 4,80 mm"));
    QVERIFY(text(lines_.last()).startsWith("10/12/2026 - Progetto rotamet"));
}

void TestPrintPdf::speedsEndAtOneEdge()
{
    const QList<Line> table = rows(lines_);
    QCOMPARE(table.size(), 31);
    for (const Line &l : table)
        QVERIFY2(qAbs(l.first().right - table.first().first().right) < 0.3, qPrintable(text(l)));
    const auto start = [&](const QString &speed) {
        for (const Line &l : table)
            if (l.first().text == speed)
                return l.first().left;
        return -1.0;
    };
    QVERIFY(start("900") > start("1000") + 3);
    QVERIFY(start("1000") > 0);
}

void TestPrintPdf::pdfIsOneA4Page()
{
    const QString info = run("pdfinfo", {pdf_});
    QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));
    QVERIFY2(info.contains("(A4)"), qPrintable(info));
}

void TestPrintPdf::namesTellWhereThePageGoes()
{
    QCOMPARE(message_, "Stampa effettuata su '" + QDir::toNativeSeparators(pdf_) + "'");

    PageComposer printer(dir_->path());
    QCOMPARE(QString::fromStdString(printer.deviceName()), QDir::toNativeSeparators(dir_->filePath(pdfName(1))));
    QCOMPARE(printer.secondText(), std::string("(file PDF)"));
}

void TestPrintPdf::secondPrintDoesNotOverwriteTheFirst()
{
    PageComposer printer(dir_->path());
    ModelForm first(printer);
    StampaScala(first);
    ModelForm second(printer);
    second.fields[Field::Angolo] = "12,0°";
    StampaScala(second);

    QCOMPARE(files(dir_->path()), (QStringList{pdfName(1), pdfName(2)}));
    // The message names the file as the system writes paths (backslashes on Windows).
    QCOMPARE(second.boxes.back().text,
             "Stampa effettuata su '" + QDir::toNativeSeparators(dir_->filePath(pdfName(2))).toStdString() + "'");
    QVERIFY(text(rows(readLines(dir_->filePath(pdfName(1)))).first()).contains("7,0°"));
    QVERIFY(text(rows(readLines(dir_->filePath(pdfName(2)))).first()).contains("12,0°"));
}

void TestPrintPdf::unwritableFolder_data()
{
    QTest::addColumn<QString>("folder");  // relative to a fresh temporary folder
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("folder below a plain file") << "blocker/stampe" << false;
    QTest::newRow("read-only folder") << "sola-lettura" << true;
}

void TestPrintPdf::unwritableFolder()
{
    QFETCH(QString, folder);
    QFETCH(bool, readOnly);

    QFile blocker(dir_->filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = dir_->filePath(folder);
    if (readOnly) {
        QVERIFY(QDir().mkpath(path));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(path + "/probe");
        if (probe.open(QIODevice::WriteOnly)) {  // root writes anyway
            probe.remove();
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user can write into a read-only folder");
        }
    }

    PageComposer printer(path);
    ModelForm form(printer);
    StampaScala(form);

    QCOMPARE(form.boxes.size(), std::size_t(1));
    QCOMPARE(form.boxes[0].title, std::string("Errore di stampa"));
    QVERIFY(form.boxes[0].critical);
    const QString box = QString::fromStdString(form.boxes[0].text);
    QVERIFY2(box.startsWith("Errore   75  ") && box.contains(QDir::toNativeSeparators(path)), qPrintable(box));
    QCOMPARE(form.fields[Field::GiriMinuto], std::string("1000"));  // given back, not left at 2500
    QCOMPARE(files(dir_->path()), QStringList{"blocker"});
    if (readOnly) {
        QCOMPARE(files(path), QStringList());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

void TestPrintPdf::printerDestroyedMidPageLeavesNoFile()
{
    {
        PageComposer printer(dir_->path());
        printer.setOrientation(1);
        printer.print("mezza pagina", true);
        QCOMPARE(files(dir_->path()), QStringList());  // composed outside the folder
    }
    QCOMPARE(files(dir_->path()), QStringList());
}

void TestPrintPdf::pageLeftByAFailedPrintIsDroppedByTheNext()
{
    PageComposer printer(dir_->path());
    FailingForm failing(printer, 10);
    StampaScala(failing);
    QCOMPARE(failing.boxes.size(), std::size_t(1));
    QVERIFY(failing.boxes[0].warning);
    QCOMPARE(failing.fields[Field::GiriMinuto], std::string("1000"));  // given back
    QCOMPARE(files(dir_->path()), QStringList());

    ModelForm next(printer);
    StampaScala(next);
    QCOMPARE(files(dir_->path()), QStringList{pdfName(1)});
    const QString pdf = dir_->filePath(pdfName(1));
    QCOMPARE(rows(readLines(pdf)).size(), 31);
    QVERIFY(run("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+1\\n")));
}

ROTAMET_TEST_MAIN(TestPrintPdf)
#include "tst_printpdf.moc"
