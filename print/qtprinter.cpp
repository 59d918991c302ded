#include "print/qtprinter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <optional>

#include "numtext/runtimeerror.h"
#include "print/offthread.h"
#include "print/page.h"
#include "print/pdffoldertarget.h"
#include "print/printerlookup.h"
#include "print/printtarget.h"

namespace rotamet::print {

namespace {

constexpr int kInvalidValue = 380;
constexpr double kTwipsPerInch = 1440;
static_assert(QtPrinter::kDotsPerInch == Page::kDotsPerInch);

RunTimeError invalidValue() { return RunTimeError(kInvalidValue, "Valore di proprietà non valido"); }
RunTimeError notKnownYet() { return RunTimeError(errcode::PrinterError, "Stampante non ancora trovata"); }

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

struct QtPrinter::Impl {
    Impl(QtPrinter &owner, std::shared_ptr<PrintTarget> fixed) : followsSystem(!fixed), target(std::move(fixed))
    {
        QObject::connect(&lookup, &PrinterLookup::answered, &lookup, [this, &owner] {
            takeNewAnswer();
            if (owner.onLookedUp)
                owner.onLookedUp();
        });
    }

    // A page being composed keeps its target; an answer already taken (by a
    // page that waited for it) is not taken twice, so the names of the file
    // just written stay.
    void takeNewAnswer()
    {
        if (!page && lookup.answers() > answersTaken)
            takeAnswer();
    }

    void takeAnswer()
    {
        target = lookup.answer();
        answersTaken = lookup.answers();
        lastWritten.clear();
    }

    // Starts the page at the first text or line, on the target in force.
    void beginPage()
    {
        if (page)
            return;
        if (followsSystem) {
            // Every page asks again: the default queue may have changed.
            lookup.start();
            if (lookup.underWay() && !awaitSignal(&lookup, &PrinterLookup::answered, kLookupTimeout)) {
                // This print is lost; the next one asks anew.
                lookup.abandon();
                throw RunTimeError(errcode::PrinterError, "Il server di stampa non risponde");
            }
            takeAnswer();
        }
        pageTarget = target;
        pageName = pageTarget->deviceName();
        page.emplace();
        page->orientation = orientation;
    }

    // Hands the page to its target on the printer's own thread and waits,
    // events going on meanwhile.
    PrintTarget::Handed deliver()
    {
        std::function<PrintTarget::Handed()> work
            = [target = pageTarget, composed = std::move(*page)] { return target->deliver(composed); };
        return handing.await(std::move(work));
    }

    QFontMetricsF metrics() const { return QFontMetricsF(font, &measuring); }
    static double dots(float twips) { return twips * Page::kDotsPerInch / kTwipsPerInch; }
    static float twips(double dots)
    {
        return toSingle(checkedDiv(checkedMul(dots, kTwipsPerInch), Page::kDotsPerInch));
    }
    PageFont pageFont() const { return {font.family(), font.pointSizeF(), font.bold()}; }

    const bool followsSystem;
    PrinterLookup lookup;
    WorkThread handing;  // where pages are handed over: its fonts and printer support stay loaded
    int answersTaken = 0;
    std::shared_ptr<PrintTarget> target;  // where the next page goes; null until known
    std::string lastWritten;              // what received the last page, until another target is chosen
    std::string waiting;                  // why the last page handed over waits

    std::optional<Page> page;  // being composed
    std::shared_ptr<PrintTarget> pageTarget;
    std::string pageName;

    QImage measuring = measuringDevice();
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QFont font{"Arial"};
    QColor colour{Qt::black};
    float x = 0, y = 0;
    int drawWidth = 1;
};

QtPrinter::QtPrinter() : d(std::make_unique<Impl>(*this, nullptr)) {}
QtPrinter::QtPrinter(std::shared_ptr<PrintTarget> target) : d(std::make_unique<Impl>(*this, std::move(target))) {}
QtPrinter::QtPrinter(const QString &pdfFolder) : QtPrinter(std::make_shared<PdfFolderTarget>(pdfFolder)) {}
QtPrinter::~QtPrinter() = default;

void QtPrinter::setOrientation(std::int16_t orientation)
{
    if (orientation != 1 && orientation != 2)
        throw invalidValue();
    // Every run starts here: a page still open belongs to a run that failed.
    d->page.reset();
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
    d->page->addText(QPointF(Impl::dots(d->x), Impl::dots(d->y) + fm.ascent()), d->pageFont(), d->colour, s);
    if (endLine) {
        d->x = 0;
        d->y = toSingle(checkedAdd(d->y, Impl::twips(fm.height())));
    } else {
        d->x = toSingle(checkedAdd(d->x, Impl::twips(fm.horizontalAdvance(s))));
    }
}

float QtPrinter::textWidth(const std::string &text)
{
    return Impl::twips(d->metrics().horizontalAdvance(QString::fromStdString(text)));
}

void QtPrinter::line(float x1, float y1, float x2, float y2, Rgb c)
{
    d->beginPage();
    d->page->addLine(QPointF(Impl::dots(x1), Impl::dots(y1)), QPointF(Impl::dots(x2), Impl::dots(y2)), d->drawWidth,
                     QColor(c.red, c.green, c.blue));
    d->x = x2;
    d->y = y2;
}

void QtPrinter::endDoc()
{
    d->waiting.clear();
    if (!d->page)
        return;  // nothing drawn, nothing to hand over
    d->x = 0;
    d->y = 0;
    const PrintTarget::Handed handed = d->deliver();
    d->page.reset();
    d->lastWritten = handed.deviceName;
    d->waiting = handed.waiting;
}

void QtPrinter::killDoc()
{
    d->page.reset();
    d->x = 0;
    d->y = 0;
}

std::string QtPrinter::waitingReason() { return d->waiting; }

std::string QtPrinter::deviceName()
{
    if (d->page)
        return d->pageName;
    if (!d->target)
        throw notKnownYet();
    return d->lastWritten.empty() ? d->target->deviceName() : d->lastWritten;
}

std::string QtPrinter::secondText()
{
    const std::shared_ptr<PrintTarget> &target = d->page ? d->pageTarget : d->target;
    if (!target)
        throw notKnownYet();
    return target->secondText();
}

void QtPrinter::lookUp()
{
    if (d->followsSystem)
        d->lookup.start();
}

bool QtPrinter::waitForLookup(std::chrono::milliseconds timeout)
{
    if (!d->followsSystem)
        return true;
    if (d->lookup.underWay() && !awaitSignal(&d->lookup, &PrinterLookup::answered, timeout))
        return false;
    d->takeNewAnswer();
    return d->lookup.answers() > 0;
}

}  // namespace rotamet::print
