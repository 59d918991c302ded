// The platform services of the running program, on Qt.
#pragma once

#include <QElapsedTimer>
#include <memory>

#include "window/services.h"

namespace rotamet {

class QtServices : public PlatformServices {
public:
    QtServices();
    ~QtServices() override;
    void messageBox(const QString &text, const QString &title, BoxIcon icon) override;
    print::Printer &printer() override;
    QSize screenSize() override;
    void processEvents() override;
    void quit() override;

private:
    std::unique_ptr<print::Printer> printer_;
    QElapsedTimer sinceEvents_;  // since processEvents() last processed them
};

}  // namespace rotamet
