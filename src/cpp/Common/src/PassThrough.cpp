#include "PassThrough.h"

#include <algorithm>
#include <cstring>

#include "failure_reporting/Result.h"

namespace Talvex::Quorlin::Cpp::Common::detail {

ATA_PASS_THROUGH_DIRECT MakeAtaRequest(const AtaTaskFile& taskFile, void* data)
{
    ATA_PASS_THROUGH_DIRECT request;
    std::memset(&request, 0, sizeof(request));
    request.Length = sizeof(ATA_PASS_THROUGH_DIRECT);
    request.AtaFlags = ATA_FLAGS_DRDY_REQUIRED | ATA_FLAGS_DATA_IN;
    request.DataTransferLength = kAtaSectorBytes;
    request.TimeOutValue = kPassThroughTimeoutSeconds;
    request.DataBuffer = data;
    std::memcpy(request.CurrentTaskFile, taskFile, sizeof(request.CurrentTaskFile));
    return request;
}

ScsiRequest MakeScsiRequest(const UCHAR* cdb, UCHAR cdbLength, ULONG transferLength, void* data)
{
    ScsiRequest request;
    std::memset(&request, 0, sizeof(request));
    request.Block.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
    request.Block.CdbLength = cdbLength;
    request.Block.SenseInfoLength = sizeof(request.Sense);
    request.Block.DataIn = SCSI_IOCTL_DATA_IN;
    request.Block.DataTransferLength = transferLength;
    request.Block.TimeOutValue = kPassThroughTimeoutSeconds;
    request.Block.DataBuffer = data;
    request.Block.SenseInfoOffset = offsetof(ScsiRequest, Sense);
    std::memcpy(request.Block.Cdb, cdb, cdbLength);
    return request;
}

HANDLE OpenForPassThrough(HardwareAccessLib::HardwareAccess& access, const std::wstring& path)
{
    HANDLE device = access.OpenDevice(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (!IsValid(device)) RAISE_LAST_ERROR();
    return device;
}

void Send(HardwareAccessLib::HardwareAccess& access, HANDLE device, ATA_PASS_THROUGH_DIRECT& request)
{
    DWORD returned = 0;
    if (!access.SendIoControl(device, IOCTL_ATA_PASS_THROUGH_DIRECT, &request, sizeof(request), &request,
                              sizeof(request), &returned, nullptr))
        RAISE_LAST_ERROR();
}

void Send(HardwareAccessLib::HardwareAccess& access, HANDLE device, ScsiRequest& request)
{
    DWORD returned = 0;
    if (!access.SendIoControl(device, IOCTL_SCSI_PASS_THROUGH_DIRECT, &request, sizeof(request), &request,
                              sizeof(request), &returned, nullptr))
        RAISE_LAST_ERROR();
}

bool AnyNonZero(const std::uint8_t* bytes, std::size_t count) noexcept
{
    return std::any_of(bytes, bytes + count, [](std::uint8_t b) { return b != 0; });
}

}  // namespace Talvex::Quorlin::Cpp::Common::detail
