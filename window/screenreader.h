// What a screen reader finds in the window: a window may keep a child out of
// the accessibility tree (the command-time strip lies outside the visible
// window, and a screen reader must not read it out). Owns no widget.
#pragma once

class QWidget;

namespace rotamet {

// Leaves `hidden`, a child of `window`, and everything inside it out of the
// window's accessible children. Call before anything asks the window for its
// accessible interface.
void hideFromScreenReaders(QWidget *window, QWidget *hidden);

}  // namespace rotamet
