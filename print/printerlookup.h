// Finding where pages go, without making the window wait: the system's
// default print queue, else PDF files in the documents folder. The print
// server is asked on a thread of its own (the client library blocks until
// the server answers, and a server may be slow or never answer); the answer
// comes back on the lookup's own thread with the answered() signal. A
// question that never ends keeps only its own thread: once abandoned, the
// next start() asks anew, and the late answer, if one ever comes, is
// dropped, as it is when the lookup is gone by then. The answer names its
// target without any further question: a PDF folder's next file is worked
// out on the lookup's thread too.
#pragma once

#include <QObject>
#include <memory>

namespace rotamet::print {

class PrintTarget;

class PrinterLookup : public QObject {
    Q_OBJECT
public:
    explicit PrinterLookup(QObject *parent = nullptr);

    // Asks again, unless a question is under way already (then its answer
    // serves). Returns at once.
    void start();
    // Gives up the question under way (one that took too long): its answer
    // is ignored, and the next start() asks again.
    void abandon();
    bool underWay() const { return underWay_; }
    // The most recent answer: the default queue's target, or a PDF folder
    // target when there is no queue. Null until the first answer.
    std::shared_ptr<PrintTarget> answer() const { return answer_; }
    // How many answers have come so far.
    int answers() const { return answers_; }

signals:
    void answered();

private:
    bool underWay_ = false;
    quint64 question_ = 0;  // the question whose answer counts
    std::shared_ptr<PrintTarget> answer_;
    int answers_ = 0;
};

}  // namespace rotamet::print
