// What the program sets up before its window: Qt's own texts in Italian, the
// version record, the menu entry it belongs to and the window icon.
#pragma once

#include <QStringList>

namespace rotamet {

// Call once, right after the QApplication is made.
void setUpApplication();

// Where Qt's own Italian texts (the fields' context menu, standard buttons)
// are looked for, in this order: the installed Qt's translations, then a
// translations/ folder beside the program (a bundled copy).
QStringList qtTranslationFolders();

// Loads Qt's Italian texts (qtbase_it) from the first of the folders that has
// them and installs them in the application; false if none has them, and the
// texts stay Qt's English ones.
bool installQtTranslations(const QStringList &folders = qtTranslationFolders());

}  // namespace rotamet
