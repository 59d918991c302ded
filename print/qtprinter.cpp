#include "print/qtprinter.h"

#include <utility>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "numtext/runtimeerror.h"
#include "print/printerlookup.h"
#include "print/printqueue.h"

namespace rotamet::print {

namespace {

constexpr int kPathError = 75;
constexpr int kInvalidValue = 380;
constexpr double kTwipsPerInch = 1440;
// A PDF page keeps the quarter inch that most printers cannot reach, so it
// looks as the page would on paper.
constexpr double kPdfMarginPoints = 18;
constexpr const char *kJobTitle = "Rotamet";
constexpr const char *kQueueWaits = "la coda è sospesa, e la pagina vi attende finché non viene riattivata";

std::string utf8(const QString &s) { return s.toStdString(); }

RunTimeError pathError(const QString &folder)
{
    return RunTimeError(kPathError,
                        "Errore di accesso al percorso/file: impossibile scrivere in '"
                            + utf8(QDir::toNativeSeparators(folder)) + "'");
}

RunTimeError invalidValue() { return RunTimeError(kInvalidValue, "Valore di proprietà non valido"); }

QString documentsFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder.isEmpty() ? QDir::homePath() : folder;
}

// The first "Rotamet <date> NNN.pdf" in folder that does not exist yet.
QString nextFreePdf(const QString &folder)
{
    const QString stem = QDir(folder).filePath("Rotamet " + QDate::currentDate().toString(Qt::ISODate) + " ");
    for (int n = 1; n < 1000000; ++n) {
        const QString candidate = stem + QString::number(n).rightJustified(3, '0') + ".pdf";
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
    throw pathError(folder);
}

}  // namespace

struct QtPrinter::Impl {
    Impl(QtPrinter &owner, bool system, QString pdfFolder) : followSystem(system), folder(std::move(pdfFolder))
    {
        if (!followSystem)
            chooseTarget();
        lookup.onAnswer = [this, &owner] {
            takeNewAnswer();
            if (owner.onLookedUp)
                owner.onLookedUp();
        };
    }

    ~Impl() { abandon(); }

    // A page being composed keeps its target; an answer already taken (by a
    // page that waited for it) is not taken twice, so the names of the file
    // just written stay.
    void takeNewAnswer()
    {
        if (!painter.isActive() && lookup.answers() > answersTaken)
            chooseTarget();
    }

    // Where the next page goes, with the names the user reads: the default
    // queue that the most recent lookup found, else a PDF file. Before any
    // answer nothing is known and nothing changes.
    void chooseTarget()
    {
        if (followSystem) {
            const int answers = lookup.answers();
            const std::optional<PrinterLookup::Answer> answer = lookup.answer();
            if (!answer)
                return;
            answersTaken = answers;
            known = true;
            if (*answer) {
                queue = QString::fromStdString((*answer)->name);
                device = (*answer)->name;
                second = (*answer)->where;
                return;
            }
            queue.clear();
            folder = documentsFolder();
        }
        known = true;
        device = utf8(QDir::toNativeSeparators(nextFreePdf(folder)));
        second = "(file PDF)";
    }

    QPageLayout pageLayout() const
    {
        QPageLayout layout;
        if (queue.isEmpty()) {
            layout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                 QMarginsF(kPdfMarginPoints, kPdfMarginPoints, kPdfMarginPoints, kPdfMarginPoints),
                                 QPageLayout::Point);
        } else {
            // The queue's own paper and printable area.
            QPrinter probe(QPrinterInfo::printerInfo(queue), QPrinter::HighResolution);
            layout = probe.pageLayout();
        }
        layout.setOrientation(orientation);
        return layout;
    }

    // Starts the page at the first text or line.
    void beginPage()
    {
        if (painter.isActive())
            return;
        if (followSystem) {
            // Every page asks again: the default queue may have changed.
            lookup.start();
            if (!lookup.wait(kLookupTimeout))
                throw RunTimeError(errcode::PrinterError, "Il server di stampa non risponde");
        }
        chooseTarget();
        const bool toFile = queue.isEmpty();
        if (!toFile && !queue::takesPdfFiles()) {
            beginNativePage();
            return;
        }
        if (toFile) {
            // The folder must take the page once it is finished: tried now,
            // so that a folder that cannot be written fails before any output.
            if (!QDir().mkpath(folder))
                throw pathError(folder);
            QTemporaryFile probe(QDir(folder).filePath(".Rotamet-XXXXXX"));
            if (!probe.open())
                throw pathError(folder);
        }
        // The page being composed lives outside the user's folder: a print
        // that fails half-way leaves nothing there, whatever follows.
        QTemporaryFile reserve(QDir(QDir::tempPath()).filePath("Rotamet-XXXXXX.pdf.part"));
        reserve.setAutoRemove(false);
        if (!reserve.open())
            throw pathError(QDir::tempPath());
        tempPath = reserve.fileName();
        reserve.close();

        qprinter().setOutputFileName(tempPath);
        qprinter().setPageLayout(pageLayout());
        if (!painter.begin(&qprinter())) {
            QFile::remove(std::exchange(tempPath, {}));
            throw toFile ? pathError(folder) : RunTimeError(errcode::PrinterError);
        }
    }

