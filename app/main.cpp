// Rotamet: the program is its one window.
#include "app/application.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const rotamet::Program program;
    return rotamet::endProgram(app.exec());
}
