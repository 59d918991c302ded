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

}  // namespace

struct PageCapture::Impl {
    std::shared_ptr<KeepingTarget> target = std::make_shared<KeepingTarget>();
    PageComposer printer{target};
};

PageCapture::PageCapture() : d(std::make_unique<Impl>()) {}
PageCapture::~PageCapture() = default;

Printer &PageCapture::printer() { return d->printer; }

const std::optional<Page> &PageCapture::page() const { return d->target->kept(); }

}  // namespace rotamet::print
