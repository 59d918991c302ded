// How the program starts: what it sets up before its window (Qt's own texts
// in Italian, the version record, the menu entry it belongs to and the
// window icon), then the window on the system's services, and how it ends.
#pragma once

#include <QStringList>
#include <memory>
#include <vector>

namespace rotamet {

class FrmMain;
class QtServices;

// Call once, right after the QApplication is made.
void setUpApplication();

// The running program, as main() and the start-up benchmark make it, right
// after the QApplication: sets the application up, then builds the window on
// the system's services and loads it (Form_Load, shown).
class Program {
public:
    Program();
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    FrmMain &window() { return *window_; }

private:
    std::unique_ptr<QtServices> services_;
    std::unique_ptr<FrmMain> window_;  // goes before the services it uses
};

// Call with what the event loop returned, before anything the program made
// goes: ends the program with status. Work still running on the print's
// threads (a page handed over, a printer lookup) gets a short deadline;
// work stuck beyond it (inside the print server's library, a driver, a
// system call) would outlive what it uses, so then the program leaves at
// once, without destroying anything, once the hidden files of pages under
// way are removed. Returns status when nothing is left running.
int endProgram(int status);

// Where Qt's own Italian texts (the fields' context menu, standard buttons)
// are looked for, in this order: the installed Qt's translations, then a
// translations/ folder beside the program (a bundled copy).
QStringList qtTranslationFolders();

// Loads Qt's Italian texts (qtbase_it) from the first of the folders that has
// them and installs them in the application; false if none has them, and the
// texts stay Qt's English ones.
bool installQtTranslations(const QStringList &folders = qtTranslationFolders());

// A face of the design and the metric twin that stands in for it where the
// system lacks it, with the twin's font files.
struct FontFallback {
    QString face;
    QString twin;
    QStringList files;
};

// The design's faces that a program folder may carry twins of (Arial:
// Liberation Sans; Calibri: Carlito).
const std::vector<FontFallback> &designFontFallbacks();

// For each face the system lacks, loads its twin's files from folder and
// makes the twin stand in for the face; returns the faces it stood in for.
// Faces the system has are left alone: on Windows the design's own fonts, on
// Linux fontconfig's choice. The Windows installer carries the twins in a
// fonts/ folder beside the program.
QStringList installFontFallbacks(const QString &folder,
                                 const std::vector<FontFallback> &fallbacks = designFontFallbacks());

}  // namespace rotamet
