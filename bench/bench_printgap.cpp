// How long the window goes without processing an event while it prints:
// the longest gap between two ticks of a 1 ms timer of the window's thread
// from the click on "stampa" to the closing message. A timer only ticks when
// the thread processes its events, so the gap is the longest time that the
// window could not repaint, and that Windows would count towards "Non
// risponde". Measured for a print to a PDF in a folder, and for a print on a
// CUPS queue whose print server answers slowly (a proxy in front of a private
// cupsd delays every answer; tests/cups/private-cupsd.sh, needs root).
//
// Counters: longest_gap_ms (the worst gap of all the prints), median_gap_ms
// (the median of each print's worst gap), print_ms (the median time of a
// whole print, the message box not counted).
#include "bench/benchapplication.h"
#include "print/pagecomposer.h"
#include "window/frmmain.h"
#include "window/qtservices.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// The program's services with its printer, the message box noted instead of
// shown (a shown box would wait for a click).
struct Services : rotamet::QtServices {
    std::unique_ptr<rotamet::print::PageComposer> own;
    QStringList titles;
    rotamet::print::Printer &printer() override { return own ? *own : QtServices::printer(); }
    void messageBox(const QString &, const QString &title, rotamet::BoxIcon) override { titles << title; }
};

// The longest time between two ticks of a 1 ms timer, from start() to stop().
class GapMeter {
public:
    GapMeter()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        longest_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    double stop()
    {
        tick();
        timer_.stop();
        return double(longest_) / 1e6;
    }

private:
    void tick()
    {
        const qint64 now = clock_.nsecsElapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0, longest_ = 0;
};

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Prints with the window again and again and reports the gaps.
void printGaps(benchmark::State &state, Services &services, const QString &expectedTitle)
{
    rotamet::FrmMain form(services);
    services.setMainWindow(&form);
    form.load();
    if (!QTest::qWaitForWindowExposed(&form)) {
        state.SkipWithError("window not exposed");
        return;
    }
    auto *stampa = form.findChild<QPushButton *>("cmdStampa");
    GapMeter meter;
    std::vector<double> gaps, times;
    for (auto _ : state) {
        services.titles.clear();
        QElapsedTimer clock;
        clock.start();
        meter.start();
        QTest::mouseClick(stampa, Qt::LeftButton);
        gaps.push_back(meter.stop());
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (services.titles != QStringList{expectedTitle}) {
            state.SkipWithError(qPrintable("the print ended with: " + services.titles.join(", ")));
            return;
        }
    }
    state.counters["longest_gap_ms"] = *std::max_element(gaps.begin(), gaps.end());
    state.counters["median_gap_ms"] = median(gaps);
    state.counters["print_ms"] = median(times);
}

void Print_LongestGapToPdf(benchmark::State &state)
{
    needApplication();
    QTemporaryDir folder;
    Services services;
    services.own = std::make_unique<rotamet::print::PageComposer>(folder.path());
    printGaps(state, services, "Stampa scala");
}
BENCHMARK(Print_LongestGapToPdf)->Iterations(30)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- a slow print server

// A print server that answers slowly: a Unix socket in front of a real one
// that passes every request on at once and every answer after a delay.
class SlowProxy {
public:
    SlowProxy(const QString &listenAt, const QString &server, std::chrono::milliseconds delay)
        : server_(QFile::encodeName(server)), delay_(delay)
    {
        listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_un address = addressOf(QFile::encodeName(listenAt));
        if (listener_ < 0 || bind(listener_, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
            || listen(listener_, 16) != 0)
            return;
        accepting_ = std::thread([this] { acceptLoop(); });
    }
    ~SlowProxy()
    {
        stop_ = true;
        if (accepting_.joinable())
            accepting_.join();
        for (std::thread &t : pairs_)
            t.join();
        if (listener_ >= 0)
            close(listener_);
    }
    SlowProxy(const SlowProxy &) = delete;
    SlowProxy &operator=(const SlowProxy &) = delete;
    bool listening() const { return accepting_.joinable(); }

private:
    static sockaddr_un addressOf(const QByteArray &path)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        return address;
    }
    void acceptLoop()
    {
        while (!stop_) {
            pollfd p{listener_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0)
                pairs_.emplace_back([this, client] { relay(client); });
        }
    }
    void relay(int client)
    {
        const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_un address = addressOf(server_);
        if (server >= 0 && connect(server, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0) {
            char buffer[65536];
            pollfd p[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
            while (!stop_) {
                if (poll(p, 2, 100) <= 0)
                    continue;
                if (p[0].revents) {
                    const ssize_t n = read(client, buffer, sizeof buffer);
                    if (n <= 0 || write(server, buffer, size_t(n)) != n)
                        break;
                }
                if (p[1].revents) {
                    const ssize_t n = read(server, buffer, sizeof buffer);
                    if (n <= 0)
                        break;
                    std::this_thread::sleep_for(delay_);
                    if (write(client, buffer, size_t(n)) != n)
                        break;
                }
            }
        }
        if (server >= 0)
            close(server);
        close(client);
    }

    QByteArray server_;
    std::chrono::milliseconds delay_;
    int listener_ = -1;
    std::atomic<bool> stop_ = false;
    std::thread accepting_;
    std::vector<std::thread> pairs_;
};

// A private print server with a paused default queue (the pages wait in its
// spool and go with it), reached through the slow proxy.
// Runs a program to its end, its output dropped; true when it succeeded.
bool runQuietly(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, arguments);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void Print_LongestGapSlowPrintServer(benchmark::State &state)
{
    needApplication();
    QTemporaryDir dir;
    const QString cupsd = ROTAMET_PRIVATE_CUPSD;
    const QString queue = "RotametLento";
    if (!runQuietly(cupsd, {"start", dir.path(), queue})) {
        state.SkipWithError("no private print server here (needs root, cups and cups-pdf)");
        return;
    }
    const bool hadServer = qEnvironmentVariableIsSet("CUPS_SERVER");
    const QByteArray savedServer = qgetenv("CUPS_SERVER");
    qputenv("CUPS_SERVER", QFile::encodeName(dir.filePath("cups.sock")));
    runQuietly("cupsdisable", {queue});
    {
        SlowProxy proxy(dir.filePath("slow.sock"), dir.filePath("cups.sock"), std::chrono::milliseconds(200));
        if (!proxy.listening()) {
            state.SkipWithError("cannot listen");
        } else {
            qputenv("CUPS_SERVER", QFile::encodeName(dir.filePath("slow.sock")));
            Services services;
            printGaps(state, services, "Stampa scala");
        }
    }
    if (hadServer)
        qputenv("CUPS_SERVER", savedServer);
    else
        qunsetenv("CUPS_SERVER");
    runQuietly(cupsd, {"stop", dir.path()});
}
BENCHMARK(Print_LongestGapSlowPrintServer)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
