#include "app/application.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

namespace rotamet {

QStringList qtTranslationFolders()
{
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
}

bool installQtTranslations(const QStringList &folders)
{
    // Everything the user reads is Italian, whatever the system's language.
    for (const QString &folder : folders) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QStringLiteral("qtbase_it"), folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
        delete translator;
    }
    return false;
}

void setUpApplication()
{
    installQtTranslations();
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
