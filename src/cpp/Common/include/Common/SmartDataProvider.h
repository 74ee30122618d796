// The facade through which the hosted layer reads SMART data: the disk list
// and each disk's SMART picture. Each call works on a fetcher of its own.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "Common/HardwareAccess.h"
#include "Common/SmartDataCollection.h"

namespace Talvex::Quorlin::Cpp::Common {

class SmartDataProvider {
public:
    using MediaTypes = std::vector<std::pair<std::uint32_t, HardwareAccessLib::DiskDriveMediaType>>;

    SmartDataProvider() = default;
    ~SmartDataProvider() = default;

    // Ascending by device number; a failing disk ends the list without raising.
    std::vector<HardwareAccessLib::BasicDiskInfo> GetAllBasicDiskInfo(const MediaTypes& mediaTypes);
    // As far as it could be read; never raises. `vendorSpecific` is the SMART
    // data sector WMI delivered for this disk, or empty.
    SmartDataCollection GetSmartInformation(const HardwareAccessLib::BasicDiskInfo& disk,
                                            const std::vector<std::uint8_t>& vendorSpecific);
    // Every disk on a SMART-capable bus; empty on any failure.
    std::vector<SmartDataCollection> GetAllSmartInformation(const MediaTypes& mediaTypes);
};

}  // namespace Talvex::Quorlin::Cpp::Common