    // A queue that takes no PDF files: the page is drawn on the queue's own
    // printer through Qt's native print path, and reaches the spooler at
    // EndDoc; a failed page is aborted, never sent.
    void beginNativePage()
    {
        native = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(queue), QPrinter::HighResolution);
        native->setCreator(kJobTitle);
        native->setDocName(kJobTitle);
        QPageLayout layout = native->pageLayout();
        layout.setOrientation(orientation);
        native->setPageLayout(layout);
        if (!painter.begin(native.get())) {
            native.reset();
            throw RunTimeError(errcode::PrinterError);
        }
    }

    // Drops the page being composed, if any, and its file.
    void abandon()
    {
        if (native && painter.isActive())
            native->abort();
        if (painter.isActive())
            painter.end();
        native.reset();
        if (!tempPath.isEmpty())
            QFile::remove(std::exchange(tempPath, {}));
    }

    void handOver(const QString &file)
    {
        if (queue.isEmpty()) {
            // Another program may take the free name first: try the next one.
            for (int attempt = 0; attempt < 10; ++attempt) {
                const QString target = nextFreePdf(folder);
                if (QFile::rename(file, target)) {
                    device = utf8(QDir::toNativeSeparators(target));
                    return;
                }
                if (!QFileInfo::exists(target))
                    break;
            }
            QFile::remove(file);
            throw pathError(folder);
        }
        std::string reason;
        const int job = queue::printFile(utf8(queue), QFile::encodeName(file).toStdString(), kJobTitle, reason);
        QFile::remove(file);
        if (job == 0) {
            if (!queue::state(utf8(queue)).accepting)
                throw RunTimeError(errcode::PrinterError, "La coda non accetta lavori: la pagina è stata rifiutata.");
            throw RunTimeError(errcode::PrinterError, "Errore della stampante: " + reason);
        }
        noteWhetherItWaits();
    }

    // After a page reached a queue: a paused queue holds it.
    void noteWhetherItWaits()
    {
        if (queue::state(utf8(queue)).stopped)
            waiting = kQueueWaits;
    }

    // Text is measured on the PDF printer, whatever the page is drawn on:
    // the page's layout is the same on every printer. Positions go to the
    // device the page is drawn on at its own resolution.
    double deviceScale() const { return native ? double(native->resolution()) / kDotsPerInch : 1.0; }
    double pixels(float twips) const { return twips * kDotsPerInch / kTwipsPerInch * deviceScale(); }
    float twips(double pixels) const { return toSingle(checkedDiv(checkedMul(pixels, kTwipsPerInch), kDotsPerInch)); }
    QFontMetricsF metrics() { return QFontMetricsF(font, &qprinter()); }

    // Made when the first page or text width needs it: a QPrinter loads Qt's
    // print support plugin, and with it libcups, which start-up must not.
    QPrinter &qprinter()
    {
        if (!printer) {
            printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setResolution(kDotsPerInch);
            printer->setCreator(kJobTitle);
            printer->setDocName(kJobTitle);
        }
        return *printer;
    }

    const bool followSystem;
    QString folder;  // PDF target
    QString queue;   // queue target; empty for PDF
    std::string device, second;
    std::string waiting;  // why the last page handed over waits
    bool known = false;   // device and second name a target

    PrinterLookup lookup;
    int answersTaken = 0;

    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<QPrinter> native;  // the page on a queue's own printer
    QPainter painter;
    QString tempPath;

    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QFont font{"Arial"};
    QColor colour{Qt::black};
    float x = 0, y = 0;
    int drawWidth = 1;
};

