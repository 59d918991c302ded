// print/filesystem.h on Linux and other Unix systems.
#include "print/filesystem.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rotamet::print::files {

namespace {
// The process's file mode mask, read without changing it (umask() would,
// for a moment, for every thread).
mode_t currentUmask()
{
    QFile status("/proc/self/status");
    if (status.open(QIODevice::ReadOnly)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
            if (line.startsWith("Umask:"))
                return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
        }
    }
    return 022;
}
}  // namespace

void hide(const QString &) {}

void makeOrdinary(const QString &path) { ::chmod(QFile::encodeName(path).constData(), 0666 & ~currentUmask()); }

bool syncToDisk(QFile &file) { return file.flush() && ::fsync(file.handle()) == 0; }

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

}  // namespace rotamet::print::files
