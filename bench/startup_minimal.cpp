// The baseline for the start-up benchmarks: the smallest Qt widgets program
// that opens a window, waits until it is on the screen and ends, exactly as
// startup_rotamet.cpp does with the program's window.
#include "startup_common.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(658, 441);
    window.show();
    return endWhenShown(window);
}
