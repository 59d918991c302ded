// Start-up of the program, for the benchmarks: main() as app/main.cpp has it,
// except that instead of running until the window is closed it waits until
// the window is on the screen and ends. The time from start to end is the
// start-up; the peak memory is the window's.
#include "app/application.h"
#include "startup_common.h"
#include "window/frmmain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    rotamet::Program program;
    return endWhenShown(program.window());
}
