// The system's print queues as printing uses them: which queue is the
// default, what state a queue is in, and the target that hands a page to it
// (queuetarget.h). One implementation per system: print/cups/cupsclient.cpp
// (CUPS, Linux) and print/windows/printqueue.cpp (the Windows spooler).
// Knows nothing of pages or windows.
//
// Any thread may call in; every call may block until the print server or
// spooler answers, so none is made on the window's thread.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace rotamet::print {
class PrintTarget;
}

namespace rotamet::print::queue {

// A queue, with the names the user reads.
struct Queue {
    std::string name;   // "name" (CUPS: or "name/instance")
    std::string where;  // CUPS: its device URI, else its location, else make and model; Windows: its port
};

// The system's default queue; nothing when there is no print server, no
// default queue, or no client library.
std::optional<Queue> defaultQueue();

// What the server says of a queue; a queue it cannot describe takes jobs.
struct State {
    bool accepting = true;  // takes new jobs
    bool stopped = false;   // paused (disabled), or held in error: its jobs wait
};
State state(const std::string &queue);

// The target that prints copies of each page on this queue: CupsQueueTarget
// on Linux, WindowsPrinterTarget on Windows. A queue whose where is not known
// (a printer the user chose by its name) has an empty second text; on
// Windows its port is looked up when the page is handed over, off the
// window's thread.
std::shared_ptr<PrintTarget> targetFor(const Queue &queue, int copies = 0);

}  // namespace rotamet::print::queue
