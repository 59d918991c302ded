// Shared by the two start-up programs of the benchmarks, so that the program
// and its baseline end in exactly the same way.
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QWidget>
#include <QWindow>
#include <cstdio>

// Waits until the window is on the screen (exposed, so painted once), then
// prints this process's peak memory on the standard output for the benchmark
// that started it: the kernel's figure that a parent gets for its child would
// include the parent's own.
inline int endWhenShown(QWidget &window)
{
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();

    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
    }
    return 0;
}
