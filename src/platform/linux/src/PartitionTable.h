// A disk's partition table as libblkid reads it from the device, in the terms
// of Windows' drive layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Win32.h"

namespace live {

struct TableEntry {
    std::uint32_t Number = 0;  // the kernel's: sdb5 is 5
    std::uint64_t Offset = 0;  // bytes
    std::uint64_t Length = 0;
    bool Container = false;  // an MBR extended partition, listed with number 0
    std::uint8_t MbrType = 0;
    bool Boot = false;
    GUID Type{};
    GUID Id{};
    std::uint64_t Attributes = 0;
    std::u16string Name;
};

struct PartitionTable {
    PARTITION_STYLE Style = PARTITION_STYLE_RAW;
    GUID DiskId{};
    std::uint32_t Signature = 0;
    std::uint32_t Checksum = 0;
    std::uint64_t FirstUsable = 0;  // bytes
    std::uint64_t UsableLength = 0;
    std::uint32_t MaxPartitionCount = 0;
    std::vector<TableEntry> Entries;

    const TableEntry* Find(std::uint32_t number) const;
};

// Reads the table through a read-only descriptor of the whole disk; a Win32
// error when the device cannot be read.
DWORD ReadPartitionTable(int descriptor, std::uint32_t logicalBlockSize, PartitionTable& table);

// "0fc63daf-8483-4772-8e79-3d69d8477de4" to a GUID; false for other text.
bool ParseGuid(const std::string& text, GUID& guid);

}  // namespace live
