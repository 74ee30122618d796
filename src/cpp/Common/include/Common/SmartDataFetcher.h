// Reads the ATA SMART attributes and thresholds of one disk through SCSI
// pass-through, merges in the attribute data WMI delivered for the disk, adds
// its model number and piece-part identifier and tells a solid-state drive
// from a rotating one. The disk queries come from HardwareAccess, which stays
// a private base: the fetcher offers only what the SMART readers need.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Common/HardwareAccess.h"
#include "Common/SmartDataCollection.h"

namespace Talvex::Quorlin::Cpp::Common {

class SmartDataFetcher : private HardwareAccessLib::HardwareAccess {
public:
    using MediaTypes = std::vector<std::pair<std::uint32_t, HardwareAccessLib::DiskDriveMediaType>>;

    SmartDataFetcher() = default;
    ~SmartDataFetcher() override;

    using HardwareAccessLib::HardwareAccess::GetAllBasicDiskInfo;

    // SMART READ DATA / READ THRESHOLDS into `data`, zeroed first. False when
    // the device answers CHECK CONDITION or with all zeros: `data` is then not
    // to be used. Raises the last error when the disk cannot be opened or the
    // request fails.
    bool ReadSmartData(const std::wstring& path, std::uint8_t data[512]);
    bool ReadSmartThresholds(const std::wstring& path, std::uint8_t data[512]);

    // Copy the 30 attribute entries / the threshold entries of a sector into
    // the collection's known attributes, replacing what an earlier parse set.
    static void ParseSmartAttributes(SmartDataCollection& collection, const std::uint8_t data[512]) noexcept;
    static void ParseSmartThresholds(SmartDataCollection& collection, const std::uint8_t data[512]) noexcept;

    // The drive's attributes parsed into `collection` when it answers INQUIRY
    // and SMART READ DATA; false otherwise, also for any raised failure.
    bool TryReadSmartAttributes(const std::wstring& path, SmartDataCollection& collection) noexcept;

    // Whether the disk sits on a bus that can carry SMART requests. Raises the
    // last error when the disk cannot be opened or queried.
    bool IsSmartCapableBus(const std::wstring& path);

    // Never raises: a failure while reading IDENTIFY DEVICE counts as false.
    bool IsSsd(const HardwareAccessLib::BasicDiskInfo& disk, const SmartDataCollection& collection) noexcept;

    // As much of the disk's SMART picture as could be read; never raises.
    // `vendorSpecific` is the SMART data sector WMI delivered for the disk, or empty.
    SmartDataCollection GetSmartInformation(const HardwareAccessLib::BasicDiskInfo& disk,
                                            const std::vector<std::uint8_t>& vendorSpecific);
    // Every disk on a SMART-capable bus, without WMI data; empty on any failure.
    std::vector<SmartDataCollection> GetAllSmartInformation(const MediaTypes& mediaTypes);

private:
    bool ReadSmartSector(const std::wstring& path, std::uint8_t feature, std::uint8_t data[512]);
};

}  // namespace Talvex::Quorlin::Cpp::Common
