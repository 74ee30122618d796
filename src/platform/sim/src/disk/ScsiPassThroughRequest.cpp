// IOCTL_SCSI_PASS_THROUGH_DIRECT: a 56-byte SCSI_PASS_THROUGH_DIRECT with its
// CDB; data moves through DataBuffer, sense data into the caller's buffer at
// SenseInfoOffset. The disk answers a standard INQUIRY itself and hands ATA
// PASS-THROUGH(16) to its ATA drive, as a SCSI/ATA translation layer does; a
// refused command completes with CHECK CONDITION and fixed-format sense data.
//
//   0 Length (56)  2 ScsiStatus  6 CdbLength  7 SenseInfoLength  8 DataIn
//   12 DataTransferLength  16 TimeOutValue  24 DataBuffer  32 SenseInfoOffset
//   36 Cdb[16]
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "AtaDrive.h"
#include "Requests.h"
#include "sim/AtaData.h"

namespace sim::requests {

namespace {

using platform::IoResult;

constexpr DWORD kBlockBytes = 56;
constexpr std::size_t kCdbOffset = 36;
constexpr std::uint8_t kDataIn = 1;
constexpr std::uint8_t kOpInquiry = 0x12;
constexpr std::uint8_t kOpAtaPassThrough16 = 0x85;
constexpr std::uint8_t kStatusGood = 0x00;
constexpr std::uint8_t kStatusCheckCondition = 0x02;
constexpr std::uint8_t kProtocolPioDataIn = 4;
constexpr std::size_t kInquiryBytes = 36;

struct Sense {
    std::uint8_t key = 0;
    std::uint8_t asc = 0;
    std::uint8_t ascq = 0;
};
constexpr Sense kIllegalOpcode{0x05, 0x20, 0x00};   // ILLEGAL REQUEST, invalid command operation code
constexpr Sense kInvalidField{0x05, 0x24, 0x00};    // ILLEGAL REQUEST, invalid field in CDB
constexpr Sense kAbortedCommand{0x0B, 0x00, 0x00};  // ABORTED COMMAND

// What the device did with the command.
struct Completion {
    bool checkCondition = false;
    Sense sense;
    std::vector<std::uint8_t> data;

