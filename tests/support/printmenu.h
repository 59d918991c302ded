// The menu of "stampa" as the user reaches it: opened with a right click on
// the button or with Shift+F10 while it has the focus, an entry picked with
// the mouse or by its underlined letter.
#pragma once

#include <QMetaType>

class QMenu;
class QPushButton;
class QWidget;

namespace rotamet {

enum class Way { RightClickAndMouse, ShiftF10AndMnemonic };

// The menu once it is open; null when it did not open.
QMenu *openPrintMenu(QWidget &window, QPushButton &stampa, Way way);
// Opens the menu and picks the entry (an action's object name); false when
// the menu did not open, the entry is not in it, or the menu did not close.
bool pickFromPrintMenu(QWidget &window, QPushButton &stampa, const char *entry, Way way);

}  // namespace rotamet

Q_DECLARE_METATYPE(rotamet::Way)
