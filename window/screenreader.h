// What a screen reader finds in the window: a window may keep a child out of
// the accessibility tree (the command-time strip lies outside the visible
// window, and a screen reader must not read it out), and a label that shows
// a result is named by its meaning and read with its value ("Giri al
// secondo", "16,67"). Owns no widget.
#pragma once

class QLabel;
class QString;
class QWidget;

namespace rotamet {

// Leaves `hidden`, a child of `window`, and everything inside it out of the
// window's accessible children. Call before anything asks the window for its
// accessible interface.
void hideFromScreenReaders(QWidget *window, QWidget *hidden);

// Gives a label that shows a value its meaning as its accessible name; its
// text stays its value, which screen readers read as the label's text (and
// as its accessible value). Call again when the meaning changes.
void nameResult(QLabel *value, const QString &meaning);

}  // namespace rotamet
