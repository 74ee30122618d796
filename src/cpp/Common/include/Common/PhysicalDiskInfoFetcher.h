// Assembles the static description of one physical disk (number, name, size,
// media type, model, piece-part identifier, disk GUID, partitions matched to
// the letters of their volumes) and reads the byte counters of a volume.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Common/HardwareAccess.h"
#include "Common/PhysicalDiskInfo.h"
#include "platform/Win32.h"

namespace Talvex::Quorlin::Cpp::Common {

// One used partition of a disk's layout, or one volume with its partition.
struct DiskPartitionEntry {
    std::uint32_t DiskNumber = 0;
    std::wstring DriveLetter;
    std::wstring PartitionGuid;  // GUID text without braces
    PARTITION_INFORMATION_EX Partition{};
};

class PhysicalDiskInfoFetcher : public HardwareAccessLib::HardwareAccess {
public:
    using MediaTypes = std::vector<std::pair<std::uint32_t, HardwareAccessLib::DiskDriveMediaType>>;

    ~PhysicalDiskInfoFetcher() override;
    virtual DWORD QueryLogicalDriveStrings(DWORD length, LPWSTR buffer);
    virtual DWORD ReadLogicalDriveStrings(DWORD length, std::vector<wchar_t>& out);

    PhysicalDiskInfo GetPhysicalDiskInfo(const HardwareAccessLib::BasicDiskInfo& disk) noexcept;
    std::vector<PhysicalDiskInfo> GetAllPhysicalDiskInfo(const MediaTypes& mediaTypes);

    void FillDiskIdentity(const HardwareAccessLib::BasicDiskInfo& disk, PhysicalDiskInfo& record);
    void FillPartitions(PhysicalDiskInfo& record);
    std::uint32_t GetPartitionCount(std::uint32_t diskNumber, std::uint32_t entries);
    void GetDiskLayout(std::uint32_t diskNumber, std::vector<DiskPartitionEntry>& partitions, std::wstring& diskGuid);
    PARTITION_INFORMATION_EX GetVolumePartitionInfo(const std::wstring& path) noexcept;
    std::vector<std::wstring> GetDriveLetters() noexcept;
    std::vector<DiskPartitionEntry> GetVolumePartitions();
    void GetBytesTransferred(const std::string& driveLetter, std::int64_t& read, std::int64_t& written);
};

}  // namespace Talvex::Quorlin::Cpp::Common
