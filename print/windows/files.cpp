// print/targets/filesystem.h on Windows.
#include "print/targets/filesystem.h"

#include <QDir>
#include <QFile>
#include <windows.h>

namespace rotamet::print::files {

namespace {
std::wstring native(const QString &path) { return QDir::toNativeSeparators(path).toStdWString(); }

void setHidden(const QString &path, bool hidden)
{
    const std::wstring name = native(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(name.c_str(), hidden ? attributes | FILE_ATTRIBUTE_HIDDEN : attributes & ~FILE_ATTRIBUTE_HIDDEN);
}
}  // namespace

void hide(const QString &path) { setHidden(path, true); }
void makeOrdinary(const QString &path) { setHidden(path, false); }

bool syncToDisk(const QString &path)
{
    // The system's cache of a file is flushed through any handle that may write.
    const HANDLE handle
        = CreateFileW(native(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = FlushFileBuffers(handle);
    CloseHandle(handle);
    return flushed;
}

Move moveNoReplace(const QString &from, const QString &to)
{
    // Without MOVEFILE_REPLACE_EXISTING an existing name is refused, and
    // without MOVEFILE_COPY_ALLOWED nothing is ever copied.
    if (MoveFileExW(native(from).c_str(), native(to).c_str(), MOVEFILE_WRITE_THROUGH))
        return Move::Done;
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Move::NameTaken : Move::Failed;
}

bool moveReplacing(const QString &from, const QString &to)
{
    // A move within one volume replaces the name in one step; without
    // MOVEFILE_COPY_ALLOWED nothing is ever copied.
    return MoveFileExW(native(from).c_str(), native(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

}  // namespace rotamet::print::files
