// The static description of one physical disk and of its partitions, as the
// physical disk fetcher assembles them for the hosted layer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Common/HardwareAccess.h"

namespace Talvex::Quorlin::Cpp::Common {

struct PartitionInfo {
    std::string Guid;         // partition identifier, GUID text without braces
    std::uint32_t Index = 0;  // PartitionNumber
    std::string Name;         // the letter of the volume on it, or "Not Used"
    std::uint64_t Size = 0;   // units of 1,048,576 bytes, truncated
};

struct PhysicalDiskInfo {
    std::uint32_t DiskNumber = 0;
    std::string Name;                      // "DISK" and the number
    std::optional<std::string> MakeModel;  // 40-character model number
    std::uint64_t Size = 0;                // units of 1,048,576 bytes
    HardwareAccessLib::DiskDriveMediaType MediaType = HardwareAccessLib::DiskDriveMediaType::Unknown;
    std::optional<std::string> Eppid;       // 20-character piece-part identifier
    std::string Guid;                       // disk identifier, GUID text without braces
    std::vector<PartitionInfo> Partitions;  // in layout order
};

}  // namespace Talvex::Quorlin::Cpp::Common
