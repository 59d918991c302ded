// work/failurecause.h on Windows: GetLastError().
#include "work/failurecause.h"

#include <windows.h>

namespace rotamet::work {

FailureCause lastFailureCause()
{
    switch (GetLastError()) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_QUOTA_EXCEEDED: return FailureCause::DiskFull;
    case ERROR_WRITE_PROTECT: return FailureCause::ReadOnly;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return FailureCause::Denied;
    case ERROR_NETNAME_DELETED:
    case ERROR_BAD_NETPATH:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_SEM_TIMEOUT:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NOT_READY:
    case ERROR_CRC:
    case ERROR_IO_DEVICE: return FailureCause::Unreachable;
    default: return FailureCause::Unknown;
    }
}

}  // namespace rotamet::work