    static Completion Check(Sense sense) { return {true, sense, {}}; }
    static Completion Good(std::vector<std::uint8_t> data) { return {false, {}, std::move(data)}; }
};

Completion Inquiry(const std::uint8_t* cdb, std::uint8_t cdbLength, const StorageDescriptor& descriptor)
{
    if (cdbLength != 6 || (cdb[1] & 0x01) != 0) return Completion::Check(kInvalidField);  // no vital product data
    std::vector<std::uint8_t> data(kInquiryBytes, 0);
    data[0] = descriptor.deviceType & 0x1F;
    data[1] = descriptor.removable ? 0x80 : 0x00;
    data[2] = 0x06;  // SPC-4
    data[3] = 0x02;  // response data format
    data[4] = kInquiryBytes - 5;
    data[7] = descriptor.commandQueueing ? 0x02 : 0x00;
    wire::Writer out(data.data(), data.size());
    out.Text(8, descriptor.vendor, 8);
    out.Text(16, descriptor.product, 16);
    out.Text(32, descriptor.revision, 4);
    const std::size_t allocation = (cdb[3] << 8) | cdb[4];
    data.resize(std::min(allocation, data.size()));
    return Completion::Good(std::move(data));
}

// ATA PASS-THROUGH(16): byte 1 protocol (bits 4-1) and extend (bit 0); byte 2
// T_DIR (bit 3), BYT_BLOK (bit 2), T_LENGTH (bits 1-0); then features, count
// and LBA, each a high and a low byte; device; command.
Completion AtaPassThrough16(const std::uint8_t* cdb, std::uint8_t cdbLength, const AtaDriveModel* drive,
                            const RequestFault* fault)
{
    if (drive == nullptr) return Completion::Check(kIllegalOpcode);
    if (cdbLength != 16) return Completion::Check(kInvalidField);
    const bool extend = (cdb[1] & 0x01) != 0;
    AtaCommand command;
    command.features = static_cast<std::uint16_t>(cdb[4] | (extend ? cdb[3] << 8 : 0));
    command.count = static_cast<std::uint16_t>(cdb[6] | (extend ? cdb[5] << 8 : 0));
    command.lba = cdb[8] | (cdb[10] << 8) | (cdb[12] << 16);
    if (extend)
        command.lba |= (static_cast<std::uint64_t>(cdb[7]) << 24) | (static_cast<std::uint64_t>(cdb[9]) << 32) |
                       (static_cast<std::uint64_t>(cdb[11]) << 40);
    command.device = cdb[13];
    command.command = cdb[14];

    // A data-in command must say so, and count its transfer in 512-byte
    // blocks taken from the sector count.
    if (const std::size_t bytes = DataInBytes(command); bytes != 0) {
        const unsigned protocol = (cdb[1] >> 1) & 0x0F;
        const bool toHost = (cdb[2] & 0x08) != 0;
        const bool inBlocks = (cdb[2] & 0x04) != 0;
        const unsigned lengthField = cdb[2] & 0x03;
        if (protocol != kProtocolPioDataIn || !toHost || !inBlocks || lengthField != 2 ||
            static_cast<std::size_t>(command.count) * kAtaSectorSize != bytes)
            return Completion::Check(kInvalidField);
    }
    if (fault != nullptr && fault->kind == FaultKind::Refuse) return Completion::Check(kAbortedCommand);
    AtaOutcome outcome = Execute(*drive, command);
    if (outcome.Failed()) return Completion::Check(kAbortedCommand);
    return Completion::Good(std::move(outcome.data));
}

}  // namespace

platform::IoResult AnswerScsiPassThrough(const platform::IoRequest& request, const AtaDriveModel* drive,
                                         const StorageDescriptor& descriptor, const DeviceFaults& faults)
{
    if (request.in == nullptr || request.inSize < kBlockBytes || request.out == nullptr || request.outSize < kBlockBytes)
        return IoResult::Failure(ERROR_INVALID_PARAMETER);
    SystemBuffer buffer(request);
    std::uint8_t* block = buffer.Data();
    const std::uint8_t cdbLength = wire::U8(block, 6);
    const std::uint8_t senseLength = wire::U8(block, 7);
    const std::uint8_t direction = wire::U8(block, 8);
    const std::uint32_t transferLength = wire::U32(block, 12);
    void* data = wire::Pointer(block, 24);
    const std::uint32_t senseOffset = wire::U32(block, 32);
    if (wire::U16(block, 0) != kBlockBytes || cdbLength == 0 || cdbLength > 16 || wire::U32(block, 16) == 0 ||
        (transferLength != 0 && data == nullptr) ||
        (senseLength != 0 && (senseOffset < kBlockBytes || senseOffset + senseLength > request.outSize)))
        return IoResult::Failure(ERROR_INVALID_PARAMETER);

    const std::uint8_t* cdb = block + kCdbOffset;
    const bool ataCommand = cdb[0] == kOpAtaPassThrough16;
    const std::uint8_t commandByte = ataCommand ? cdb[14] : cdb[0];
    const RequestFault* fault = faults.Find(request.code, commandByte,
                                            ataCommand ? std::optional<std::uint8_t>(cdb[4]) : std::nullopt);
    if (fault != nullptr && fault->kind == FaultKind::Fail) return IoResult::Failure(fault->error);

    Completion done;
    switch (cdb[0]) {
    case kOpInquiry:
        done = (fault != nullptr && fault->kind == FaultKind::Refuse) ? Completion::Check(kAbortedCommand)
                                                                      : Inquiry(cdb, cdbLength, descriptor);
        break;
    case kOpAtaPassThrough16: done = AtaPassThrough16(cdb, cdbLength, drive, fault); break;
    default: done = Completion::Check(kIllegalOpcode); break;
    }
    if (!done.data.empty() && direction != kDataIn) return IoResult::Failure(ERROR_INVALID_PARAMETER);

    wire::Writer out(block, buffer.Size());
    std::size_t moved = 0;
    if (!done.checkCondition) {
        if (fault != nullptr && fault->kind == FaultKind::ZeroData) std::fill(done.data.begin(), done.data.end(), 0);
        moved = std::min<std::size_t>(done.data.size(), transferLength);
        if (moved != 0) std::memcpy(data, done.data.data(), moved);
        out.U8(2, kStatusGood);
        out.U8(7, 0);
        out.U32(12, moved);
        return buffer.Complete(request, kBlockBytes);
    }
    std::array<std::uint8_t, 18> sense{};
    sense[0] = 0x70;  // current error, fixed format
    sense[2] = done.sense.key;
    sense[7] = static_cast<std::uint8_t>(sense.size() - 8);
    sense[12] = done.sense.asc;
    sense[13] = done.sense.ascq;
    const std::size_t senseBytes = std::min<std::size_t>(sense.size(), senseLength);
    out.Bytes(senseOffset, sense.data(), senseBytes);
    out.U8(2, kStatusCheckCondition);
    out.U8(7, senseBytes);
    out.U32(12, 0);
    return buffer.Complete(request, static_cast<DWORD>(senseBytes != 0 ? senseOffset + senseBytes : kBlockBytes));
}

}  // namespace sim::requests
