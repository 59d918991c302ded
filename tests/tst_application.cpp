// What the program sets up before its window: Qt's texts in Italian, version
// record and icon.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <memory>

#include "app/application.h"
#include "support/testmain.h"

namespace {
// The texts of a field's standard context menu, as the user reads them.
QStringList contextMenuTexts()
{
    QLineEdit field;
    std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList texts;
    for (QAction *a : menu->actions()) {
        if (!a->isSeparator())
            texts << a->text().section('\t', 0, 0);
    }
    return texts;
}

const QStringList kItalianMenu{"Ann&ulla", "&Rifai", "&Taglia", "&Copia", "&Incolla", "Elimina", "Seleziona tutto"};
}  // namespace

class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        for (QTranslator *t : QCoreApplication::instance()->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
    }

    void versionRecordAndIcon()
    {
        rotamet::setUpApplication();
        QCOMPARE(QCoreApplication::applicationName(), QString("Tachocalc"));
        QCOMPARE(QCoreApplication::applicationVersion(), QString("1.00"));
        const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
        for (int size : {16, 32, 64})
            QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    }

    // The icon's pixels are the drawing's PNGs, pixel for pixel: a drawing
    // rendered again without its pixels (packaging/render-icons.sh) shows.
    void iconIsTheRenderedDrawing()
    {
        rotamet::setUpApplication();
        for (int size : {16, 32, 64}) {
            const QImage png(QStringLiteral(":/png/rotamet-%1.png").arg(size));
            QVERIFY(!png.isNull());
            const QImage shown = QApplication::windowIcon().pixmap(size).toImage();
            QCOMPARE(shown.size(), QSize(size, size));
            QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), png.convertToFormat(QImage::Format_RGB32));
        }
    }

    void qtTextsAreItalianFromStartUp()
    {
        QVERIFY(contextMenuTexts() != kItalianMenu);
        rotamet::setUpApplication();
        QCOMPARE(contextMenuTexts(), kItalianMenu);
    }

    void qtTextsComeFromABundledCopyBesideTheProgram()
    {
        const QStringList folders = rotamet::qtTranslationFolders();
        QCOMPARE(folders.first(), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        QCOMPARE(folders.last(), QCoreApplication::applicationDirPath() + "/translations");

        // A program folder with its own copy, and no Qt installed where it runs.
        QTemporaryDir program;
        QVERIFY(QDir(program.path()).mkdir("translations"));
        const QString bundled = program.filePath("translations");
        // The copy comes from wherever this system keeps it: with Qt on
        // Linux, beside the programs in a Windows build.
        QString source;
        for (const QString &folder : folders) {
            if (QFile::exists(folder + "/qtbase_it.qm")) {
                source = folder + "/qtbase_it.qm";
                break;
            }
        }
        QVERIFY2(!source.isEmpty(), "qtbase_it.qm is neither with Qt nor beside the suite");
        QVERIFY(QFile::copy(source, bundled + "/qtbase_it.qm"));
        QVERIFY(rotamet::installQtTranslations({program.filePath("no-qt-here"), bundled}));
        QCOMPARE(contextMenuTexts(), kItalianMenu);
    }

    void aFaceTheSystemLacksIsStoodInForByItsTwin()
    {
        // Carlito where this system keeps it: installed on Linux, beside the
        // programs in a Windows build (as the installer puts it).
        QString folder;
        for (const QString &dir :
             {QCoreApplication::applicationDirPath() + "/fonts", QString("/usr/share/fonts/truetype/crosextra")}) {
            if (QFile::exists(dir + "/Carlito-Regular.ttf")) {
                folder = dir;
                break;
            }
        }
        QVERIFY2(!folder.isEmpty(), "Carlito is neither installed nor beside the suite");
        const QString present = QFontInfo(QApplication::font()).family();
        QVERIFY(QFontDatabase::hasFamily(present));
        const std::vector<rotamet::FontFallback> fallbacks{
            {"Rotamet Missing Face", "Carlito", {"Carlito-Regular.ttf"}},
            {present, "Carlito", {"Carlito-Regular.ttf"}},
        };

        QCOMPARE(rotamet::installFontFallbacks(folder + "/no-such-folder", fallbacks), QStringList());
        QVERIFY(QFontInfo(QFont("Rotamet Missing Face")).family() != "Carlito");

        QCOMPARE(rotamet::installFontFallbacks(folder, fallbacks), QStringList{"Rotamet Missing Face"});
        QCOMPARE(QFontInfo(QFont("Rotamet Missing Face")).family(), QString("Carlito"));
        QCOMPARE(QFontInfo(QFont(present)).family(), present);
    }

    void withoutTranslationsTheProgramStillStarts()
    {
        QTemporaryDir empty;
        QVERIFY(!rotamet::installQtTranslations({empty.path()}));
        QCOMPARE(contextMenuTexts().value(4), QString("&Paste"));
    }
};

ROTAMET_TEST_MAIN(TestApplication)
#include "tst_application.moc"
