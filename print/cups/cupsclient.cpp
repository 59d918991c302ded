#include "print/cups/cupsclient.h"

#include "print/cups/cupsqueuetarget.h"
#include "print/targets/printqueue.h"

#include <string_view>
#include <vector>

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
        || !resolve(library, "cupsLastErrorString", api.lastErrorString)
        || !resolve(library, "cupsLastError", api.lastError))
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

// Why the last request failed, in the server's words; empty when the library
// gave up without a word from the server (its status then still says
// "successful", which is no cause to show).
std::string lastReason(const Api &lib)
{
    if (lib.lastError() == IPP_STATUS_OK)
        return {};
    const char *text = lib.lastErrorString();
    return text ? text : "";
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

int printFile(const std::string &queue, const std::string &file, const char *title, int copies, std::string &reason)
{
    const Api *lib = api();
    if (!lib) {
        reason = "libcups non disponibile";
        return 0;
    }
    const Destination dest(queue);
    if (!dest.get()) {
        reason = lastReason(*lib);
        return 0;
    }
    // The queue's own options, and the copies asked for in place of its own.
    std::vector<cups_option_t> options(dest.get()->options, dest.get()->options + dest.get()->num_options);
    std::string count = std::to_string(copies);
    char copiesName[] = "copies";
    if (copies > 0) {
        std::erase_if(options, [](const cups_option_t &o) { return std::string_view(o.name) == "copies"; });
        options.push_back({copiesName, count.data()});
    }
    const int job = lib->printFile(dest.get()->name, file.c_str(), title, int(options.size()), options.data());
    reason = job == 0 ? lastReason(*lib) : std::string();
    return job;
}

}  // namespace rotamet::print::cups

namespace rotamet::print::queue {

using cups::Destination;

namespace {
// Where the destination sends its pages, in the words its server has.
std::string whereOf(const Destination &dest)
{
    for (const char *option : {"device-uri", "printer-location", "printer-make-and-model"})
        if (std::string where = dest.option(option); !where.empty())
            return where;
    return {};
}
}  // namespace

std::optional<Queue> defaultQueue()
{
    const Destination dest(nullptr);
    if (!dest.get() || !dest.get()->name)
        return std::nullopt;
    Queue queue;
    queue.name = dest.get()->name;
    if (dest.get()->instance)
        queue.name += std::string("/") + dest.get()->instance;
    queue.where = whereOf(dest);
    return queue;
}

State state(const std::string &queue)
{
    const Destination dest(queue);
    return {dest.option("printer-is-accepting-jobs") != "false", dest.option("printer-state") == "5"};
}

std::shared_ptr<PrintTarget> targetFor(const Queue &queue, int copies)
{
    return std::make_shared<CupsQueueTarget>(queue, copies);
}

}  // namespace rotamet::print::queue
