// The system's print queues as the printer uses them: which queue is the
// default, what state it is in, and how a finished page reaches it. One
// implementation per system: print/cupsclient.cpp (CUPS, Linux) and
// print/printqueue_windows.cpp (the Windows spooler, through Qt). Knows
// nothing of pages or windows.
//
// Any thread may call in; every call may block until the print server or
// spooler answers.
#pragma once

#include <optional>
#include <string>

namespace rotamet::print::queue {

// A queue, with the names the user reads.
struct Queue {
    std::string name;   // "name" (CUPS: or "name/instance")
    std::string where;  // its device URI or port, else its location, else make and model
};

// The system's default queue; nothing when there is no print server, no
// default queue, or no client library.
std::optional<Queue> defaultQueue();

// What the server says of a queue; a queue it cannot describe takes jobs.
struct State {
    bool accepting = true;  // takes new jobs
    bool stopped = false;   // paused (disabled): its jobs wait
};
State state(const std::string &queue);

// How a page reaches a queue: true, as a finished PDF file handed over with
// printFile(); false, drawn straight on the queue through Qt's native print
// path (QPrinter::NativeFormat).
bool takesPdfFiles();

// Hands the PDF file to the queue as one job: the job's id, or 0 with the
// server's reason.
int printFile(const std::string &queue, const std::string &file, const char *title, std::string &reason);

}  // namespace rotamet::print::queue
