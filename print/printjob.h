// One page on its way to its target: handed over on a work thread (the
// target's deliver() may block on a print server, the spooler, a driver's
// dialog or the disk) and told with signals on the job's own thread.
#pragma once

#include <QObject>
#include <memory>

#include "numtext/runtimeerror.h"
#include "print/page.h"
#include "print/targets/printtarget.h"

namespace rotamet::print {

class WorkThread;

class PrintJob : public QObject {
    Q_OBJECT
public:
    PrintJob(std::shared_ptr<PrintTarget> target, Page page, QObject *parent = nullptr);

    // Hands the page over on thread and returns at once.
    void start(WorkThread &thread);

signals:
    void handedOver(const rotamet::print::PrintTarget::Handed &handed);
    // The user cancelled a dialog of the printer's: nothing printed.
    void cancelled();
    void failed(const rotamet::RunTimeError &error);
    // After any of the three.
    void finished();

private:
    std::shared_ptr<PrintTarget> target_;
    std::shared_ptr<const Page> page_;
};

}  // namespace rotamet::print
