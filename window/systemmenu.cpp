// The window menu of Linux desktops belongs to the window manager.
#include "window/systemmenu.h"

namespace rotamet {

void addToSystemMenu(QWidget &, const QString &, std::function<void()>) {}

}  // namespace rotamet
