// The recording services (boxes recorded, dialogs answered by the test) with
// the program's own printer, printer lookup and waits: for tests and the
// fault driver that print through a real print server, a held one or a slow
// documents folder.
#pragma once

#include <functional>
#include <utility>

#include "support/recordingservices.h"
#include "window/qtservices.h"

namespace rotamet {

struct RealPrinterServices : RecordingServices {
    QtServices real;
    print::Printer &printer() override { return real.printer(); }
    void lookUpPrinter(QObject *context, std::function<void()> answered) override
    {
        real.lookUpPrinter(context, std::move(answered));
    }
    void processEvents() override { real.processEvents(); }
    void deliverHeldEvents() override { real.deliverHeldEvents(); }
};

}  // namespace rotamet
