#include "app/application.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QImage>
#include <QLibraryInfo>
#include <QPixmap>
#include <QResource>
#include <QTranslator>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "work/offthread.h"
#include "print/targets/pdfwriting.h"
#include "window/frmmain.h"
#include "window/qtservices.h"

namespace rotamet {

namespace {

// The window icon in one size: its pixels, 8-bit RGB rows, as
// packaging/render-icons.sh writes them beside the PNGs, kept in the program
// uncompressed. Nothing is decoded at start-up: no PNG reader, no look
// through Qt's image-format plugins. A null pixmap if the data is not there.
QPixmap iconPixmap(int size)
{
    const QResource pixels(QStringLiteral(":/icons/rotamet-%1.rgb").arg(size));
    if (!pixels.isValid() || pixels.compressionAlgorithm() != QResource::NoCompression
        || pixels.size() != qint64(size) * size * 3)
        return {};
    return QPixmap::fromImage(QImage(pixels.data(), size, size, size * 3, QImage::Format_RGB888));
}

}  // namespace

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

const std::vector<FontFallback> &designFontFallbacks()
{
    static const std::vector<FontFallback> fallbacks{
        {"Arial", "Liberation Sans", {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"}},
        {"Calibri", "Carlito", {"Carlito-Regular.ttf", "Carlito-Bold.ttf"}},
    };
    return fallbacks;
}

QStringList installFontFallbacks(const QString &folder, const std::vector<FontFallback> &fallbacks)
{
    QStringList stoodIn;
    if (!QDir(folder).exists())
        return stoodIn;
    for (const FontFallback &f : fallbacks) {
        if (QFontDatabase::hasFamily(f.face))
            continue;
        bool loaded = false;
        for (const QString &file : f.files)
            loaded = QFontDatabase::addApplicationFont(QDir(folder).filePath(file)) >= 0 || loaded;
        if (loaded) {
            QFont::insertSubstitution(f.face, f.twin);
            stoodIn << f.face;
        }
    }
    return stoodIn;
}

void setUpApplication()
{
    installQtTranslations();
    installFontFallbacks(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("fonts")));
    // The version record; no display name, so the window's title stays its own.
    QCoreApplication::setApplicationName(QStringLiteral(ROTAMET_PRODUCT_NAME));
    QCoreApplication::setApplicationVersion(QStringLiteral(ROTAMET_VERSION));
    // Ties the window to its menu entry (the Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Rotamet"));
    QIcon icon;
    for (int size : {16, 32, 64}) {
        if (const QPixmap pixmap = iconPixmap(size); !pixmap.isNull())
            icon.addPixmap(pixmap);
    }
    QApplication::setWindowIcon(icon);
}

Program::Program()
{
    setUpApplication();
    services_ = std::make_unique<QtServices>();
    window_ = std::make_unique<FrmMain>(*services_);
    services_->setMainWindow(window_.get());
    window_->load();
}

Program::~Program() = default;

int endProgram(int status)
{
    using namespace std::chrono_literals;
    if (work::waitForWorkThreads(2s))
        return status;
    print::removePartsUnderWay();
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace rotamet
