#include "print/cupsclient.h"

#include "print/cupsqueuetarget.h"
#include "print/printqueue.h"

#if __has_include(<dlfcn.h>)
#include <dlfcn.h>
#define ROTAMET_HAVE_DLOPEN 1
#endif

namespace rotamet::print::cups {

namespace {

#ifdef ROTAMET_HAVE_DLOPEN
template <class F>
bool resolve(void *library, const char *symbol, F &f)
{
    f = reinterpret_cast<F>(dlsym(library, symbol));
    return f != nullptr;
}

const Api *load()
{
    static Api api;
    void *library = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    if (!resolve(library, "cupsGetNamedDest", api.getNamedDest) || !resolve(library, "cupsGetOption", api.getOption)
        || !resolve(library, "cupsFreeDests", api.freeDests) || !resolve(library, "cupsPrintFile", api.printFile)
        || !resolve(library, "cupsLastErrorString", api.lastErrorString))
        return nullptr;
    return &api;
}
#else
const Api *load() { return nullptr; }
#endif

// "name/instance" in its two parts.
std::pair<std::string, std::string> split(const std::string &queue)
{
    const auto slash = queue.find('/');
    if (slash == std::string::npos)
        return {queue, {}};
    return {queue.substr(0, slash), queue.substr(slash + 1)};
}

}  // namespace

const Api *api()
{
    static const Api *const loaded = load();  // once, whichever thread comes first
    return loaded;
}

Destination::Destination(const char *name, const char *instance)
{
    if (const Api *cups = api())
        dest_ = cups->getNamedDest(CUPS_HTTP_DEFAULT, name, instance);
}

Destination::Destination(const std::string &queue)
{
    const auto [name, instance] = split(queue);
    if (const Api *cups = api())
        dest_ = cups->getNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), instance.empty() ? nullptr : instance.c_str());
}

Destination::~Destination()
{
    if (dest_)
        api()->freeDests(1, dest_);
}

std::string Destination::option(const char *name) const
{
    const char *v = dest_ ? api()->getOption(name, dest_->num_options, dest_->options) : nullptr;
    return v ? v : "";
}

int printFile(const std::string &queue, const std::string &file, const char *title, std::string &reason)
{
    const Api *lib = api();
    if (!lib) {
        reason = "libcups non disponibile";
        return 0;
    }
    const Destination dest(queue);
    const int job = dest.get()
        ? lib->printFile(dest.get()->name, file.c_str(), title, dest.get()->num_options, dest.get()->options)
        : 0;
    reason = lib->lastErrorString() ? lib->lastErrorString() : "";
    return job;
}

}  // namespace rotamet::print::cups

namespace rotamet::print::queue {

using cups::Destination;

std::optional<Queue> defaultQueue()
{
    const Destination dest(nullptr);
    if (!dest.get() || !dest.get()->name)
        return std::nullopt;
    Queue queue;
    queue.name = dest.get()->name;
    if (dest.get()->instance)
        queue.name += std::string("/") + dest.get()->instance;
    for (const char *option : {"device-uri", "printer-location", "printer-make-and-model"}) {
        queue.where = dest.option(option);
        if (!queue.where.empty())
            break;
    }
    return queue;
}

State state(const std::string &queue)
{
    const Destination dest(queue);
    return {dest.option("printer-is-accepting-jobs") != "false", dest.option("printer-state") == "5"};
}

std::shared_ptr<PrintTarget> targetFor(const Queue &queue) { return std::make_shared<CupsQueueTarget>(queue); }

}  // namespace rotamet::print::queue