QtPrinter::QtPrinter() : d(std::make_unique<Impl>(*this, true, QString())) {}
QtPrinter::QtPrinter(const QString &pdfFolder) : d(std::make_unique<Impl>(*this, false, pdfFolder)) {}
QtPrinter::~QtPrinter() = default;

void QtPrinter::setOrientation(std::int16_t orientation)
{
    if (orientation != 1 && orientation != 2)
        throw invalidValue();
    // Every run starts here: a page still open belongs to a run that failed.
    d->abandon();
    d->orientation = orientation == 1 ? QPageLayout::Portrait : QPageLayout::Landscape;
}

void QtPrinter::setFontName(const std::string &name) { d->font.setFamily(QString::fromStdString(name)); }

void QtPrinter::setFontSize(float points)
{
    if (!(points > 0 && points <= 2048))
        throw invalidValue();
    d->font.setPointSizeF(points);
}

void QtPrinter::setFontBold(bool bold) { d->font.setBold(bold); }
void QtPrinter::setForeColor(Rgb c) { d->colour = QColor(c.red, c.green, c.blue); }
void QtPrinter::setCurrentX(float twips) { d->x = twips; }
void QtPrinter::setCurrentY(float twips) { d->y = twips; }
float QtPrinter::currentX() { return d->x; }
float QtPrinter::currentY() { return d->y; }

void QtPrinter::setDrawWidth(std::int16_t pixels)
{
    if (pixels < 1)
        throw invalidValue();
    d->drawWidth = pixels;
}

void QtPrinter::print(const std::string &text, bool endLine)
{
    d->beginPage();
    const QString s = QString::fromStdString(text);
    const QFontMetricsF fm = d->metrics();
    d->painter.setFont(d->font);
    d->painter.setPen(d->colour);
    d->painter.drawText(QPointF(d->pixels(d->x), d->pixels(d->y) + fm.ascent() * d->deviceScale()), s);
    if (endLine) {
        d->x = 0;
        d->y = toSingle(checkedAdd(d->y, d->twips(fm.height())));
    } else {
        d->x = toSingle(checkedAdd(d->x, d->twips(fm.horizontalAdvance(s))));
    }
}

float QtPrinter::textWidth(const std::string &text)
{
    return d->twips(d->metrics().horizontalAdvance(QString::fromStdString(text)));
}

void QtPrinter::line(float x1, float y1, float x2, float y2, Rgb c)
{
    d->beginPage();
    QPen pen(QColor(c.red, c.green, c.blue));
    pen.setWidthF(d->drawWidth * d->deviceScale());
    pen.setCapStyle(Qt::RoundCap);
    d->painter.setPen(pen);
    d->painter.drawLine(QPointF(d->pixels(x1), d->pixels(y1)), QPointF(d->pixels(x2), d->pixels(y2)));
    d->x = x2;
    d->y = y2;
}

void QtPrinter::endDoc()
{
    d->waiting.clear();
    if (!d->painter.isActive())
        return;  // nothing drawn, nothing to hand over
    const bool finished = d->painter.end();
    d->x = 0;
    d->y = 0;
    if (d->native) {
        // Drawn on the queue's own printer: ending the page sent it.
        d->native.reset();
        if (!finished)
            throw RunTimeError(errcode::PrinterError, "Errore della stampante: la pagina non è stata consegnata");
        d->noteWhetherItWaits();
        return;
    }
    const QString file = std::exchange(d->tempPath, {});
    if (!finished) {
        QFile::remove(file);
        throw d->queue.isEmpty() ? pathError(d->folder) : RunTimeError(errcode::PrinterError);
    }
    d->handOver(file);
}

void QtPrinter::killDoc()
{
    d->abandon();
    d->x = 0;
    d->y = 0;
}

std::string QtPrinter::waitingReason() { return d->waiting; }

namespace {
RunTimeError notKnownYet() { return RunTimeError(errcode::PrinterError, "Stampante non ancora trovata"); }
}  // namespace

std::string QtPrinter::deviceName()
{
    if (!d->known)
        throw notKnownYet();
    return d->device;
}

std::string QtPrinter::secondText()
{
    if (!d->known)
        throw notKnownYet();
    return d->second;
}

void QtPrinter::lookUp()
{
    if (d->followSystem)
        d->lookup.start();
}

bool QtPrinter::waitForLookup(std::chrono::milliseconds timeout)
{
    if (!d->followSystem)
        return true;
    if (!d->lookup.wait(timeout))
        return false;
    d->takeNewAnswer();
    return true;
}

}  // namespace rotamet::print
