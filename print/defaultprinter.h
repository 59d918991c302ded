// The system's default printer as the program follows it: the default print
// queue, else PDF files in the documents folder. The print server is asked
// on a thread of its own (the client library blocks until the server
// answers, and a server may be slow or never answer); answered() says, on
// this object's thread, that an answer has come, and changed() that the
// names it gives are known. A question that never ends keeps only its own
// thread: once abandoned, the next lookUp() asks anew, and the late answer,
// if one ever comes, is dropped, as it is when this object is gone by then.
//
// The answer "PDF files in the documents folder" comes without looking into
// that folder, which may be on a file server that is slow or gone: the next
// free file name is searched afterwards, on a thread of its own, and
// changed() waits for it (the print button's tooltip keeps its texts until
// then); a page does not wait for it, its target searches again anyway.
#pragma once

#include <QObject>
#include <chrono>
#include <memory>
#include <optional>

#include "numtext/runtimeerror.h"
#include "work/offthread.h"

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
    // Waits at most timeout for the question under way (work/offthread.h):
    // Done once an answer has come (TimedOut when none has and none is
    // under way).
    work::Waited waitForAnswer(std::chrono::milliseconds timeout);
    // The most recent answer: the default queue's target, or a PDF folder
    // target when there is no queue. Null until the first answer, and after
    // an answer that failed.
    std::shared_ptr<PrintTarget> target() const { return target_; }
    // The error the most recent question failed with (anything its thread
    // threw); nothing when it was answered.
    const std::optional<RunTimeError> &failure() const { return failure_; }
    // How many answers have come so far.
    int answers() const { return answers_; }

    // How long a page waits for the print server to say where it goes.
    static constexpr std::chrono::milliseconds kLookupTimeout{10000};

signals:
    // An answer has come: a page may go on.
    void answered();
    // The names of the most recent answer are known (for a PDF folder, its
    // next free file too): the tooltip may show them.
    void changed();

private:
    void searchNextFile(quint64 question);

    bool underWay_ = false;
    quint64 question_ = 0;  // the question whose answer counts
    std::shared_ptr<PrintTarget> target_;
    std::optional<RunTimeError> failure_;
    int answers_ = 0;
};

}  // namespace rotamet::print
