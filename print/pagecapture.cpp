#include "print/pagecapture.h"

#include <mutex>

#include "print/pagecomposer.h"
#include "print/targets/printtarget.h"

namespace rotamet::print {

namespace {

// Keeps the page it is given; the print ends there.
class KeepingTarget : public PrintTarget {
public:
    std::string deviceName() const override { return "Anteprima di stampa"; }
    std::string secondText() const override { return {}; }
    // On the printer's thread; the page is read on the window's thread once
    // the print is over. The print ends as one the user chose not to make:
    // not a failure, and nothing to tell.
    std::optional<Handed> deliver(const Page &page) override
    {
        const std::lock_guard lock(mutex_);
        kept_ = page;
        return std::nullopt;
    }
    const std::optional<Page> &kept()
    {
        const std::lock_guard lock(mutex_);
        return kept_;
    }

private:
    std::mutex mutex_;
    std::optional<Page> kept_;
};

// The real printer, noting each text it prints and where its lines end.
class NotingPrinter : public PageComposer {
public:
    using PageComposer::PageComposer;
    void setOrientation(std::int16_t orientation) override
    {
        // Every run starts here.
        lines.clear();
        lineEnded = true;
        PageComposer::setOrientation(orientation);
    }
    void print(const std::string &text, bool endLine) override
    {
        PageComposer::print(text, endLine);
        if (lineEnded)
            lines.emplace_back();
        lines.back().push_back(text);
        lineEnded = endLine;
    }
    std::vector<PageCapture::Line> lines;
    bool lineEnded = true;
};

}  // namespace

struct PageCapture::Impl {
    std::shared_ptr<KeepingTarget> target = std::make_shared<KeepingTarget>();
    NotingPrinter printer{target};
};

PageCapture::PageCapture() : d(std::make_unique<Impl>()) {}
PageCapture::~PageCapture() = default;

Printer &PageCapture::printer() { return d->printer; }

const std::optional<Page> &PageCapture::page() const { return d->target->kept(); }

const std::vector<PageCapture::Line> &PageCapture::lines() const
{
    static const std::vector<Line> none;
    return page() ? d->printer.lines : none;
}

}  // namespace rotamet::print
