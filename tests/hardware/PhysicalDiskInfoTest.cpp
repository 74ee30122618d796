// The disk records on the described machines of data/: the layout read, the
// volume list and the records that failures leave partly filled.
#include <gtest/gtest.h>

#include "Common/PhysicalDiskInfoFetcher.h"
#include "Common/PhysicalDiskInfoProvider.h"
#include "SimMachineFixture.h"

namespace {

using namespace Talvex::Quorlin::Cpp::Common;
using HardwareAccessLib::DiskDriveMediaType;

class PhysicalDiskInfoTest : public SimMachineFixture {};

TEST_F(PhysicalDiskInfoTest, LayoutBufferGrowsOneEntryAtATime)
{
    DescribeFile(HARDWARE_TEST_DATA "/twins.json");  // disk 0: EFI, reserved, C: and a fourth partition
    PhysicalDiskInfoFetcher fetcher;
    EXPECT_EQ(fetcher.GetPartitionCount(0, 1), 4u);
    std::vector<DiskPartitionEntry> partitions;
    std::wstring guid;
    fetcher.GetDiskLayout(0, partitions, guid);
    EXPECT_EQ(guid, L"4F6A3C2E-1B2D-4E5F-8A9B-0C1D2E3F4A5B");
    ASSERT_EQ(partitions.size(), 4u);
    EXPECT_EQ(partitions[3].PartitionGuid, L"A1A2A3A4-0004-4000-8000-00000000000D");
    EXPECT_EQ(partitions[3].DriveLetter, L"Not Used");
    EXPECT_EQ(partitions[3].Partition.PartitionNumber, 4u);

    std::vector<DWORD> sizes;
    for (const auto& request : machine.Disks()->Disk(0)->Requests(IOCTL_DISK_GET_DRIVE_LAYOUT_EX))
        sizes.push_back(request.outSize);
    // Four attempts for the count (room for 1, 2, 3, then 4 entries); the
    // layout counts again the same way, then reads with room for four.
    EXPECT_EQ(sizes, (std::vector<DWORD>{192, 336, 480, 624, 192, 336, 480, 624, 624}));
}

TEST_F(PhysicalDiskInfoTest, VolumeListLeavesOutSharesAndSortsByDiskThenLetter)
{
    // Disk 1 copies disk 0's partition identifiers; C: is on disk 1, D: and
    // F: on disk 0, Z: a share.
    DescribeFile(HARDWARE_TEST_DATA "/twins.json");
    PhysicalDiskInfoFetcher fetcher;
    EXPECT_EQ(fetcher.GetDriveLetters(), (std::vector<std::wstring>{L"C", L"D", L"F", L"Z"}));
    const auto volumes = fetcher.GetVolumePartitions();
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(volumes[0].DriveLetter, L"D");
    EXPECT_EQ(volumes[1].DriveLetter, L"F");
    EXPECT_EQ(volumes[2].DriveLetter, L"C");
    EXPECT_EQ(volumes[2].DiskNumber, 1u);

    // The copy's partition takes the letter first in that order.
    const auto infos = fetcher.GetAllPhysicalDiskInfo({});
    ASSERT_EQ(infos.size(), 2u);
    EXPECT_EQ(infos[0].Partitions[2].Name, "D");
    EXPECT_EQ(infos[1].Partitions[2].Name, "D");
    EXPECT_EQ(infos[1].Partitions[0].Name, "F");
}

TEST_F(PhysicalDiskInfoTest, FailuresLeaveAPartlyFilledRecord)
{
    DescribeFile(HARDWARE_TEST_DATA "/broken.json");  // disk 0 opens read-only, disk 1 cannot tell its layout
    PhysicalDiskInfoProvider provider;
    const auto disks = provider.GetAllBasicDiskInfo({{0, DiskDriveMediaType::SSD}, {1, DiskDriveMediaType::HDD}});
    ASSERT_EQ(disks.size(), 2u);
    const PhysicalDiskInfo bare = provider.GetPhysicalDiskInfo(disks[0]);
    EXPECT_EQ(bare.DiskNumber, 0u);
    EXPECT_EQ(bare.Name, "DISK0");
    EXPECT_EQ(bare.Size, 0u);
    EXPECT_EQ(bare.MediaType, DiskDriveMediaType::Unknown);
    EXPECT_FALSE(bare.MakeModel || bare.Eppid);
    EXPECT_EQ(bare.Guid, "");
    EXPECT_TRUE(bare.Partitions.empty());

    const PhysicalDiskInfo layoutless = provider.GetPhysicalDiskInfo(disks[1]);
    EXPECT_EQ(layoutless.Size, 7844u);
    EXPECT_EQ(layoutless.MediaType, DiskDriveMediaType::HDD);
    EXPECT_TRUE(layoutless.MakeModel.has_value());
    EXPECT_EQ(layoutless.Guid, "");
    EXPECT_TRUE(layoutless.Partitions.empty());
}

TEST_F(PhysicalDiskInfoTest, DriveStringsThatFillTheBufferGiveNoLetters)
{
    class FullBufferFetcher : public PhysicalDiskInfoFetcher {
    public:
        DWORD ReadLogicalDriveStrings(DWORD length, std::vector<wchar_t>& out) override
        {
            PhysicalDiskInfoFetcher::ReadLogicalDriveStrings(length, out);
            return length;
        }
    } fetcher;
    DescribeFile(HARDWARE_TEST_DATA "/broken.json");
    EXPECT_TRUE(fetcher.GetDriveLetters().empty());
    EXPECT_EQ(PhysicalDiskInfoFetcher().GetDriveLetters(), std::vector<std::wstring>{L"C"});
}

}  // namespace
