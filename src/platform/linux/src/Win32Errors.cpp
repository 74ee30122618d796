#include "Win32Errors.h"

#include <cerrno>

namespace live {

DWORD Win32ErrorOf(int error) noexcept
{
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case ENOENT:
    case ENXIO:
    case ENODEV: return ERROR_FILE_NOT_FOUND;
    case ENOTTY:
    case EOPNOTSUPP: return ERROR_INVALID_FUNCTION;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EIO: return ERROR_IO_DEVICE;
    case ETIMEDOUT: return ERROR_SEM_TIMEOUT;
    case EBUSY: return ERROR_SHARING_VIOLATION;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ENOMEDIUM: return ERROR_NOT_READY;
    default: return ERROR_GEN_FAILURE;
    }
}

}  // namespace live
