// The system's default printer as the program follows it: the default print
// queue, else PDF files in the documents folder. The print server is asked
// on a thread of its own (the client library blocks until the server
// answers, and a server may be slow or never answer); changed() says, on
// this object's thread, that an answer has come. A question that never ends
// keeps only its own thread: once abandoned, the next lookUp() asks anew,
// and the late answer, if one ever comes, is dropped, as it is when this
// object is gone by then. An answer names its target without any further
// question: a PDF folder's next file is worked out on the lookup's thread too.
#pragma once

#include <QObject>
#include <chrono>
#include <memory>

#include "print/offthread.h"

namespace rotamet::print {

class PrintTarget;

class DefaultPrinter : public QObject {
    Q_OBJECT
public:
    explicit DefaultPrinter(QObject *parent = nullptr);

    // Asks again, unless a question is under way already (then its answer
    // serves). Returns at once.
    void lookUp();
    // Gives up the question under way (one that took too long): its answer
    // is ignored, and the next lookUp() asks again.
    void abandon();
    bool underWay() const { return underWay_; }
    // Waits at most timeout for the question under way (print/offthread.h):
    // Done once an answer has come (TimedOut when none has and none is
    // under way).
    Waited waitForAnswer(std::chrono::milliseconds timeout);
    // The most recent answer: the default queue's target, or a PDF folder
    // target when there is no queue. Null until the first answer.
    std::shared_ptr<PrintTarget> target() const { return target_; }
    // How many answers have come so far.
    int answers() const { return answers_; }

    // How long a page waits for the print server to say where it goes.
    static constexpr std::chrono::milliseconds kLookupTimeout{10000};

signals:
    void changed();

private:
    bool underWay_ = false;
    quint64 question_ = 0;  // the question whose answer counts
    std::shared_ptr<PrintTarget> target_;
    int answers_ = 0;
};

}  // namespace rotamet::print
