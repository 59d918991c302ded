// What the two print-queue targets share (a CUPS queue, a printer of the
// Windows spooler): a queue with the names the user reads, the copies asked
// for, and after the hand-over the queue's word on whether the page waits.
#pragma once

#include "print/targets/printqueue.h"
#include "print/targets/printtarget.h"

namespace rotamet::print {

class QueueTarget : public PrintTarget {
public:
    // copies: 0 for as many as the queue is set to print.
    QueueTarget(queue::Queue queue, int copies);

    std::string deviceName() const override { return queue_.name; }
    // Where the queue sends the page (print/targets/printqueue.h).
    std::string secondText() const override { return queue_.where; }
    int copies() const override { return copies_; }
    // Hands the page over (send()), then asks the queue whether it holds
    // it: a paused queue takes the page, which waits there.
    std::optional<Handed> deliver(const Page &page) final;

protected:
    const queue::Queue &queue() const { return queue_; }
    // Draws the page and gives it to the queue; false when the user
    // cancelled a dialog that the printer showed. Throws the printer error
    // 482 with the reason.
    virtual bool send(const Page &page) = 0;

private:
    const queue::Queue queue_;
    const int copies_;
};

}  // namespace rotamet::print
