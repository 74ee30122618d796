// The facade through which the hosted layer reads physical disks: the disk
// list, each disk's static record and the transfer counters of a volume. Each
// call works on a fetcher of its own.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Common/HardwareAccess.h"
#include "Common/PhysicalDiskInfo.h"

namespace Talvex::Quorlin::Cpp::Common {

class PhysicalDiskInfoProvider {
public:
    using MediaTypes = std::vector<std::pair<std::uint32_t, HardwareAccessLib::DiskDriveMediaType>>;

    PhysicalDiskInfoProvider() = default;
    ~PhysicalDiskInfoProvider() = default;

    // Ascending by device number; a failing disk ends the list without raising.
    std::vector<HardwareAccessLib::BasicDiskInfo> GetAllBasicDiskInfo(const MediaTypes& mediaTypes);
    // As far as it could be read; never raises.
    PhysicalDiskInfo GetPhysicalDiskInfo(const HardwareAccessLib::BasicDiskInfo& disk);
    // The volume's byte counters in units of 1,048,576 bytes, truncated. On a
    // raised error both counters keep their values.
    void GetMegaBytesTransferred(const std::string& driveLetter, std::int64_t& megaBytesRead,
                                 std::int64_t& megaBytesWritten);

    std::vector<PhysicalDiskInfo> GetAllPhysicalDiskInfo(const MediaTypes& mediaTypes);
    void GetBytesTransferred(const std::string& driveLetter, std::int64_t& read, std::int64_t& written);
};

}  // namespace Talvex::Quorlin::Cpp::Common
