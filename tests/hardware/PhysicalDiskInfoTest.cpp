#include <gtest/gtest.h>

#include "Common/PhysicalDiskInfoFetcher.h"
#include "Common/PhysicalDiskInfoProvider.h"
#include "DiskMachine.h"
#include "failure_reporting/ResultException.h"

namespace hardware_test {
namespace {

using namespace Talvex::Quorlin::Cpp::Common;
using HardwareAccessLib::DiskDriveMediaType;

constexpr std::uint64_t kMiB = 1048576;

sim::PartitionModel Partition(std::uint32_t number, const char* id, std::uint64_t length)
{
    sim::PartitionModel partition;
    partition.number = number;
    partition.startingOffset = number * 1024 * kMiB;
    partition.length = length;
    partition.id = Guid(id);
    partition.type = Guid("ebd0a0a2-b9e5-4433-87c0-68b9b726c99c");
    return partition;
}

// Disk 0 as a system disk: EFI system, reserved and data partition, the last
// holding C:, and an unused entry.
sim::DiskModel GptSystemDisk()
{
    auto disk = AtaDisk(0, "SYSTEM DISK MODEL", "SYSTEM-DISK-EPPID-01");
    disk.geometry = {1000, 12, 255, 63, 512};
    disk.layout.style = sim::PartitionStyle::Gpt;
    disk.layout.diskId = Guid("4f6a3c2e-1b2d-4e5f-8a9b-0c1d2e3f4a5b");
    disk.layout.partitions = {Partition(1, "a1a2a3a4-0001-4000-8000-00000000000a", 100 * kMiB),
                              Partition(2, "a1a2a3a4-0002-4000-8000-00000000000b", 1048575),
                              Partition(3, "a1a2a3a4-0003-4000-8000-00000000000c", 536870912),
                              Partition(4, "00000000-0000-0000-0000-000000000000", 0)};
    return disk;
}

sim::VolumeModel Volume(wchar_t letter, std::uint32_t disk, std::uint32_t partition)
{
    sim::VolumeModel volume;
    volume.letter = letter;
    volume.disk = disk;
    volume.partitionNumber = partition;
    return volume;
}

using PhysicalDiskInfoTest = DiskTest;

TEST_F(PhysicalDiskInfoTest, LayoutBufferGrowsOneEntryAtATime)
{
    auto disk = GptSystemDisk();
    disk.layout.partitions[3] = Partition(4, "a1a2a3a4-0004-4000-8000-00000000000d", 2 * kMiB);
    machine.disks.AddDisk(disk);
    PhysicalDiskInfoFetcher fetcher;

    EXPECT_EQ(fetcher.GetPartitionCount(0, 1), 4u);
    std::vector<DiskPartitionEntry> partitions;
    std::wstring guid;
    fetcher.GetDiskLayout(0, partitions, guid);
    EXPECT_EQ(partitions.size(), 4u);
    EXPECT_EQ(partitions[3].PartitionGuid, L"A1A2A3A4-0004-4000-8000-00000000000D");
    EXPECT_EQ(partitions[3].DriveLetter, L"Not Used");
    EXPECT_EQ(partitions[3].Partition.PartitionNumber, 4u);

    std::vector<DWORD> sizes;
    for (const auto& request : machine.disks.Disk(0)->Requests(IOCTL_DISK_GET_DRIVE_LAYOUT_EX))
        sizes.push_back(request.outSize);
    // Four attempts for the count (room for 1, 2, 3, then 4 entries); the
    // layout counts again the same way, then reads with room for four.
    EXPECT_EQ(sizes, (std::vector<DWORD>{192, 336, 480, 624, 192, 336, 480, 624, 624}));
}

TEST_F(PhysicalDiskInfoTest, VolumeListLeavesOutSharesAndSortsByDiskThenLetter)
{
    auto system = GptSystemDisk();
    auto clone = GptSystemDisk();  // same partition identifiers on disk 1
    clone.number = 1;
    clone.interfacePath = InterfacePath(1);
    machine.disks.AddDisk(system);
    machine.disks.AddDisk(clone);
    machine.disks.AddVolume(Volume(L'C', 1, 3));
    machine.disks.AddVolume(Volume(L'D', 0, 3));
    machine.disks.AddVolume(Volume(L'F', 0, 1));
    sim::VolumeModel share;
    share.letter = L'Z';
    machine.disks.AddVolume(share);

    PhysicalDiskInfoFetcher fetcher;
    const auto letters = fetcher.GetDriveLetters();
    EXPECT_EQ(letters, (std::vector<std::wstring>{L"C", L"D", L"F", L"Z"}));
    const auto volumes = fetcher.GetVolumePartitions();
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(volumes[0].DriveLetter, L"D");
    EXPECT_EQ(volumes[1].DriveLetter, L"F");
    EXPECT_EQ(volumes[2].DriveLetter, L"C");
    EXPECT_EQ(volumes[2].DiskNumber, 1u);

    // The clone's data partition takes the letter first in that order.
    const auto infos = fetcher.GetAllPhysicalDiskInfo({});
    ASSERT_EQ(infos.size(), 2u);
    EXPECT_EQ(infos[0].Partitions[2].Name, "D");
    EXPECT_EQ(infos[1].Partitions[2].Name, "D");
    EXPECT_EQ(infos[1].Partitions[0].Name, "F");
}

TEST_F(PhysicalDiskInfoTest, FailuresLeaveAPartlyFilledRecord)
{
    auto readOnly = GptSystemDisk();
    readOnly.faults.access = sim::OpenAccess::ReadOnly;
    auto noLayout = GptSystemDisk();
    noLayout.number = 1;
    noLayout.interfacePath = InterfacePath(1);
    noLayout.faults.requests.push_back(Fault(IOCTL_DISK_GET_DRIVE_LAYOUT_EX, sim::FaultKind::Fail, ERROR_NOT_READY));
    machine.disks.AddDisk(readOnly);
    machine.disks.AddDisk(noLayout);
    machine.disks.AddVolume(Volume(L'C', 0, 3));

    PhysicalDiskInfoProvider provider;
    const auto disks = provider.GetAllBasicDiskInfo({{0, DiskDriveMediaType::SSD}, {1, DiskDriveMediaType::HDD}});
    ASSERT_EQ(disks.size(), 2u);
    const PhysicalDiskInfo bare = provider.GetPhysicalDiskInfo(disks[0]);
    EXPECT_EQ(bare.DiskNumber, 0u);
    EXPECT_EQ(bare.Name, "DISK0");
    EXPECT_EQ(bare.Size, 0u);
    EXPECT_EQ(bare.MediaType, DiskDriveMediaType::Unknown);
    EXPECT_FALSE(bare.MakeModel.has_value());
    EXPECT_FALSE(bare.Eppid.has_value());
    EXPECT_EQ(bare.Guid, "");
    EXPECT_TRUE(bare.Partitions.empty());

    const PhysicalDiskInfo layoutless = provider.GetPhysicalDiskInfo(disks[1]);
    EXPECT_EQ(layoutless.Size, 7844u);
    EXPECT_EQ(layoutless.MediaType, DiskDriveMediaType::HDD);
    EXPECT_TRUE(layoutless.MakeModel.has_value());
    EXPECT_EQ(layoutless.Guid, "");
    EXPECT_TRUE(layoutless.Partitions.empty());
}

class FullBufferFetcher : public PhysicalDiskInfoFetcher {
public:
    DWORD ReadLogicalDriveStrings(DWORD length, std::vector<wchar_t>& out) override
    {
        PhysicalDiskInfoFetcher::ReadLogicalDriveStrings(length, out);
        return length;
    }
};

TEST_F(PhysicalDiskInfoTest, DriveStringsThatFillTheBufferGiveNoLetters)
{
    machine.disks.AddVolume(Volume(L'C', 0, 3));
    FullBufferFetcher fetcher;
    EXPECT_TRUE(fetcher.GetDriveLetters().empty());
    PhysicalDiskInfoFetcher plain;
    EXPECT_EQ(plain.GetDriveLetters(), std::vector<std::wstring>{L"C"});
}

}  // namespace
}  // namespace hardware_test
