// IOCTL_ATA_PASS_THROUGH_DIRECT: a 48-byte ATA_PASS_THROUGH_DIRECT whose task
// file carries the command to the drive and the drive's registers back; the
// data moves through the caller's DataBuffer.
//
//   0 Length (48)  2 AtaFlags  8 DataTransferLength  12 TimeOutValue
//   24 DataBuffer  32 PreviousTaskFile[8]  40 CurrentTaskFile[8]
//   task file: 0 features/error  1 count  2 LBA low  3 LBA mid  4 LBA high
//              5 device  6 command/status  7 reserved
#include <algorithm>
#include <cstring>

#include "AtaDrive.h"
#include "Requests.h"

namespace sim::requests {

namespace {

constexpr DWORD kBlockBytes = 48;
constexpr std::uint16_t kFlagDataIn = 0x02;
constexpr std::uint16_t kFlag48Bit = 0x08;
constexpr std::size_t kPreviousFile = 32;
constexpr std::size_t kCurrentFile = 40;

AtaCommand Decode(const std::uint8_t* block, bool extended)
{
    const std::uint8_t* current = block + kCurrentFile;
    const std::uint8_t* previous = block + kPreviousFile;
    AtaCommand command;
    command.features = current[0];
    command.count = current[1];
    command.lba = current[2] | (current[3] << 8) | (current[4] << 16);
    if (extended) {
        command.features |= static_cast<std::uint16_t>(previous[0] << 8);
        command.count |= static_cast<std::uint16_t>(previous[1] << 8);
        command.lba |= (static_cast<std::uint64_t>(previous[2]) << 24) | (static_cast<std::uint64_t>(previous[3]) << 32) |
                       (static_cast<std::uint64_t>(previous[4]) << 40);
    }
    command.device = current[5];
    command.command = current[6];
    return command;
}

}  // namespace

platform::IoResult AnswerAtaPassThrough(const platform::IoRequest& request, const AtaDriveModel* drive,
                                        const DeviceFaults& faults)
{
    using platform::IoResult;
    if (request.in == nullptr || request.inSize < kBlockBytes || request.out == nullptr || request.outSize < kBlockBytes)
        return IoResult::Failure(ERROR_INVALID_PARAMETER);
    SystemBuffer buffer(request);
    std::uint8_t* block = buffer.Data();
    const std::uint16_t flags = wire::U16(block, 2);
    const std::uint32_t transferLength = wire::U32(block, 8);
    void* data = wire::Pointer(block, 24);
    if (wire::U16(block, 0) != kBlockBytes || wire::U32(block, 12) == 0 || (transferLength != 0 && data == nullptr))
        return IoResult::Failure(ERROR_INVALID_PARAMETER);

    const AtaCommand command = Decode(block, (flags & kFlag48Bit) != 0);
    const RequestFault* fault = faults.Find(request.code, command.command, static_cast<std::uint8_t>(command.features));
    if (fault != nullptr && fault->kind == FaultKind::Fail) return IoResult::Failure(fault->error);
    if (drive == nullptr) return IoResult::Failure(ERROR_NOT_SUPPORTED);

    // A data-in command needs the direction flag and room for its sectors.
    const std::size_t dataBytes = DataInBytes(command);
    if (dataBytes != 0 && ((flags & kFlagDataIn) == 0 || transferLength < dataBytes))
        return IoResult::Failure(ERROR_INVALID_PARAMETER);

    AtaOutcome outcome = (fault != nullptr && fault->kind == FaultKind::Refuse) ? Aborted() : Execute(*drive, command);
    std::size_t moved = 0;
    if (!outcome.Failed() && !outcome.data.empty()) {
        if (fault != nullptr && fault->kind == FaultKind::ZeroData) std::fill(outcome.data.begin(), outcome.data.end(), 0);
        moved = std::min<std::size_t>(outcome.data.size(), transferLength);
        std::memcpy(data, outcome.data.data(), moved);
    }
    wire::Writer out(block, buffer.Size());
    out.U32(8, moved);
    out.U8(kCurrentFile + 0, outcome.error);
    out.U8(kCurrentFile + 6, outcome.status);
    return buffer.Complete(request, kBlockBytes);
}

}  // namespace sim::requests
