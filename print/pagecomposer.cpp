#include "print/pagecomposer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <optional>

#include "numtext/runtimeerror.h"
#include "print/defaultprinter.h"
#include "print/page.h"
#include "print/printjob.h"
#include "print/targets/pdffoldertarget.h"
#include "work/offthread.h"
#include "work/workthread.h"

namespace rotamet::print {

namespace {

constexpr double kTwipsPerInch = 1440;

RunTimeError invalidValue() { return RunTimeError(errcode::InvalidPropertyValue, "Valore di proprietà non valido"); }

// A device of the page's resolution to measure text on: font metrics depend
// on the resolution alone, and this one needs no printer.
QImage measuringDevice()
{
    QImage image(1, 1, QImage::Format_ARGB32);
    const int dotsPerMeter = qRound(Page::kDotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

}  // namespace

struct PageComposer::Impl {
    explicit Impl(std::shared_ptr<PrintTarget> fixed) : target(std::move(fixed))
    {
        if (target)
            return;
        system = std::make_unique<DefaultPrinter>();
        QObject::connect(system.get(), &DefaultPrinter::changed, system.get(), [this] { takeNewAnswer(); });
    }

    // A page being composed keeps its target; an answer already taken (by a
    // page that waited for it) is not taken twice, so the names of the file
    // just written stay.
    void takeNewAnswer()
    {
        if (!page && system->answers() > answersTaken)
            takeAnswer();
    }

    void takeAnswer()
    {
        target = system->target();
        answersTaken = system->answers();
        lastWritten.clear();
    }

    // Starts the page at the first text or line, on the target in force;
    // false when the page is given up (the program ends).
    bool beginPage()
    {
        if (page)
            return true;
        if (givenUp)
            return false;
        if (system) {
            // Every page asks again: the default queue may have changed.
            system->lookUp();
            switch (system->waitForAnswer(DefaultPrinter::kLookupTimeout)) {
            case work::Waited::Done: break;
            case work::Waited::ProgramEnds: givenUp = true; return false;
            case work::Waited::TimedOut:
                // This print is lost; the next one asks anew.
                system->abandon();
                throw RunTimeError(errcode::PrinterError, "Il server di stampa non risponde");
            }
            if (const std::optional<RunTimeError> &failure = system->failure())
                throw *failure;
            takeAnswer();
        }
        pageTarget = target;
        pageName = pageTarget->deviceName();
        page.emplace();
        page->orientation = orientation;
        return true;
    }

    // Hands the page to its target as a print job and waits for it, at
    // most kHandOverDeadline: the target's names when handed over; nothing
    // when cancelled. A target that has not taken the page by then is given
    // up, and its thread left to end by itself.
    std::optional<PrintTarget::Handed> handOver()
    {
        PrintJob job(pageTarget, std::move(*page));
        page.reset();
        std::optional<PrintTarget::Handed> handed;
        std::optional<RunTimeError> error;
        QObject::connect(&job, &PrintJob::handedOver, &job, [&](const PrintTarget::Handed &h) { handed = h; });
        QObject::connect(&job, &PrintJob::failed, &job, [&](const RunTimeError &e) { error = e; });
        work::Awaited awaited;
        QObject::connect(&job, &PrintJob::finished, &awaited, &work::Awaited::done);
        job.start(*handing);
        switch (work::waitFor(awaited, handOverDeadline)) {
        case work::Waited::Done: break;
        case work::Waited::ProgramEnds: return std::nullopt;
        case work::Waited::TimedOut: {
            const bool mayStillCome = !job.abandon();
            handing->leaveBehind();
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(handOverDeadline);
            const RunTimeError late = pageTarget->lateError(seconds, mayStillCome);
            if (mayStillCome)
                throw PageMayStillCome(late.code(), late.description());
            throw late;
        }
        }
        if (error)
            throw *error;
        return handed;
    }

    QFontMetricsF metrics() const { return QFontMetricsF(font, &measuring); }
    static double dots(float twips) { return twips * Page::kDotsPerInch / kTwipsPerInch; }
    static float twips(double dots)
    {
        return toSingle(checkedDiv(checkedMul(dots, kTwipsPerInch), Page::kDotsPerInch));
    }
    PageFont pageFont() const { return {font.family(), font.pointSizeF(), font.bold()}; }

    std::unique_ptr<DefaultPrinter> system;  // null for a composer of one target
    // Where pages are handed over: its fonts and printer support stay loaded.
    std::unique_ptr<work::WorkThread> handing = std::make_unique<work::WorkThread>();
    std::chrono::milliseconds handOverDeadline = kHandOverDeadline;
    int answersTaken = 0;
    std::shared_ptr<PrintTarget> target;  // where the next page goes; null until known
    std::string lastWritten;              // what received the last page, until another target is chosen
    std::string waiting;                  // why the last page handed over waits

    std::optional<Page> page;  // being composed
    bool givenUp = false;      // the program ends: this run's page goes nowhere
    std::shared_ptr<PrintTarget> pageTarget;
    std::string pageName;

    QImage measuring = measuringDevice();
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QFont font{"Arial"};
    QColor colour{Qt::black};
    float x = 0, y = 0;
    int drawWidth = 1;
};

PageComposer::PageComposer() : d(std::make_unique<Impl>(nullptr)) {}
PageComposer::PageComposer(std::shared_ptr<PrintTarget> target) : d(std::make_unique<Impl>(std::move(target))) {}
PageComposer::PageComposer(const QString &pdfFolder) : PageComposer(std::make_shared<PdfFolderTarget>(pdfFolder))
{
    std::static_pointer_cast<PdfFolderTarget>(d->target)->workOutNextFile();
}
PageComposer::~PageComposer() = default;

void PageComposer::setOrientation(std::int16_t orientation)
{
    if (orientation != 1 && orientation != 2)
        throw invalidValue();
    // Every run starts here: a page still open belongs to a run that failed.
    d->page.reset();
    d->givenUp = false;
    d->orientation = orientation == 1 ? QPageLayout::Portrait : QPageLayout::Landscape;
}

void PageComposer::setFontName(const std::string &name) { d->font.setFamily(QString::fromStdString(name)); }

void PageComposer::setFontSize(float points)
{
    if (!(points > 0 && points <= 2048))
        throw invalidValue();
    d->font.setPointSizeF(points);
}

void PageComposer::setFontBold(bool bold) { d->font.setBold(bold); }
void PageComposer::setForeColor(Rgb c) { d->colour = QColor(c.red, c.green, c.blue); }
void PageComposer::setCurrentX(float twips) { d->x = twips; }
void PageComposer::setCurrentY(float twips) { d->y = twips; }
float PageComposer::currentX() { return d->x; }
float PageComposer::currentY() { return d->y; }

void PageComposer::setDrawWidth(std::int16_t pixels)
{
    if (pixels < 1)
        throw invalidValue();
    d->drawWidth = pixels;
}

void PageComposer::print(const std::string &text, bool endLine)
{
    const QString s = QString::fromStdString(text);
    const QFontMetricsF fm = d->metrics();
    if (d->beginPage())
        d->page->addText(QPointF(Impl::dots(d->x), Impl::dots(d->y) + fm.ascent()), d->pageFont(), d->colour, s);
    if (endLine) {
        d->x = 0;
        d->y = toSingle(checkedAdd(d->y, Impl::twips(fm.height())));
    } else {
        d->x = toSingle(checkedAdd(d->x, Impl::twips(fm.horizontalAdvance(s))));
    }
}

float PageComposer::textWidth(const std::string &text)
{
    return Impl::twips(d->metrics().horizontalAdvance(QString::fromStdString(text)));
}

void PageComposer::tableCell(const TableCell &cell)
{
    // Said after its text, which has begun the page; a page given up keeps nothing.
    if (d->page)
        d->page->addCell(cell);
}

void PageComposer::line(float x1, float y1, float x2, float y2, Rgb c)
{
    if (d->beginPage())
        d->page->addLine(QPointF(Impl::dots(x1), Impl::dots(y1)), QPointF(Impl::dots(x2), Impl::dots(y2)), d->drawWidth,
                         QColor(c.red, c.green, c.blue));
    d->x = x2;
    d->y = y2;
}

bool PageComposer::endDoc()
{
    d->waiting.clear();
    if (std::exchange(d->givenUp, false))
        return false;
    if (!d->page)
        return true;  // nothing drawn, nothing to hand over
    d->x = 0;
    d->y = 0;
    const std::optional<PrintTarget::Handed> handed = d->handOver();
    if (!handed)
        return false;
    d->lastWritten = handed->deviceName;
    d->waiting = handed->waiting;
    return true;
}

void PageComposer::killDoc()
{
    d->page.reset();
    d->givenUp = false;
    d->x = 0;
    d->y = 0;
}

std::string PageComposer::waitingReason() { return d->waiting; }

std::string PageComposer::deviceName()
{
    if (d->page)
        return d->pageName;
    if (!d->target)
        return {};
    return d->lastWritten.empty() ? d->target->deviceName() : d->lastWritten;
}

std::string PageComposer::secondText()
{
    const std::shared_ptr<PrintTarget> &target = d->page ? d->pageTarget : d->target;
    return target ? target->secondText() : std::string();
}

DefaultPrinter *PageComposer::defaultPrinter() { return d->system.get(); }

void PageComposer::setHandOverDeadline(std::chrono::milliseconds deadline) { d->handOverDeadline = deadline; }

}  // namespace rotamet::print
