// A guard for tests of a file or folder that the program cannot write, as
// root too: Linux's immutable attribute (chattr +i), Windows' read-only
// attribute (files only). Given back as it was when the guard goes; done()
// is false where the file system has no such attribute.
#pragma once

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>

namespace rotamet {

class ReadOnly {
public:
    explicit ReadOnly(const QString &path) : path_(path)
    {
#ifdef Q_OS_WIN
        done_ = QFileInfo(path).isFile()
            && QFile::setPermissions(path,
                                     QFileDevice::ReadOwner | QFileDevice::ReadUser | QFileDevice::ReadGroup
                                         | QFileDevice::ReadOther);
#else
        done_ = QProcess::execute("chattr", {"+i", path}) == 0;
#endif
    }
    ~ReadOnly()
    {
        if (!done_)
            return;
#ifdef Q_OS_WIN
        QFile::setPermissions(path_, QFile::permissions(path_) | QFileDevice::WriteOwner | QFileDevice::WriteUser);
#else
        QProcess::execute("chattr", {"-i", path_});
#endif
    }
    ReadOnly(const ReadOnly &) = delete;
    ReadOnly &operator=(const ReadOnly &) = delete;
    bool done() const { return done_; }

private:
    QString path_;
    bool done_ = false;
};

}  // namespace rotamet
