// Everything the window asks of the outside world: message boxes, the
// printer, the screen, event processing and ending the program. The window
// never calls QMessageBox, QPrinter or QApplication for these directly, so a
// test can record a message box instead of blocking on it and can inject
// printer failures.
#pragma once

#include <QSize>
#include <QString>

namespace rotamet::print {
class Printer;
}

namespace rotamet {

enum class BoxIcon { Information, Warning, Critical };

class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // A modal box with one OK button; returns when the user closes it.
    virtual void messageBox(const QString &text, const QString &title, BoxIcon icon) = 0;
    // The system's current printer (always the same object for one services).
    virtual print::Printer &printer() = 0;
    // The whole screen, in pixels.
    virtual QSize screenSize() = 0;
    // Processes pending events: repaints, but takes no user input.
    virtual void processEvents() = 0;
    // Ends the program at once.
    virtual void quit() = 0;
};

}  // namespace rotamet
