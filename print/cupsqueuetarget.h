// The CUPS target (Linux): a print queue that takes the page as a PDF file.
// The page is written as PDF in the temporary folder, on the queue's own
// paper and printable area, and handed to the queue as one job; the file
// goes once the queue has it, with the number of copies as the job's
// option. Asks the print server through libcups
// (print/cupsclient.h).
#pragma once

#include "print/printqueue.h"
#include "print/printtarget.h"

namespace rotamet::print {

class CupsQueueTarget : public PrintTarget {
public:
    // copies: 0 for as many as the queue is set to print.
    explicit CupsQueueTarget(queue::Queue queue, int copies = 0);

    std::string deviceName() const override { return queue_.name; }
    // Its device URI (where it sends the page), else its location, else its
    // make and model.
    std::string secondText() const override { return queue_.where; }
    int copies() const override { return copies_; }
    // A queue that refuses jobs, or a server that fails: the printer error
    // 482 with the reason. A paused queue takes the page, which waits there.
    Handed deliver(const Page &page) override;

private:
    const queue::Queue queue_;
    const int copies_;
};

}  // namespace rotamet::print
