// How a failed kernel call reads as a Win32 error.
#pragma once

#include "platform/Win32.h"

namespace live {

// From an errno value (positive): EACCES and EPERM are ERROR_ACCESS_DENIED;
// ENOENT, ENXIO and ENODEV ERROR_FILE_NOT_FOUND; ENOTTY and EOPNOTSUPP (a
// request the driver does not know) ERROR_INVALID_FUNCTION; EINVAL
// ERROR_INVALID_PARAMETER; EIO ERROR_IO_DEVICE; ETIMEDOUT ERROR_SEM_TIMEOUT;
// EBUSY ERROR_SHARING_VIOLATION; ENOMEM ERROR_NOT_ENOUGH_MEMORY; ENOMEDIUM
// ERROR_NOT_READY; anything else ERROR_GEN_FAILURE.
DWORD Win32ErrorOf(int error) noexcept;

}  // namespace live
