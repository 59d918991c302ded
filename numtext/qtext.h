// The program's texts are UTF-8 std::string below the window and QString in
// it; these two cross over. Header-only, for the parts that use Qt (number
// text itself does not).
#pragma once

#include <QString>
#include <string>

namespace rotamet {

inline QString qs(const std::string &s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
inline std::string ss(const QString &s) { return s.toStdString(); }

}  // namespace rotamet
