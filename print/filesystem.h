// The few file operations whose system calls differ between systems, for a
// file the user keeps: it is written in its own folder under a hidden
// temporary name, made durable, and then given its name in one step that
// never replaces a file. One implementation per system:
// print/filesystem_unix.cpp and print/filesystem_windows.cpp.
#pragma once

#include <QString>

class QFile;

namespace rotamet::print::files {

// Hides a file from the user's folder listing, or shows it again. On Unix
// the dot that starts the temporary name hides it and these do nothing; on
// Windows they set and clear the hidden attribute.
void hide(const QString &path);
void unhide(const QString &path);

// Writes what the open file holds through to the disk.
bool syncToDisk(QFile &file);

enum class Move { Done, NameTaken, Failed };
// Gives the file at from the name to, in the same folder, in one step; when
// a file named to exists, nothing changes and the answer is NameTaken.
Move moveNoReplace(const QString &from, const QString &to);

}  // namespace rotamet::print::files
