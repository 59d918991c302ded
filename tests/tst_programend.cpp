// How the program ends while work of its own is still under way on another
// thread: a page stuck on its way to the target (inside a system call) when
// the program is ended. The program is this suite itself, started again
// with --stampa-bloccata: it opens the window as app/main.cpp does, prints
// to a PDF folder whose page is written and then never handed on, and is
// ended meanwhile: its event loop ends with the page still stuck.
#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/application.h"
#include "print/page.h"
#include "print/pagecomposer.h"
#include "print/targets/pdfwriting.h"
#include "print/targets/printtarget.h"
#include "support/folderfiles.h"
#include "support/recordingservices.h"
#include "window/frmmain.h"

using namespace rotamet;

namespace {

const char *const kStuckPrint = "--stampa-bloccata";
std::atomic<bool> stuck = false;

// Writes the page into its folder under its hidden name, then never returns.
class StuckTarget : public print::PrintTarget {
public:
    explicit StuckTarget(QString folder) : folder_(std::move(folder)) {}
    std::string deviceName() const override { return "Cartella bloccata"; }
    std::string secondText() const override { return "(file PDF)"; }
    std::optional<Handed> deliver(const print::Page &page) override
    {
        const print::PdfPart part(folder_, page);
        stuck = true;
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    }

private:
    QString folder_;
};

int stuckPrint(int argc, char *argv[])
{
    QApplication app(argc, argv);
    RecordingServices services;
    print::PageComposer printer(std::make_shared<StuckTarget>(QString::fromLocal8Bit(argv[2])));
    services.printerInUse = &printer;
    FrmMain form(services);
    form.load();
    QTimer::singleShot(0, &form, [&] { form.findChild<QPushButton *>(QStringLiteral("cmdStampa"))->click(); });
    QTimer ending;
    QObject::connect(&ending, &QTimer::timeout, [] {
        if (!stuck)
            return;
        std::puts("pagina bloccata");
        // Not quit(), which asks the window to close first: a window keeps a
        // close during a print for its end, which never comes here.
        QCoreApplication::exit(0);
    });
    ending.start(10);
    return endProgram(app.exec());
}

}  // namespace

class TestProgramEnd : public QObject {
    Q_OBJECT
private slots:
    void aPageStuckAtTheEndLeavesNoFileAndEndsWell();
};

// The program ends with status 0 within a short deadline, and the hidden
// file of the page that never got its name is gone.
void TestProgramEnd::aPageStuckAtTheEndLeavesNoFileAndEndsWell()
{
    QTemporaryDir folder;
    QProcess program;
    program.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kStuckPrint), folder.path()});
    QVERIFY(program.waitForFinished(60000));
    QVERIFY2(program.readAllStandardOutput().contains("pagina bloccata"), "the page never got stuck");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(files(folder.path()), QStringList());
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], kStuckPrint) == 0)
        return stuckPrint(argc, argv);
    QApplication app(argc, argv);
    TestProgramEnd suite;
    return QTest::qExec(&suite, argc, argv);
}

#include "tst_programend.moc"
