// Rotamet: the program is its one window.
#include "app/application.h"
#include "window/frmmain.h"
#include "window/qtservices.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    rotamet::setUpApplication();
    rotamet::QtServices services;
    rotamet::FrmMain form(services);
    services.setMainWindow(&form);
    form.load();
    return rotamet::endProgram(app.exec());
}
