// The window's speed, each against what a Qt program could not do faster:
// - one calculation run, and one keystroke in the speed field until every
//   label holds its new figure (and until the window has repainted), also
//   with 0 and 500 PDF pages of today in the documents folder;
// - one printed page to PDF through the window and the real printer, against
//   the same texts drawn on a PDF page with QPainter directly;
// - start-up until the window is on the screen, and the peak memory, of the
//   program's window (startup_rotamet) against a bare Qt window
//   (startup_minimal) and against the floor, the same window with no logic
//   (startup_floor), each started as a process again and again.
#include "bench/benchapplication.h"
#include "print/pagecomposer.h"
#include "support/recordingprinter.h"
#include "support/recordingservices.h"
#include "tests/support/environmentsetting.h"
#include "window/frmmain.h"
#include "window/qtservices.h"
#include "window/textbox.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using rotamet::FrmMain;
using rotamet::RecordingServices;

// The window as the program opens it, on the screen.
struct Window {
    RecordingServices services;
    FrmMain form{services};
    Window()
    {
        form.load();
        if (!QTest::qWaitForWindowExposed(&form))
            qWarning("window not exposed");
        QCoreApplication::processEvents();
    }
};

// ---------------------------------------------------------------- the window

void Window_Calculation(benchmark::State &state)
{
    needApplication();
    Window w;
    for (auto _ : state)
        w.form.cmdCalcola_Click();
}
BENCHMARK(Window_Calculation);

// A digit typed into the speed field replaces its last one (1000 → 1001 →
// 1002 → 1001...): the text changes every time, so every keystroke runs the
// calculation and rewrites every label.
void keystrokes(benchmark::State &state, FrmMain &form, bool repaint)
{
    auto *box = form.findChild<rotamet::TextBox *>("txtGiriMinuto");
    box->setFocus();
    box->setText("1000");
    const int runsBefore = form.calculationRuns();
    char digit = '1';
    for (auto _ : state) {
        box->setSelection(3, 1);
        QTest::keyClick(box, digit);
        digit = digit == '1' ? '2' : '1';
        if (repaint)
            QCoreApplication::processEvents();
    }
    state.counters["runs_per_key"] = double(form.calculationRuns() - runsBefore) / double(state.iterations());
}

void Window_Keystroke(benchmark::State &state)
{
    needApplication();
    Window w;
    keystrokes(state, w.form, false);
}
BENCHMARK(Window_Keystroke);

void Window_KeystrokeRepainted(benchmark::State &state)
{
    needApplication();
    Window w;
    keystrokes(state, w.form, true);
}
BENCHMARK(Window_KeystrokeRepainted);

