// Why a call to the system about a file or a folder failed, in the words the
// user reads. Taken right after the failing call (errno on Unix,
// GetLastError() on Windows), before anything else may change it. A call
// that failed without saying why has no cause to show: Unknown, never
// "Success" or another text of error 0. One implementation per system:
// failurecause_unix.cpp and failurecause_windows.cpp.
#pragma once

#include <string>

namespace rotamet::work {

enum class FailureCause {
    DiskFull,     // no space left, or the user's quota is used up
    ReadOnly,     // a disk or share mounted read-only
    Denied,       // no permission
    Unreachable,  // the disk or the file server does not answer (an input/output error, a share gone)
    Unknown,
};

FailureCause lastFailureCause();

// "il disco è pieno", "il disco è di sola lettura", "accesso negato",
// "la cartella non è raggiungibile"; empty for Unknown.
std::string causeText(FailureCause cause);

}  // namespace rotamet::work
