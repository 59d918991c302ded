// print/targets/filesystem.h on Linux and other Unix systems.
#include "print/targets/filesystem.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace rotamet::print::files {

void hide(const QString &) {}

// Made as a new file, the part has the permissions any new file gets.
void makeOrdinary(const QString &) {}

bool syncToDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

Move moveNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
#ifdef RENAME_NOREPLACE
    // Linux: one rename that refuses an existing name.
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return Move::Done;
    if (errno == EEXIST)
        return Move::NameTaken;
#endif
    // A file system that cannot rename so (NFS): a second link refuses an
    // existing name too, and the first is then dropped.
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return Move::Done;
    }
    if (errno == EEXIST)
        return Move::NameTaken;
    // One without links either: the name is checked, then taken in one
    // rename; only a file made in between, by another program, could lose.
    if (::access(target.constData(), F_OK) == 0)
        return Move::NameTaken;
    return ::rename(source.constData(), target.constData()) == 0 ? Move::Done : Move::Failed;
}

bool moveReplacing(const QString &from, const QString &to)
{
    // rename() replaces the name in one step.
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

}  // namespace rotamet::print::files
