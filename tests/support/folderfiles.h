// What a folder holds, hidden files included, by name: tests of the print
// check that a failed or cancelled print leaves nothing behind.
#pragma once

#include <QDir>
#include <QStringList>

namespace rotamet {

inline QStringList files(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace rotamet
