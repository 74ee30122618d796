// Replies shared by the disk and volume devices, written into the caller's
// output buffer in Windows' layouts.
#pragma once

#include <cstdint>
#include <filesystem>

#include "PartitionTable.h"
#include "platform/Device.h"

namespace live::answers {

platform::IoResult DeviceNumber(const platform::IoRequest& request, std::uint32_t disk, std::uint32_t partition);

// DISK_PERFORMANCE from a disk's or partition's stat file and the system's
// uptime: bytes and times as the kernel counts them, times in 100 ns units,
// idle time as the uptime the device spent without I/O in flight.
platform::IoResult Performance(const platform::IoRequest& request, const std::filesystem::path& statFile,
                               const std::filesystem::path& procRoot, std::uint32_t disk);

void FillPartitionEntry(PARTITION_INFORMATION_EX& out, const TableEntry& entry, PARTITION_STYLE style);

platform::IoResult PartitionInfo(const platform::IoRequest& request, const TableEntry& entry, PARTITION_STYLE style);

}  // namespace live::answers
