// The plug-in collecting all six data types from the lab as recorded.
#include <gtest/gtest.h>

#include "ReplayKernel.h"
#include "StorageCollectorPlugin.h"
#include "kvr/host/RecordingAgent.h"
#include "live/LiveMachine.h"

namespace {

using Talvex::Quorlin::Plugins::StorageCollectorPlugin;

template <typename List>
std::vector<std::string> Ids(const List& items)
{
    std::vector<std::string> ids;
    if (items)
        for (const auto& item : *items) ids.push_back(item.ItemId());
    return ids;
}

TEST(LivePlugin, AllSixTypesFromTheRecordedLab)
{
    auto kernel = std::make_shared<livetest::ReplayKernel>();
    live::LiveMachine machine({livetest::recorded / "tree/sys", livetest::recorded / "tree/proc", livetest::DevRoot()},
                              live::LiveOptions{std::chrono::milliseconds(5)}, kernel);
    platform::MachineScope scope(machine);
    Kvr::Host::RecordingAgent agent;
    StorageCollectorPlugin plugin(agent);

    const std::string sda = "Disk_SCSI\\DISK&VEN_ATA&PROD_HWLAB_SATA_SSD_4\\HWLAB-SATA-0001";
    const std::string sdb = "Disk_SCSI\\DISK&VEN_ATA&PROD_HWLAB_SATA_HDD_2\\HWLAB-SATA-0002";
    const std::string nvme = "Disk_SCSI\\DISK&VEN_NVME&PROD_QEMU_NVME_CTRL\\HWLABNVME0001";
    const std::string vda = "Disk_SCSI\\DISK&VEN_VIRTIO&PROD_BLOCK_DEVICE\\HWLAB-VIRTIO-1";

    const auto disks = plugin.CollectPhysicalDiskStaticInfo(std::nullopt, std::nullopt);
    ASSERT_EQ(Ids(disks), (std::vector<std::string>{sda, sdb, nvme, vda}));
    const auto& ssd = (*disks)[0].Message();
    EXPECT_EQ(ssd.make_model(), "HWLAB SATA SSD 4G" + std::string(23, ' ')) << "IDENTIFY's 40 characters";
    EXPECT_EQ(ssd.type(), 4);
    ASSERT_EQ(ssd.partitions_size(), 3);
    EXPECT_EQ(ssd.partitions(1).name(), "C");
    EXPECT_EQ(ssd.partitions(1).guid(), "4857424C-0002-4000-8000-000000005A02");
    EXPECT_EQ((*disks)[1].Message().partitions_size(), 2) << "the container is no partition";
    EXPECT_EQ((*disks)[1].Message().type(), 3);

    EXPECT_EQ(Ids(plugin.CollectPhysicalDiskDynamicInfo(std::nullopt, std::nullopt)),
              (std::vector<std::string>{sda, sdb, nvme}))
        << "a disk without a lettered partition has no counters row the retriever takes";
    const auto smart = plugin.CollectSmartStaticInfo(std::nullopt, std::nullopt);
    ASSERT_EQ(Ids(smart), (std::vector<std::string>{sda, sdb, nvme, vda}));
    EXPECT_EQ((*smart)[1].Message().model_name(), "HWLAB SATA HDD 2G" + std::string(23, ' '));
    const auto attributes = plugin.CollectSmartDynamicInfo(std::nullopt, std::nullopt);
    EXPECT_EQ(Ids(attributes).size(), 4u);
    const auto identify = plugin.CollectNvmeIdentifyControllerData(std::nullopt, std::nullopt);
    ASSERT_EQ(Ids(identify), (std::vector<std::string>{nvme}));
    EXPECT_EQ((*identify)[0].Message().serial_number(), "HWLABNVME0001");
    EXPECT_EQ(Ids(plugin.CollectSmartNvmeInfo(std::nullopt, std::nullopt)), (std::vector<std::string>{nvme}));
    EXPECT_EQ(machine.Ledger().OpenReport(), "");
}

}  // namespace
