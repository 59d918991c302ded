// The few file operations whose system calls differ between systems, for a
// file the user keeps: it is written in its own folder under a hidden
// temporary name, made durable, and then given its name in one step that
// never replaces a file, or replaces one only when the user said so. One
// implementation per system:
// print/cups/files.cpp and print/windows/files.cpp.
#pragma once

#include <QString>

namespace rotamet::print::files {

// Hides a temporary file from the user's folder listing: on Unix the dot
// that starts its name does, and this does nothing; on Windows it sets the
// hidden attribute.
void hide(const QString &path);
// Makes a hidden file an ordinary one of the user's again: on Windows it
// clears the hidden attribute; on Unix the name it gets does.
void makeOrdinary(const QString &path);

// Writes what the (closed) file holds through to the disk.
bool syncToDisk(const QString &path);

enum class Move { Done, NameTaken, Failed };
// Gives the file at from the name to, in the same folder, in one step; when
// a file named to exists, nothing changes and the answer is NameTaken.
Move moveNoReplace(const QString &from, const QString &to);
// Gives the file at from the name to, in the same folder, in one step that
// replaces a file named to: at every moment the name holds either the old
// file or the new one, whole. False when the system refuses.
bool moveReplacing(const QString &from, const QString &to);

}  // namespace rotamet::print::files
