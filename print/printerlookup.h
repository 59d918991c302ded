// Finding the system's default print queue without making the window wait.
// The print server is asked on a thread of its own (the client library blocks until the
// server answers, and a server may be slow or never answer); the answer comes
// back to the thread that owns the lookup as a queued call. Owns that thread's
// shared state; the thread may outlive this object, never the other way round:
// an answer that comes after the object is gone is dropped.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "print/printqueue.h"

class QObject;

namespace rotamet::print {

class PrinterLookup {
public:
    using Answer = std::optional<queue::Queue>;  // nothing: no default queue

    PrinterLookup();
    ~PrinterLookup();
    PrinterLookup(const PrinterLookup &) = delete;
    PrinterLookup &operator=(const PrinterLookup &) = delete;

    // Asks the print server again, unless a question is under way already
    // (then its answer serves). Returns at once.
    void start();
    // Waits at most timeout for the question under way; true when an answer
    // has come (at once if none is under way and one came before).
    bool wait(std::chrono::milliseconds timeout);
    // The most recent answer, if any has come.
    std::optional<Answer> answer() const;
    // How many answers have come so far.
    int answers() const;

    // Runs on the owner's thread after each answer has come.
    std::function<void()> onAnswer;

private:
    struct Shared;
    static void ask(const std::shared_ptr<Shared> &s);
    std::shared_ptr<Shared> shared_;
    QObject *receiver_;
};

}  // namespace rotamet::print
