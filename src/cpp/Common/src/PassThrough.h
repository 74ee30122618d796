// The two pass-through request blocks the disk queries send: ATA commands in
// an ATA_PASS_THROUGH_DIRECT task file, and SCSI commands (standard INQUIRY,
// ATA PASS-THROUGH(16)) in an SCSI_PASS_THROUGH_DIRECT followed by its sense
// area. Each block is its request's input and output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Common/HardwareAccess.h"
#include "DeviceHandles.h"
#include "platform/Layouts.h"
#include "platform/Win32.h"

namespace Talvex::Quorlin::Cpp::Common::detail {

constexpr DWORD kPassThroughTimeoutSeconds = 60;
constexpr DWORD kAtaSectorBytes = 512;

// CurrentTaskFile: features, count, LBA low, LBA mid, LBA high, device, command, reserved.
using AtaTaskFile = UCHAR[8];
constexpr std::size_t kTaskFileStatus = 6;  // the command register on the way in, status on return
constexpr UCHAR kAtaStatusErr = 0x01;

// The 128-byte SCSI request: the pass-through block, 8 unused bytes, then
// 64 bytes of sense data.
struct ScsiRequest {
    SCSI_PASS_THROUGH_DIRECT Block;
    UCHAR Unused[8];
    UCHAR Sense[64];
};
static_assert(sizeof(ScsiRequest) == 128);
static_assert(offsetof(ScsiRequest, Sense) == 64);

constexpr UCHAR kScsiStatusCheckCondition = 0x02;

// A zeroed ATA request for a 512-byte PIO data-in command.
ATA_PASS_THROUGH_DIRECT MakeAtaRequest(const AtaTaskFile& taskFile, void* data);

// A zeroed SCSI data-in request with the given CDB.
ScsiRequest MakeScsiRequest(const UCHAR* cdb, UCHAR cdbLength, ULONG transferLength, void* data);

// Opens a disk for pass-through (read and write, shared); raises the last
// error when it cannot be opened.
HANDLE OpenForPassThrough(HardwareAccessLib::HardwareAccess& access, const std::wstring& path);

// Sends the request in place; raises the last error when the request fails.
void Send(HardwareAccessLib::HardwareAccess& access, HANDLE device, ATA_PASS_THROUGH_DIRECT& request);
void Send(HardwareAccessLib::HardwareAccess& access, HANDLE device, ScsiRequest& request);

bool AnyNonZero(const std::uint8_t* bytes, std::size_t count) noexcept;

}  // namespace Talvex::Quorlin::Cpp::Common::detail
