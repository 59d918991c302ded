// What the program sets up before its window: the version record, the menu
// entry it belongs to and the window icon.
#pragma once

namespace rotamet {

// Call once, right after the QApplication is made.
void setUpApplication();

}  // namespace rotamet
