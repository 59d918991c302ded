// The program's one door to libcups, and the print queues of
// print/targets/printqueue.h on CUPS (Linux). The library is opened (dlopen)
// the first time the printer is looked up, never at start-up, so the program
// starts without it and the libraries it pulls in. Owns the loaded library
// (kept until the program ends) and nothing else; knows nothing of pages or
// Qt.
//
// Any thread may call in: libcups talks to the print server on a connection
// of each thread's own. Every call blocks until the server answers.
#pragma once

#include <cups/cups.h>
#include <optional>
#include <string>

namespace rotamet::print::cups {

// The entry points that the program uses, taken from the loaded library.
struct Api {
    decltype(&::cupsGetNamedDest) getNamedDest;
    decltype(&::cupsGetOption) getOption;
    decltype(&::cupsFreeDests) freeDests;
    decltype(&::cupsPrintFile) printFile;
    decltype(&::cupsLastErrorString) lastErrorString;
    decltype(&::cupsLastError) lastError;
};

// The library, opened on the first call; nullptr when it cannot be loaded
// (then there is no print server to talk to either).
const Api *api();

// A destination "name" or "name/instance" (nullptr: the user's default), as
// the print server describes it; freed on scope exit.
class Destination {
public:
    explicit Destination(const char *name, const char *instance = nullptr);
    // The same from a queue named as printing names it: "name/instance".
    explicit Destination(const std::string &queue);
    ~Destination();
    Destination(const Destination &) = delete;
    Destination &operator=(const Destination &) = delete;

    cups_dest_t *get() const { return dest_; }
    // One of its options ("device-uri", "printer-location"...); "" if absent.
    std::string option(const char *name) const;

private:
    cups_dest_t *dest_ = nullptr;
};

// Hands the file to the queue ("name" or "name/instance") as one job of that
// many copies (0: as many as the queue is set to print): the job's id, or 0
// with the server's reason (empty when the server gave none).
int printFile(const std::string &queue, const std::string &file, const char *title, int copies, std::string &reason);

}  // namespace rotamet::print::cups
