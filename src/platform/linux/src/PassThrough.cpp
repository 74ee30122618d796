#include "PassThrough.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <scsi/sg.h>

#include "AtaTranslation.h"
#include "ReadOnlyRules.h"
#include "Win32Errors.h"
#include "platform/Layouts.h"

namespace live {

namespace {

constexpr unsigned kDefaultTimeoutMs = 60000;
constexpr std::size_t kSenseCapacity = 64;
constexpr std::uint8_t kAtaStatusReady = 0x50;  // DRDY and DSC, no error
constexpr std::uint8_t kAtaStatusError = 0x51;
constexpr std::uint8_t kAtaErrorAbort = 0x04;

unsigned TimeoutMs(ULONG seconds) { return seconds == 0 ? kDefaultTimeoutMs : std::min<ULONG>(seconds, 3600) * 1000u; }

// The SG_IO call shared by both request kinds; false with the error set when
// the kernel or the transport failed.
bool Transfer(const DeviceAccess& access, sg_io_hdr& header, DWORD& error)
{
    if (access.descriptor < 0) {
        error = access.openError;
        return false;
    }
    const int result = access.kernel->ScsiGeneric(access.descriptor, header);
    if (result < 0) {
        error = Win32ErrorOf(-result);
        return false;
    }
    // A command that never reached the drive (no connection, reset, timeout).
    if (header.host_status != 0) {
        error = ERROR_IO_DEVICE;
        return false;
    }
    return true;
}

// Where the data goes: the caller's own pointer, or for a buffered request an
// offset past the block into the output buffer, which must hold all of it.
bool DataAddress(const platform::IoRequest& request, bool buffered, void* given, ULONG length, std::size_t block,
                 void*& data)
{
    if (!buffered) {
        data = given;
        return length == 0 || given != nullptr;
    }
    const auto offset = reinterpret_cast<std::uintptr_t>(given);
    if (length == 0) return true;
    if (request.out == nullptr || offset < block || offset > request.outSize || request.outSize - offset < length)
        return false;
    data = static_cast<std::uint8_t*>(request.out) + offset;
    return true;
}

}  // namespace

platform::IoResult ScsiPassThrough(const platform::IoRequest& request, const DeviceAccess& access, bool buffered)
{
    SCSI_PASS_THROUGH_DIRECT block;
    if (request.in == nullptr || request.inSize < sizeof(block)) return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);
    std::memcpy(&block, request.in, sizeof(block));
    if (block.Length != sizeof(block) || block.CdbLength == 0 || block.CdbLength > sizeof(block.Cdb))
        return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);
    const bool dataIn = block.DataIn == SCSI_IOCTL_DATA_IN && block.DataTransferLength != 0;
    const bool noData = block.DataTransferLength == 0 || block.DataIn == SCSI_IOCTL_DATA_UNSPECIFIED;
    // Read-only by construction: nothing else goes further than this.
    if (block.DataIn == SCSI_IOCTL_DATA_OUT && block.DataTransferLength != 0)
        return platform::IoResult::Failure(ERROR_ACCESS_DENIED);
    if (!ScsiCommandAllowed(block.Cdb, block.CdbLength, dataIn, noData && !dataIn))
        return platform::IoResult::Failure(ERROR_ACCESS_DENIED);
    if (request.out == nullptr || request.outSize < sizeof(block))
        return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    void* data = nullptr;
    if (!DataAddress(request, buffered, block.DataBuffer, dataIn ? block.DataTransferLength : 0, sizeof(block), data))
        return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);

    std::uint8_t sense[kSenseCapacity] = {};
    sg_io_hdr header;
    std::memset(&header, 0, sizeof(header));
    header.interface_id = 'S';
    header.dxfer_direction = dataIn ? SG_DXFER_FROM_DEV : SG_DXFER_NONE;
    header.cmd_len = block.CdbLength;
    header.cmdp = block.Cdb;
    header.dxferp = dataIn ? data : nullptr;
    header.dxfer_len = dataIn ? block.DataTransferLength : 0;
    header.mx_sb_len = static_cast<unsigned char>(std::min<std::size_t>(block.SenseInfoLength, kSenseCapacity));
    header.sbp = sense;
    header.timeout = TimeoutMs(block.TimeOutValue);
    DWORD error = ERROR_SUCCESS;
    if (!Transfer(access, header, error)) return platform::IoResult::Failure(error);

    block.ScsiStatus = header.status;
    block.DataTransferLength = header.dxfer_len - static_cast<ULONG>(std::max(header.resid, 0));
    block.SenseInfoLength = header.sb_len_wr;
    std::memcpy(request.out, &block, sizeof(block));
    DWORD returned = buffered && dataIn ? static_cast<DWORD>(static_cast<std::uint8_t*>(data) - static_cast<std::uint8_t*>(request.out)) +
                                              block.DataTransferLength
                                        : DWORD{sizeof(block)};
    // The sense lands where the caller's block points, inside its buffer.
    if (block.SenseInfoLength != 0 && block.SenseInfoOffset >= sizeof(block) &&
        block.SenseInfoOffset + block.SenseInfoLength <= request.outSize) {
        std::memcpy(static_cast<std::uint8_t*>(request.out) + block.SenseInfoOffset, sense, block.SenseInfoLength);
        returned = std::max<DWORD>(returned, block.SenseInfoOffset + block.SenseInfoLength);
    }
    return platform::IoResult::Success(returned);
}

