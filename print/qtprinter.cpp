#include "print/qtprinter.h"

#include <cups/cups.h>
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

namespace rotamet::print {

namespace {

constexpr int kPathError = 75;
constexpr int kInvalidValue = 380;
constexpr double kTwipsPerInch = 1440;
// A PDF page keeps the quarter inch that most printers cannot reach, so it
// looks as the page would on paper.
constexpr double kPdfMarginPoints = 18;
constexpr const char *kJobTitle = "Rotamet";

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

// A CUPS destination "name" or "name/instance", freed on scope exit.
class Destination {
public:
    explicit Destination(const QString &queue)
    {
        const QByteArray name = queue.section('/', 0, 0).toLocal8Bit();
        const QByteArray instance = queue.section('/', 1).toLocal8Bit();
        dest_ = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(),
                                 instance.isEmpty() ? nullptr : instance.constData());
    }
    ~Destination()
    {
        if (dest_)
            cupsFreeDests(1, dest_);
    }
    Destination(const Destination &) = delete;
    Destination &operator=(const Destination &) = delete;

    cups_dest_t *get() const { return dest_; }
    QString option(const char *name) const
    {
        const char *v = dest_ ? cupsGetOption(name, dest_->num_options, dest_->options) : nullptr;
        return v ? QString::fromLocal8Bit(v) : QString();
    }

private:
    cups_dest_t *dest_ = nullptr;
};

// ---- What the print server says of a queue's state ---------------------------
// The one place that asks about it; the names and the device come from
// chooseTarget().
struct QueueState {
    bool accepting = true;  // takes new jobs
    bool stopped = false;   // paused (disabled): its jobs wait
};

QueueState queueState(const QString &queue)
{
    const Destination dest(queue);
    return {dest.option("printer-is-accepting-jobs") != QLatin1String("false"),
            dest.option("printer-state") == QLatin1String("5")};
}
// --------------------------------------------------------------------------------

}  // namespace

struct QtPrinter::Impl {
    Impl(bool system, QString pdfFolder) : followSystem(system), folder(std::move(pdfFolder))
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(kDotsPerInch);
        printer.setCreator(kJobTitle);
        printer.setDocName(kJobTitle);
        chooseTarget();
    }

    ~Impl() { abandon(); }

    // Where the next page goes, with the names the user reads.
    void chooseTarget()
    {
        if (followSystem) {
            const QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (!info.isNull()) {
                queue = info.printerName();
                device = utf8(queue);
                QString where = Destination(queue).option("device-uri");
                if (where.isEmpty())
                    where = info.location();
                if (where.isEmpty())
                    where = info.makeAndModel();
                second = utf8(where);
                return;
            }
            queue.clear();
            folder = documentsFolder();
        }
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
        chooseTarget();
        const bool toFile = queue.isEmpty();
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

        printer.setOutputFileName(tempPath);
        printer.setPageLayout(pageLayout());
        if (!painter.begin(&printer)) {
            QFile::remove(std::exchange(tempPath, {}));
            throw toFile ? pathError(folder) : RunTimeError(errcode::PrinterError);
        }
    }

    // Drops the page being composed, if any, and its file.
    void abandon()
    {
        if (painter.isActive())
            painter.end();
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
        Destination dest(queue);
        const int job = dest.get() ? cupsPrintFile(dest.get()->name, QFile::encodeName(file).constData(), kJobTitle,
                                                   dest.get()->num_options, dest.get()->options)
                                   : 0;
        const std::string reason = cupsLastErrorString();
        QFile::remove(file);
        if (job == 0) {
            if (!queueState(queue).accepting)
                throw RunTimeError(errcode::PrinterError, "La coda non accetta lavori: la pagina è stata rifiutata.");
            throw RunTimeError(errcode::PrinterError, "Errore della stampante: " + reason);
        }
        if (queueState(queue).stopped)
            waiting = "la coda è sospesa, e la pagina vi attende finché non viene riattivata";
    }

    double pixels(float twips) const { return twips * kDotsPerInch / kTwipsPerInch; }
    float twips(double pixels) const { return toSingle(checkedDiv(checkedMul(pixels, kTwipsPerInch), kDotsPerInch)); }
    QFontMetricsF metrics() const { return QFontMetricsF(font, &printer); }

    const bool followSystem;
    QString folder;  // PDF target
    QString queue;   // queue target; empty for PDF
    std::string device, second;
    std::string waiting;  // why the last page handed over waits

    QPrinter printer{QPrinter::HighResolution};
    QPainter painter;
    QString tempPath;

    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QFont font{"Arial"};
    QColor colour{Qt::black};
    float x = 0, y = 0;
    int drawWidth = 1;
};

QtPrinter::QtPrinter() : d(std::make_unique<Impl>(true, QString())) {}
QtPrinter::QtPrinter(const QString &pdfFolder) : d(std::make_unique<Impl>(false, pdfFolder)) {}
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
    d->painter.drawText(QPointF(d->pixels(d->x), d->pixels(d->y) + fm.ascent()), s);
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
    pen.setWidthF(d->drawWidth);
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
    const QString file = std::exchange(d->tempPath, {});
    d->x = 0;
    d->y = 0;
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

std::string QtPrinter::deviceName() { return d->device; }
std::string QtPrinter::secondText() { return d->second; }

}  // namespace rotamet::print
