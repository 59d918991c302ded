// The CUPS target (Linux): a print queue that takes the page as a PDF file.
// The page is written as PDF in the temporary folder, on the queue's own
// paper and printable area, and handed to the queue as one job; the file
// goes once the queue has it, with the number of copies as the job's
// option. Asks the print server through libcups (cupsclient.h).
#pragma once

#include "print/targets/queuetarget.h"

namespace rotamet::print {

class CupsQueueTarget : public QueueTarget {
public:
    // copies: 0 for as many as the queue is set to print. The queue's where:
    // its device URI, else its location, else its make and model.
    explicit CupsQueueTarget(queue::Queue queue, int copies = 0) : QueueTarget(std::move(queue), copies) {}

protected:
    // A queue that refuses jobs, or a server that fails: the printer error
    // 482 with the reason.
    bool send(const Page &page) override;
};

}  // namespace rotamet::print
