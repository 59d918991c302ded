// Shared by the two start-up programs of the benchmarks, so that the program
// and its baseline end in exactly the same way.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QWidget>
#include <QWindow>
#include <cstdio>

// Notes the window's first paint.
class FirstPaint : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// Waits until the window is on the screen (exposed and painted once), and
// not a moment longer: what a program does after that (Rotamet looks the
// printer up) is not start-up. Then prints this process's peak memory on the
// standard output for the benchmark that started it: the kernel's figure
// that a parent gets for its child would include the parent's own.
inline int endWhenShown(QWidget &window)
{
    FirstPaint paint;
    window.installEventFilter(&paint);
    while (!paint.painted || !window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window.removeEventFilter(&paint);

    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
    }
    return 0;
}
