// An entry of the program's own in the window's system menu (Alt+Space, the
// icon of the title bar) on Windows, where programs without a menu bar put
// "Informazioni su …" there. Elsewhere the window menu belongs to the
// window manager and nothing is added. The window must be shown already.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace rotamet {

void addToSystemMenu(QWidget &window, const QString &text, std::function<void()> chosen);

}  // namespace rotamet
