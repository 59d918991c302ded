// The one QApplication of the benchmark program. benchmark_main makes none:
// the first benchmark that needs one makes it, on the offscreen platform
// unless another is asked for. It is never destroyed: at exit Qt's own
// globals may already be gone.
#pragma once

#include <QApplication>

inline void needApplication()
{
    static QApplication *app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "rotamet_bench";
        static char *argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
}
