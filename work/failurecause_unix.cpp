// work/failurecause.h on Linux and other Unix systems: errno.
#include "work/failurecause.h"

#include <cerrno>

namespace rotamet::work {

FailureCause lastFailureCause()
{
    switch (errno) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return FailureCause::DiskFull;
    case EROFS: return FailureCause::ReadOnly;
    case EACCES:
    case EPERM: return FailureCause::Denied;
    case EIO:
    case ENXIO:
    case ENODEV:
    case ESTALE:
    case ENOTCONN:
    case ETIMEDOUT:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH: return FailureCause::Unreachable;
    default: return FailureCause::Unknown;
    }
}

}  // namespace rotamet::work
