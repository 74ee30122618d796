// IOCTL_DISK_GET_DRIVE_LAYOUT_EX: DRIVE_LAYOUT_INFORMATION_EX, a 48-byte head
// and one 144-byte PARTITION_INFORMATION_EX per entry. A buffer without room
// for every entry is refused with ERROR_INSUFFICIENT_BUFFER.
#include <algorithm>
#include <cstring>

#include "Requests.h"

namespace sim::requests {

namespace {

constexpr std::size_t kLayoutHead = 48;

// An MBR disk lists its partition tables four slots at a time.
std::size_t EntryCount(const DriveLayout& layout)
{
    switch (layout.style) {
    case PartitionStyle::Mbr: return std::max<std::size_t>(4, (layout.partitions.size() + 3) / 4 * 4);
    case PartitionStyle::Gpt: return layout.partitions.size();
    default: return 0;
    }
}

}  // namespace

void WritePartitionEntry(wire::Writer& writer, std::size_t offset, const PartitionModel& partition,
                         PartitionStyle style)
{
    writer.U32(offset + 0, static_cast<std::uint32_t>(style));
    writer.U64(offset + 8, partition.startingOffset);
    writer.U64(offset + 16, partition.length);
    writer.U32(offset + 24, partition.number);
    writer.U8(offset + 28, partition.rewrite ? 1 : 0);
    writer.U8(offset + 29, partition.service ? 1 : 0);
    if (style == PartitionStyle::Gpt) {
        writer.Guid(offset + 32, partition.type);
        writer.Guid(offset + 48, partition.id);
        writer.U64(offset + 64, partition.attributes);
        writer.Units(offset + 72, partition.name, 36);
    } else if (style == PartitionStyle::Mbr) {
        writer.U8(offset + 32, partition.mbrType);
        writer.U8(offset + 33, partition.bootIndicator ? 1 : 0);
        writer.U8(offset + 34, partition.recognized ? 1 : 0);
        writer.U32(offset + 36, partition.hiddenSectors);
        writer.Guid(offset + 40, partition.id);
    }
}

platform::IoResult AnswerDriveLayout(const platform::IoRequest& request, const DriveLayout& layout)
{
    const std::size_t count = EntryCount(layout);
    const std::size_t size = kLayoutHead + count * kPartitionEntrySize;
    if (request.out == nullptr || request.outSize < size) return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    std::memset(request.out, 0, size);
    wire::Writer out(request.out, size);
    out.U32(0, static_cast<std::uint32_t>(layout.style));
    out.U32(4, static_cast<std::uint32_t>(count));
    if (layout.style == PartitionStyle::Gpt) {
        out.Guid(8, layout.diskId);
        out.U64(24, layout.startingUsableOffset);
        out.U64(32, layout.usableLength);
        out.U32(40, layout.maxPartitionCount);
    } else if (layout.style == PartitionStyle::Mbr) {
        out.U32(8, layout.signature);
        out.U32(12, layout.checksum);
    }
    for (std::size_t i = 0; i < layout.partitions.size() && i < count; ++i)
        WritePartitionEntry(out, kLayoutHead + i * kPartitionEntrySize, layout.partitions[i], layout.style);
    return platform::IoResult::Success(static_cast<DWORD>(size));
}

}  // namespace sim::requests
