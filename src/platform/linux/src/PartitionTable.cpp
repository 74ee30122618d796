#include "PartitionTable.h"

#include <blkid/blkid.h>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace live {

namespace {

struct ProbeFree {
    void operator()(blkid_struct_probe* probe) const noexcept { blkid_free_probe(probe); }
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::uint64_t Le(const std::uint8_t* bytes, std::size_t count)
{
    std::uint64_t value = 0;
    for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[i];
    return value;
}

std::u16string Utf16(const char* utf8)
{
    std::u16string text;
    if (utf8 == nullptr) return text;
    const auto* s = reinterpret_cast<const unsigned char*>(utf8);
    while (*s != 0 && text.size() < 36) {
        char32_t point = *s++;
        int extra = point >= 0xF0 ? 3 : point >= 0xE0 ? 2
                                    : point >= 0xC0   ? 1
                                                      : 0;
        if (extra > 0) point &= 0x3F >> extra;
        for (; extra > 0 && (*s & 0xC0) == 0x80; --extra) point = (point << 6) | (*s++ & 0x3F);
        if (point > 0xFFFF) {
            text += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
        } else {
            text += static_cast<char16_t>(point);
        }
    }
    return text;
}

// MBR partitions have no identifier of their own; theirs is made, as Windows
// names MBR volumes, of the disk signature and where the partition starts.
// Readers of a partition's identifier take its 16 bytes from the second half
// of this one on, whatever the table's style, so that half carries both: the
// signature, then the first sector (32 bits in an MBR entry). Two MBR disks
// with the same layout thus still give their partitions different ids, and
// the id starts with the signature, as the disk's own does.
GUID MbrPartitionId(std::uint32_t signature, std::uint64_t offset)
{
    GUID id{};
    id.Data1 = signature;
    const std::uint64_t sector = offset / 512;
    for (int i = 0; i < 4; ++i) {
        id.Data4[i] = static_cast<unsigned char>(signature >> (8 * i));
        id.Data4[4 + i] = static_cast<unsigned char>(sector >> (8 * i));
    }
    return id;
}

void ReadMbrHead(int descriptor, PartitionTable& table)
{
    std::uint8_t sector[512] = {};
    if (::pread(descriptor, sector, sizeof(sector), 0) != static_cast<ssize_t>(sizeof(sector))) return;
    table.Signature = static_cast<std::uint32_t>(Le(sector + 440, 4));
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < sizeof(sector); i += 4) sum += static_cast<std::uint32_t>(Le(sector + i, 4));
    table.Checksum = 0u - sum;
}

void ReadGptHead(int descriptor, std::uint32_t blockSize, PartitionTable& table)
{
    std::uint8_t header[92] = {};
    if (::pread(descriptor, header, sizeof(header), blockSize) != static_cast<ssize_t>(sizeof(header))) return;
    const std::uint64_t first = Le(header + 40, 8);
    const std::uint64_t last = Le(header + 48, 8);
    table.FirstUsable = first * blockSize;
    table.UsableLength = last >= first ? (last - first + 1) * blockSize : 0;
    table.MaxPartitionCount = static_cast<std::uint32_t>(Le(header + 80, 4));
}

}  // namespace

const TableEntry* PartitionTable::Find(std::uint32_t number) const
{
    for (const auto& entry : Entries)
        if (!entry.Container && entry.Number == number) return &entry;
    return nullptr;
}

bool ParseGuid(const std::string& text, GUID& guid)
{
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-') return false;
    std::uint8_t bytes[16] = {};
    std::size_t k = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23) continue;
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[++i]);
        if (high < 0 || low < 0) return false;
        bytes[k++] = static_cast<std::uint8_t>(high << 4 | low);
    }
    guid.Data1 = static_cast<std::uint32_t>(bytes[0] << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3]);
    guid.Data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    guid.Data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
    std::memcpy(guid.Data4, bytes + 8, 8);
    return true;
}

DWORD ReadPartitionTable(int descriptor, std::uint32_t logicalBlockSize, PartitionTable& table)
{
    table = PartitionTable{};
    std::unique_ptr<blkid_struct_probe, ProbeFree> probe(blkid_new_probe());
    if (!probe || blkid_probe_set_device(probe.get(), descriptor, 0, 0) != 0) return ERROR_IO_DEVICE;
    blkid_probe_enable_superblocks(probe.get(), 0);
    blkid_probe_enable_partitions(probe.get(), 1);
    blkid_partlist list = blkid_probe_get_partitions(probe.get());
    blkid_parttable root = list != nullptr ? blkid_partlist_get_table(list) : nullptr;
    if (root == nullptr) return ERROR_SUCCESS;  // no table: a raw disk

    const std::string type = blkid_parttable_get_type(root) != nullptr ? blkid_parttable_get_type(root) : "";
    if (type == "gpt") {
        table.Style = PARTITION_STYLE_GPT;
        const char* id = blkid_parttable_get_id(root);
        if (id != nullptr) ParseGuid(id, table.DiskId);
        ReadGptHead(descriptor, logicalBlockSize, table);
    } else if (type == "dos") {
        table.Style = PARTITION_STYLE_MBR;
        ReadMbrHead(descriptor, table);
    } else {
        return ERROR_SUCCESS;  // a table Windows would not read
    }

    const int count = blkid_partlist_numof_partitions(list);
    for (int i = 0; i < count; ++i) {
        blkid_partition part = blkid_partlist_get_partition(list, i);
        TableEntry entry;
        entry.Number = static_cast<std::uint32_t>(blkid_partition_get_partno(part));
        entry.Offset = static_cast<std::uint64_t>(blkid_partition_get_start(part)) * 512;
        entry.Length = static_cast<std::uint64_t>(blkid_partition_get_size(part)) * 512;
        if (table.Style == PARTITION_STYLE_GPT) {
            const char* typeText = blkid_partition_get_type_string(part);
            if (typeText != nullptr) ParseGuid(typeText, entry.Type);
            const char* uuid = blkid_partition_get_uuid(part);
            if (uuid != nullptr) ParseGuid(uuid, entry.Id);
            entry.Attributes = blkid_partition_get_flags(part);
            entry.Name = Utf16(blkid_partition_get_name(part));
        } else {
            entry.MbrType = static_cast<std::uint8_t>(blkid_partition_get_type(part));
            entry.Boot = (blkid_partition_get_flags(part) & 0x80) != 0;
            entry.Container = blkid_partition_is_extended(part) != 0;
            if (entry.Container)
                entry.Number = 0;
            else
                entry.Id = MbrPartitionId(table.Signature, entry.Offset);
        }
        table.Entries.push_back(std::move(entry));
    }
    return ERROR_SUCCESS;
}

}  // namespace live
