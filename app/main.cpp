// Rotamet: the program is its one window.
#include <QApplication>

#include "window/frmmain.h"
#include "window/qtservices.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    rotamet::QtServices services;
    rotamet::FrmMain form(services);
    form.load();
    return app.exec();
}
