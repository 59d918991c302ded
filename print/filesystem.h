// The few file operations whose system calls differ between systems, for a
// file the user keeps: it is written in its own folder under a hidden
// temporary name, made durable, and then given its name in one step that
// never replaces a file. One implementation per system:
// print/filesystem_unix.cpp and print/filesystem_windows.cpp.
#pragma once

#include <QString>

class QFile;

namespace rotamet::print::files {

// Hides a temporary file from the user's folder listing: on Unix the dot
// that starts its name does, and this does nothing; on Windows it sets the
// hidden attribute.
void hide(const QString &path);
// Makes a temporary file an ordinary one of the user's, as a new file would
// be: on Unix the permissions a new file gets (a temporary file is readable
// by its owner alone), on Windows without the hidden attribute.
void makeOrdinary(const QString &path);

// Writes what the open file holds through to the disk.
bool syncToDisk(QFile &file);

enum class Move { Done, NameTaken, Failed };
// Gives the file at from the name to, in the same folder, in one step; when
// a file named to exists, nothing changes and the answer is NameTaken.
Move moveNoReplace(const QString &from, const QString &to);

}  // namespace rotamet::print::files
