#include "work/failurecause.h"

namespace rotamet::work {

std::string causeText(FailureCause cause)
{
    switch (cause) {
    case FailureCause::DiskFull: return "il disco è pieno";
    case FailureCause::ReadOnly: return "il disco è di sola lettura";
    case FailureCause::Denied: return "accesso negato";
    case FailureCause::Unreachable: return "la cartella non è raggiungibile";
    case FailureCause::Unknown: break;
    }
    return {};
}

}  // namespace rotamet::work
