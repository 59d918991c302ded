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
#include <QTranslator>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "work/offthread.h"
#include "print/targets/pdfwriting.h"
#include "window/frmmain.h"
#include "window/qtservices.h"

#if ROTAMET_HAVE_LIBPNG
#include <png.h>
#endif

namespace rotamet {

namespace {

// The icon is PNG, and libpng (which Qt reads PNG with too) decodes it
// directly: Qt's image reader would first look through every image-format
// plugin installed (GIF, ICO, JPEG...) for one that claims PNG. A null image
// when the file cannot be read this way.
QImage readPng(const QString &path)
{
#if ROTAMET_HAVE_LIBPNG
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data.constData(), std::size_t(data.size())))
        return {};
    // QImage::Format_ARGB32 holds one 0xAARRGGBB word per pixel.
    png.format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    QImage image(int(png.width), int(png.height), QImage::Format_ARGB32);
    if (image.isNull()
        || !png_image_finish_read(&png, nullptr, image.bits(), png_int_32(image.bytesPerLine()), nullptr)) {
        png_image_free(&png);
        return {};
    }
    return image;
#else
    (void)path;
    return {};
#endif
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
        const QString file = QStringLiteral(":/icons/rotamet-%1.png").arg(size);
        const QImage image = readPng(file);
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
        else
            icon.addFile(file, QSize(size, size));
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
