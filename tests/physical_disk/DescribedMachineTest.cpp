// Both physical disk methods of the plug-in on a machine given only by its
// description: the WMI classes are the ones the simulator derives from the
// disks and volumes, as on a real machine. Disk 0 is the GPT system disk of
// 8,225,280,000 bytes with its EFI system, reserved and C: partitions, and
// disk 1 a hard disk with D: and E: (data/workstation.json).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "SimMachineFixture.h"
#include "StorageCollectorPlugin.h"
#include "kvr/host/RecordingAgent.h"

namespace physical_disk_test {
namespace {

using Talvex::Quorlin::Datatypes::PhysicalDiskStaticInfo;
using Talvex::Quorlin::Plugins::StorageCollectorPlugin;
using ::testing::ElementsAre;
using ::testing::IsSupersetOf;

class DescribedMachineTest : public SimMachineFixture {};

TEST_F(DescribedMachineTest, BothMethodsReportEveryDisk)
{
    machine.Load(sim::LoadDescriptionFile(PHYSICAL_DISK_TEST_DATA "/workstation.json"));
    Kvr::Host::RecordingAgent agent;
    StorageCollectorPlugin plugin(agent);

    const auto disks = plugin.CollectPhysicalDiskStaticInfo(std::nullopt, std::nullopt);
    ASSERT_TRUE(disks.has_value());
    ASSERT_EQ(disks->size(), 2u);
    EXPECT_EQ((*disks)[0].ItemId(), "Disk_SCSI\\DISK&VEN_ATA&PROD_SSD\\4&0");
    const PhysicalDiskStaticInfo& ssd = (*disks)[0].Message();
    EXPECT_EQ(ssd.name(), "DISK0");
    EXPECT_EQ(ssd.description(), "Storage");
    EXPECT_EQ(ssd.make_model(), "SSD 860" + std::string(33, ' ')) << "the drive's own 40-character model";
    EXPECT_EQ(ssd.size().value(), 7844u);
    EXPECT_EQ(ssd.type(), PhysicalDiskStaticInfo::DISK_TYPE_SSD);
    EXPECT_THAT(ssd.capability(), ElementsAre("HardDrive", "SSD"));
    EXPECT_EQ(ssd.device_instance_id(), (*disks)[0].ItemId());
    EXPECT_EQ(ssd.eppid(), "CN0SSD860EPPID00001 ");
    EXPECT_EQ(ssd.guid(), "4F6A3C2E-1B2D-4E5F-8A9B-0C1D2E3F4A5B");
    std::vector<std::tuple<std::string, std::uint64_t, std::uint64_t, std::string>> partitions;
    for (const auto& partition : ssd.partitions()) {
        EXPECT_TRUE(partition.has_size() && partition.has_index());
        partitions.emplace_back(partition.name(), partition.size().value(), partition.index().value(),
                                partition.guid());
    }
    EXPECT_THAT(partitions, ElementsAre(std::tuple{"Not Used", 100, 1, "A1A2A3A4-0001-4000-8000-00000000000A"},
                                        std::tuple{"Not Used", 15, 2, "A1A2A3A4-0002-4000-8000-00000000000B"},
                                        std::tuple{"C", 512, 3, "A1A2A3A4-0003-4000-8000-00000000000C"}));
    EXPECT_EQ((*disks)[1].ItemId(), "Disk_SCSI\\DISK&VEN_ATA&PROD_HDD\\4&1");
    const PhysicalDiskStaticInfo& hdd = (*disks)[1].Message();
    EXPECT_THAT(hdd.capability(), ElementsAre("HardDrive", "HDD"));
    EXPECT_EQ(hdd.guid(), "12345678-0000-0000-0000-000000000000");
    ASSERT_EQ(hdd.partitions_size(), 2) << "the two empty slots of the table are skipped";
    EXPECT_EQ(hdd.partitions(1).name(), "E");
    // An MBR partition is named by the second half of its identifier: its
    // starting offset, 1 MiB, after the disk signature.
    EXPECT_EQ(hdd.partitions(0).guid(), "00100000-0000-0000-0000-000000000000");

    // The counter rows the machine derives: "0 C:", "1 D: E:" and "_Total".
    const auto rates = plugin.CollectPhysicalDiskDynamicInfo(std::nullopt, std::nullopt);
    ASSERT_TRUE(rates.has_value());
    ASSERT_EQ(rates->size(), 2u);
    EXPECT_EQ((*rates)[0].ItemId(), (*disks)[0].ItemId());
    EXPECT_EQ((*rates)[1].Time(), (*rates)[0].Time()) << "one collection time for all items";
    const auto& system = (*rates)[0].Message();
    EXPECT_EQ(system.idle_time_percentage().value(), 97u);
    EXPECT_EQ(system.read_time_percentage().value(), 2u);
    EXPECT_EQ(system.write_time_percentage().value(), 1u);
    EXPECT_EQ(system.byte_read_per_sec_in_mb().value(), 0u) << "1,048,575 bytes are less than a megabyte";
    EXPECT_EQ(system.byte_write_per_sec_in_mb().value(), 1u);
    EXPECT_EQ(system.byte_read_in_mb().value(), 3072);
    ASSERT_TRUE(system.has_byte_write_in_mb());
    EXPECT_EQ(system.byte_write_in_mb().value(), 0) << "a written amount below a megabyte is set, as 0";
    EXPECT_EQ((*rates)[1].ItemId(), (*disks)[1].ItemId());
    const auto& data = (*rates)[1].Message();
    EXPECT_EQ(data.byte_read_per_sec_in_mb().value(), 10u);
    EXPECT_EQ(data.byte_read_in_mb().value(), 5) << "the amounts of the last volume, E:";
    EXPECT_EQ(data.byte_write_in_mb().value(), 9);
    EXPECT_THAT(agent.Log()->Texts(),
                IsSupersetOf({"GetDynamicDiskData: the \"_total\" name is invalid, skipping to the next one.",
                              "name: c, mega_bytes_read: 3072, bytes_write: 0",
                              "name: e, mega_bytes_read: 5, bytes_write: 9"}));
    for (const auto& record : agent.Log()->Records()) EXPECT_NE(record.Level, Kvr::LogLevel::Error) << record.Text;
}

}  // namespace
}  // namespace physical_disk_test
