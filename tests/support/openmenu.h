#pragma once

#include <functional>

class QMenu;
class QWidget;

namespace rotamet {

// How long a test waits for the window system to hand the activation over
// (a box or a menu opening or closing): a busy X server and window manager
// have taken more than QTest's 5 s.
inline constexpr int kWindowSystemWait = 20000;

// Opens a popup menu over `window` the way `open` does (a click, a key) and
// returns it once it stays open; nullptr when it never does.
//
// On X, Qt takes the window as deactivated when a focus-out is not followed
// by a focus-in within 100 ms, and closing the window's popups goes with it.
// On a busy machine (other suites, a sanitized build) a popup that takes
// longer than that to show has now and then been closed that way the moment
// it opened. The menu is then opened again once the window is active, up to
// three times.
QMenu *openMenu(QWidget &window, const std::function<void()> &open);

}  // namespace rotamet
