// The baseline for the start-up benchmarks: the smallest Qt widgets program
// that opens a window, waits until it is on the screen and ends, exactly as
// startup_rotamet.cpp does with the program's window.
#include <QApplication>
#include <QFile>
#include <QWidget>
#include <QWindow>
#include <cstdio>

// The peak memory of this process, on the standard output, for the benchmark
// that started it: the kernel's figure that a parent gets for its child
// would include the parent's own.
static void reportPeakMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(658, 441);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    reportPeakMemory();
    return 0;
}