// The same keystroke in the program's own window, services and printer
// with no print server, so that the print button's tooltip names the
// documents folder's next PDF, when that folder (in a home of the
// benchmark's own) already holds range(0) pages of today. The keystroke
// must cost the same however many there are.
void Window_KeystrokeWithPagesOfToday(benchmark::State &state)
{
    needApplication();
    QTemporaryDir home;
    const QDir documents(home.filePath("Documents"));
    QDir().mkpath(documents.path());
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const auto page
        = [&](int n) { return documents.filePath(QString("Rotamet %1 %2.pdf").arg(today).arg(n, 3, 10, QChar('0'))); };
    for (int n = 1; n <= state.range(0); ++n) {
        QFile file(page(n));
        if (!file.open(QIODevice::WriteOnly))
            state.SkipWithError("cannot make the pages");
    }
    const rotamet::EnvironmentSetting homeFolder("HOME", QFile::encodeName(home.path()));
    const rotamet::EnvironmentSetting config("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
    const rotamet::EnvironmentSetting noServer("CUPS_SERVER", QFile::encodeName(home.filePath("nessuno.sock")));
    struct Services : rotamet::QtServices {
        void messageBox(const QString &, const QString &, rotamet::BoxIcon) override {}
    } services;
    FrmMain form(services);
    services.setMainWindow(&form);
    form.load();
    auto *print = form.findChild<QPushButton *>("cmdStampa");
    const QString expected = "Stampa su: " + QDir::toNativeSeparators(page(int(state.range(0)) + 1)) + " (file PDF)";
    if (!QTest::qWaitFor([&] { return print->toolTip() == expected; }, 20000))
        state.SkipWithError(qPrintable("tooltip: " + print->toolTip()));
    keystrokes(state, form, false);
}
BENCHMARK(Window_KeystrokeWithPagesOfToday)->Arg(0)->Arg(500);

// ---------------------------------------------------------------- against a baseline

// The machine's load changes from one second to the next, so a figure and
// its baseline are measured in turns, one of each per iteration. The time
// reported is ours; the baseline's median and the ratio of the medians are
// counters. Each function does its own timing, in milliseconds, and leaves
// its clean-up out of it.
template <class Ours, class Baseline>
void inTurns(benchmark::State &state, Ours &&ours, Baseline &&baseline)
{
    std::vector<double> a, b;
    for (auto _ : state) {
        const double ms = ours();
        state.SetIterationTime(ms / 1000.0);
        a.push_back(ms);
        b.push_back(baseline());
    }
    const auto median = [](std::vector<double> &v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    };
    if (a.empty())
        return;
    const double oursMedian = median(a), baselineMedian = median(b);
    state.counters["median_ms"] = oursMedian;
    state.counters["baseline_ms"] = baselineMedian;
    state.counters["x_baseline"] = oursMedian / baselineMedian;
}

double millisecondsOf(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// ---------------------------------------------------------------- the page

// The program's own services (event processing included), except that the
// printer writes PDF files into a folder and a message box is noted, not shown.
struct PdfServices : rotamet::QtServices {
    rotamet::print::PageComposer pdf;
    QStringList boxTitles;
    explicit PdfServices(const QString &folder) : pdf(folder) {}
    rotamet::print::Printer &printer() override { return pdf; }
    void messageBox(const QString &, const QString &title, rotamet::BoxIcon) override { boxTitles << title; }
};

void removeFiles(const QString &folder)
{
    QDir dir(folder);
    for (const QString &f : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(f);
}

// Every operation of the page the window prints, with the state each ran
// under, taken once from the recording printer.
const std::vector<rotamet::print::RecordingPrinter::Op> &recordedPage()
{
    static const std::vector<rotamet::print::RecordingPrinter::Op> ops = [] {
        RecordingServices services;
        FrmMain form(services);
        form.Form_Load();
        form.cmdStampa_Click();
        return services.recordingPrinter.ops;
    }();
    return ops;
}

// The baseline: the page's 144 texts (header, 31 rows, footer) and 2 rules,
// each where and as the window prints it, drawn with QPainter on an A4 PDF
// page at 600 dpi, and nothing else.
class QPainterPage {
public:
    explicit QPainterPage(const QString &file) : file_(file)
    {
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setResolution(600);
        printer_.setPageSize(QPageSize(QPageSize::A4));
    }

    void print()
    {
        const auto px = [](float twips) { return twips * 600.0 / 1440.0; };
        printer_.setOutputFileName(file_);
        QPainter painter(&printer_);
        for (const auto &op : recordedPage()) {
            const QColor colour(op.colour.red, op.colour.green, op.colour.blue);
            if (op.name == "Line") {
                painter.setPen(QPen(colour, op.drawWidth));
                painter.drawLine(QPointF(px(op.x1), px(op.y1)), QPointF(px(op.x2), px(op.y2)));
            } else if (op.name == "Print") {
                QFont font(QString::fromStdString(op.fontName));
                font.setPointSizeF(op.fontSize);
                font.setBold(op.bold);
                painter.setFont(font);
                painter.setPen(colour);
                painter.drawText(QPointF(px(op.x), px(op.y) + painter.fontMetrics().ascent()),
                                 QString::fromStdString(op.text));
            }
        }
    }

private:
    QString file_;
    QPrinter printer_{QPrinter::HighResolution};
};

// A click on "stampa": the page through the window (the calculation fills
// every row, the window repaints after each speed row) and the real printer.
void Print_WindowToPdf(benchmark::State &state)
{
    needApplication();
    QTemporaryDir folder;
    PdfServices services(folder.path());
    FrmMain form(services);
    form.load();
    if (!QTest::qWaitForWindowExposed(&form))
        state.SkipWithError("window not exposed");
    QPainterPage page(folder.filePath("baseline.pdf"));
    inTurns(
        state,
        [&] {
            const double ms = millisecondsOf([&] { form.cmdStampa_Click(); });
            if (services.boxTitles != QStringList{"Stampa scala"})
                state.SkipWithError("the print failed");
            services.boxTitles.clear();
            removeFiles(folder.path());
            return ms;
        },
        [&] { return millisecondsOf([&] { page.print(); }); });
}
BENCHMARK(Print_WindowToPdf)->UseManualTime()->Unit(benchmark::kMillisecond);

// The printer alone: the page's operations (with the text widths and the
// reads of the print position) replayed on the real printer, no window.
void Print_PageThroughComposer(benchmark::State &state)
{
    needApplication();
    QTemporaryDir folder;
    rotamet::print::PageComposer pdf(folder.path());
    const auto replay = [&pdf] {
        for (const auto &op : recordedPage()) {
            const std::string &n = op.name;
            if (n == "Orientation")
                pdf.setOrientation(std::int16_t(op.value));
            else if (n == "FontName")
                pdf.setFontName(op.text);
            else if (n == "FontSize")
                pdf.setFontSize(op.value);
            else if (n == "FontBold")
                pdf.setFontBold(op.value != 0);
            else if (n == "ForeColor")
                pdf.setForeColor(op.colour);
            else if (n == "CurrentX")
                pdf.setCurrentX(op.value);
            else if (n == "CurrentY")
                pdf.setCurrentY(op.value);
            else if (n == "GetCurrentX")
                benchmark::DoNotOptimize(pdf.currentX());
            else if (n == "GetCurrentY")
                benchmark::DoNotOptimize(pdf.currentY());
            else if (n == "DrawWidth")
                pdf.setDrawWidth(std::int16_t(op.value));
            else if (n == "Line")
                pdf.line(op.x1, op.y1, op.x2, op.y2, op.colour);
            else if (n == "EndDoc")
                pdf.endDoc();
            else if (n == "Print") {
                // The page measures the texts it aligns right: the speeds and
                // the angle table's times.
                if (op.x != 600 && op.x != 2900 && op.x != 3500 && op.x != 6000 && op.x != 8300)
                    benchmark::DoNotOptimize(pdf.textWidth(op.text));
                pdf.print(op.text, op.endLine);
            }
        }
    };
    QPainterPage page(folder.filePath("baseline.pdf"));
    inTurns(
        state,
        [&] {
            const double ms = millisecondsOf(replay);
            removeFiles(folder.path());
            return ms;
        },
        [&] { return millisecondsOf([&] { page.print(); }); });
}
BENCHMARK(Print_PageThroughComposer)->UseManualTime()->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- start-up

// Starts the program on the offscreen platform and waits for its end; its
// peak memory in KiB, or -1 when it could not start or failed. The program
// reports its peak itself, on its standard output: the kernel's figure for a
// child (wait4) keeps the parent's own peak across the exec, and the parent
// here is this benchmark, with a window of its own.
long startOnce(const char *program)
{
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e)
        env.emplace_back(*e);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        env.emplace_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char *> envp;
    for (std::string &e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char *argv[] = {const_cast<char *>(program), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string report;
    char buffer[256];
    for (ssize_t n; spawned == 0 && (n = read(out[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, std::size_t(n));
    close(out[0]);
    if (spawned != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    const auto at = report.find("VmHWM:");
    return at == std::string::npos ? -1 : std::strtol(report.c_str() + at + 6, nullptr, 10);
}

// From start to end of the program, which ends once its window is on the
// screen, in turns with a baseline program doing the same; the medians of the
// two peaks of memory and their ratio as counters, named after the baseline.
void startupAgainst(benchmark::State &state, const char *baseline, const std::string &name)
{
    std::vector<long> ours, theirs;
    const auto start = [&state](const char *program, std::vector<long> &peaks) {
        long peak = 0;
        const double ms = millisecondsOf([&] { peak = startOnce(program); });
        if (peak < 0)
            state.SkipWithError("a program did not start or failed");
        peaks.push_back(peak);
        return ms;
    };
    inTurns(
        state, [&] { return start(ROTAMET_STARTUP_PROGRAM, ours); }, [&] { return start(baseline, theirs); });
    if (ours.empty())
        return;
    std::nth_element(ours.begin(), ours.begin() + ours.size() / 2, ours.end());
    std::nth_element(theirs.begin(), theirs.begin() + theirs.size() / 2, theirs.end());
    state.counters["peak_MiB"] = double(ours[ours.size() / 2]) / 1024.0;
    state.counters[name + "_peak_MiB"] = double(theirs[theirs.size() / 2]) / 1024.0;
    state.counters["peak_x_" + name] = double(ours[ours.size() / 2]) / double(theirs[theirs.size() / 2]);
}

// Against a bare Qt window.
void Startup_ToWindowShown(benchmark::State &state) { startupAgainst(state, ROTAMET_MINIMAL_PROGRAM, "baseline"); }
BENCHMARK(Startup_ToWindowShown)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Against the floor: the very same first window with no logic.
void Startup_AgainstFloor(benchmark::State &state) { startupAgainst(state, ROTAMET_FLOOR_PROGRAM, "floor"); }
BENCHMARK(Startup_AgainstFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
