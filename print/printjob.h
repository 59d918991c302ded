// One page on its way to its target: handed over on a work thread (the
// target's deliver() may block on a print server, the spooler, a driver's
// dialog or the disk) and told with signals on the job's own thread. A job
// whose waiting side gives up on it is abandoned (work/job.h): a target that
// has not yet let the page out lets nothing out.
#pragma once

#include <QObject>
#include <memory>

#include "numtext/runtimeerror.h"
#include "print/page.h"
#include "print/targets/printtarget.h"

namespace rotamet::work {
class JobState;
class WorkThread;
}  // namespace rotamet::work

namespace rotamet::print {

class PrintJob : public QObject {
    Q_OBJECT
public:
    PrintJob(std::shared_ptr<PrintTarget> target, Page page, QObject *parent = nullptr);

    // Hands the page over on thread and returns at once.
    void start(work::WorkThread &thread);
    // Gives up on the job: true when the target had not let the page out
    // (nothing will come of it), false when it may still come out.
    bool abandon();

signals:
    void handedOver(const rotamet::print::PrintTarget::Handed &handed);
    // The user cancelled a dialog of the printer's: nothing printed.
    void cancelled();
    // Whatever failed, the target's error or anything else the hand-over threw.
    void failed(const rotamet::RunTimeError &error);
    // After any of the three.
    void finished();

private:
    std::shared_ptr<PrintTarget> target_;
    std::shared_ptr<const Page> page_;
    std::shared_ptr<work::JobState> state_;
};

}  // namespace rotamet::print
