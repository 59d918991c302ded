#include "app/application.h"

#include <QApplication>
#include <QIcon>

namespace rotamet {

void setUpApplication()
{
    // The version record; no display name, so the window's title stays its own.
    QCoreApplication::setApplicationName(QStringLiteral(ROTAMET_PRODUCT_NAME));
    QCoreApplication::setApplicationVersion(QStringLiteral(ROTAMET_VERSION));
    // Ties the window to its menu entry (the Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Rotamet"));
    QIcon icon;
    for (int size : {16, 32, 64})
        icon.addFile(QStringLiteral(":/icons/rotamet-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
}

}  // namespace rotamet
