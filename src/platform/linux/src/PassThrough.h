// SCSI and ATA pass-through requests carried to the drive by SG_IO, after
// the allow-list has admitted them.
#pragma once

#include "live/Kernel.h"
#include "platform/Device.h"

namespace live {

// The descriptor of the open disk, or -1 with the error its open met.
struct DeviceAccess {
    Kernel* kernel = nullptr;
    int descriptor = -1;
    DWORD openError = ERROR_ACCESS_DENIED;
};

// The buffered forms, which the system itself does not send: the same blocks,
// whose data sits at DataBufferOffset inside the request's own buffer.
inline constexpr DWORD kIoctlScsiPassThrough = 0x4D004;
inline constexpr DWORD kIoctlAtaPassThrough = 0x4D02C;

// IOCTL_SCSI_PASS_THROUGH(_DIRECT): the CDB, direction, buffer, sense area and
// timeout as given; SCSI status and sense returned as Windows returns them.
platform::IoResult ScsiPassThrough(const platform::IoRequest& request, const DeviceAccess& access, bool buffered);

// IOCTL_ATA_PASS_THROUGH(_DIRECT): the task file in an ATA PASS-THROUGH (16);
// the registers the drive returns in the current (and previous) task file.
platform::IoResult AtaPassThrough(const platform::IoRequest& request, const DeviceAccess& access, bool buffered);

}  // namespace live
