#include "window/qtservices.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

#include "print/printer.h"
#include "print/systemprinter.h"

namespace rotamet {

QtServices::QtServices() = default;
QtServices::~QtServices() = default;

void QtServices::messageBox(const QString &text, const QString &title, BoxIcon icon)
{
    QMessageBox box(icon == BoxIcon::Critical ? QMessageBox::Critical : QMessageBox::Information, title, text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

print::Printer &QtServices::printer()
{
    if (!printer_)
        printer_ = print::makeSystemPrinter();
    return *printer_;
}

QSize QtServices::screenSize()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(800, 600);
}

void QtServices::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtServices::quit()
{
    QCoreApplication::quit();
}

}  // namespace rotamet
