// Start-up of the program, for the benchmarks: main() as app/main.cpp has it,
// except that instead of running until the window is closed it waits until
// the window is on the screen (exposed, so painted once) and ends. The time
// from start to end is the start-up; the peak memory is the window's.
#include "app/application.h"
#include "window/frmmain.h"
#include "window/qtservices.h"

#include <QApplication>
#include <QFile>
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
    rotamet::setUpApplication();

    rotamet::QtServices services;
    rotamet::FrmMain form(services);
    form.load();
    while (!form.windowHandle() || !form.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    reportPeakMemory();
    return 0;
}
