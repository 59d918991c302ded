#include "window/qtservices.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

#include "catalogue/pumpfile.h"
#include "print/defaultprinter.h"
#include "print/pagecomposer.h"
#include "print/printer.h"
#include "print/qtprintsupport.h"
#include "work/offthread.h"

namespace rotamet {

QtServices::QtServices() = default;
QtServices::~QtServices() = default;

void QtServices::setMainWindow(QWidget *window) { mainWindow_ = window; }

namespace {
// A key held down when a box opens (Enter on a step button, on "calcola" or
// in a field whose text is not a number) goes on repeating into the box. A
// repeat must not answer it: the box would close, the next repeat would reach
// the window and open another, box after box while the key is held. Only a
// key pressed anew answers the box.
class RepeatedKeysIgnored : public QObject {
public:
    explicit RepeatedKeysIgnored(QWidget *box) : box_(box) { QCoreApplication::instance()->installEventFilter(this); }
    ~RepeatedKeysIgnored() override { QCoreApplication::instance()->removeEventFilter(this); }
    RepeatedKeysIgnored(const RepeatedKeysIgnored &) = delete;
    RepeatedKeysIgnored &operator=(const RepeatedKeysIgnored &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease
            && event->type() != QEvent::ShortcutOverride)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        return widget && widget->window() == box_ && static_cast<QKeyEvent *>(event)->isAutoRepeat();
    }

private:
    QWidget *box_;
};
}  // namespace

QWidget *QtServices::dialogParent() const { return mainWindow_ ? mainWindow_.data() : QApplication::activeWindow(); }

void QtServices::messageBox(const QString &text, const QString &title, BoxIcon icon)
{
    const QMessageBox::Icon shown = icon == BoxIcon::Critical ? QMessageBox::Critical
        : icon == BoxIcon::Warning                            ? QMessageBox::Warning
                                                              : QMessageBox::Information;
    QMessageBox box(shown, title, text, QMessageBox::Ok, dialogParent());
    const RepeatedKeysIgnored repeats(&box);
    box.exec();
}

bool QtServices::questionBox(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, dialogParent());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sì"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    const RepeatedKeysIgnored repeats(&box);
    return box.exec() == QMessageBox::Yes;
}

std::optional<PlatformServices::PrinterChoice> QtServices::choosePrinter()
{
    const std::optional<print::ChosenPrinter> chosen = print::choosePrinter(dialogParent());
    if (!chosen)
        return std::nullopt;
    return PrinterChoice{chosen->name, chosen->copies};
}

std::optional<QString> QtServices::choosePdfFile(const QString &suggested)
{
    QFileDialog dialog(dialogParent(), QStringLiteral("Salva come PDF"), suggested,
                       QStringLiteral("Documenti PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without it gets ".pdf" before the dialog looks for a file
    // to replace.
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

namespace {
const QString kCsvFilter = QStringLiteral("File di pompe CSV (*.csv);;Tutti i file (*)");
}  // namespace

std::optional<QString> QtServices::chooseExportFile(const QString &suggested)
{
    // The dialog itself reads the folder: the name alone is no wait.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QFileDialog dialog(dialogParent(), QStringLiteral("Esporta pompe"), QDir(folder).filePath(suggested), kCsvFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtServices::chooseImportFile()
{
    QFileDialog dialog(dialogParent(), QStringLiteral("Importa pompe"), QString(), kCsvFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::unique_ptr<print::Printer> QtServices::printerOn(std::shared_ptr<print::PrintTarget> target)
{
    return std::make_unique<print::PageComposer>(std::move(target));
}

QString QtServices::pumpFilePath() { return catalogue::PumpFile::standardPath(); }

print::Printer &QtServices::printer() { return systemPrinter(); }

print::PageComposer &QtServices::systemPrinter()
{
    if (!printer_)
        printer_ = std::make_unique<print::PageComposer>();
    return *printer_;
}

void QtServices::lookUpPrinter(QObject *context, std::function<void()> answered)
{
    // The composer connected first, so its names follow the answer before
    // answered reads them.
    print::DefaultPrinter &lookup = *systemPrinter().defaultPrinter();
    QObject::connect(&lookup, &print::DefaultPrinter::changed, context, std::move(answered), Qt::SingleShotConnection);
    lookup.lookUp();
}

void QtServices::copyToClipboard(const QString &text, const QString &html)
{
    auto *data = new QMimeData;
    data->setText(text);
    data->setHtml(html);
    QGuiApplication::clipboard()->setMimeData(data);
}

void QtServices::openFolder(const QString &folder)
{
    work::runOffThread<QString>(
        QCoreApplication::instance(),
        [folder] {
            QString path = QDir::cleanPath(folder);
            while (!QFileInfo(path).isDir()) {
                const QString up = QFileInfo(path).absolutePath();
                if (up == path)
                    break;
                path = up;
            }
            return path;
        },
        [](work::Outcome<QString> found) {
            if (found.value)
                QDesktopServices::openUrl(QUrl::fromLocalFile(*found.value));
        });
}

QSize QtServices::screenSize()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(800, 600);
}

// The printing asks after every row of its table, and the rows come much
// faster than a screen shows frames: at most one repaint per frame (60 Hz)
// shows the user the same at a fraction of the cost.
void QtServices::processEvents()
{
    if (sinceEvents_.isValid() && !sinceEvents_.hasExpired(16))
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceEvents_.start();
}

void QtServices::deliverHeldEvents() { QCoreApplication::processEvents(); }

void QtServices::quit() { QCoreApplication::quit(); }

}  // namespace rotamet