platform::IoResult AtaPassThrough(const platform::IoRequest& request, const DeviceAccess& access, bool buffered)
{
    ATA_PASS_THROUGH_DIRECT block;
    if (request.in == nullptr || request.inSize < sizeof(block)) return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);
    std::memcpy(&block, request.in, sizeof(block));
    if (block.Length != sizeof(block)) return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);
    const bool dataIn = (block.AtaFlags & ATA_FLAGS_DATA_IN) != 0 && block.DataTransferLength != 0;
    const bool extended = (block.AtaFlags & ATA_FLAGS_48BIT_COMMAND) != 0;
    if ((block.AtaFlags & ATA_FLAGS_DATA_OUT) != 0) return platform::IoResult::Failure(ERROR_ACCESS_DENIED);
    AtaCommand command;
    command.Feature = block.CurrentTaskFile[0];
    command.Count = block.CurrentTaskFile[1];
    command.LbaLow = block.CurrentTaskFile[2];
    command.LbaMid = block.CurrentTaskFile[3];
    command.LbaHigh = block.CurrentTaskFile[4];
    command.Command = block.CurrentTaskFile[6];
    command.DataIn = dataIn;
    command.NoData = !dataIn;
    if (!AtaCommandAllowed(command)) return platform::IoResult::Failure(ERROR_ACCESS_DENIED);
    if (request.out == nullptr || request.outSize < sizeof(block))
        return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    void* data = nullptr;
    if (!DataAddress(request, buffered, block.DataBuffer, dataIn ? block.DataTransferLength : 0, sizeof(block), data))
        return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);

    std::array<std::uint8_t, 16> cdb = AtaPassThroughCdb(block.CurrentTaskFile, block.PreviousTaskFile, extended, dataIn);
    std::uint8_t sense[kSenseCapacity] = {};
    sg_io_hdr header;
    std::memset(&header, 0, sizeof(header));
    header.interface_id = 'S';
    header.dxfer_direction = dataIn ? SG_DXFER_FROM_DEV : SG_DXFER_NONE;
    header.cmd_len = static_cast<unsigned char>(cdb.size());
    header.cmdp = cdb.data();
    header.dxferp = dataIn ? data : nullptr;
    header.dxfer_len = dataIn ? block.DataTransferLength : 0;
    header.mx_sb_len = sizeof(sense);
    header.sbp = sense;
    header.timeout = TimeoutMs(block.TimeOutValue);
    DWORD error = ERROR_SUCCESS;
    if (!Transfer(access, header, error)) return platform::IoResult::Failure(error);

    std::uint8_t current[8] = {};
    std::uint8_t previous[8] = {};
    if (!ReadReturnedRegisters(sense, header.sb_len_wr, current, previous)) {
        // Without returned registers only the outcome is known.
        const bool failed = header.status != 0;
        current[6] = failed ? kAtaStatusError : kAtaStatusReady;
        current[0] = failed ? kAtaErrorAbort : 0;
    }
    std::memcpy(block.CurrentTaskFile, current, sizeof(current));
    std::memcpy(block.PreviousTaskFile, previous, sizeof(previous));
    block.DataTransferLength = dataIn ? header.dxfer_len - static_cast<ULONG>(std::max(header.resid, 0)) : 0;
    std::memcpy(request.out, &block, sizeof(block));
    return platform::IoResult::Success(buffered && dataIn ? static_cast<DWORD>(request.outSize) : DWORD{sizeof(block)});
}

}  // namespace live
