// The two NVMe collection methods of the plug-in over the real device query
// library and a described machine: an NVMe drive with the vendor areas, one
// behind a RAID controller without them, one whose queries fail and a SATA
// disk. Every handle, COM reference, string and library object must be back
// when a collection returns (the fixture's ledger check).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "SimMachineFixture.h"
#include "StorageCollectorPlugin.h"
#include "kvr/host/RecordingAgent.h"

namespace {

using Kvr::LogLevel;
using Kvr::Host::RecordingAgent;
using platform::Resource;
using Talvex::Quorlin::Plugins::StorageCollectorPlugin;

class NvmeEndToEnd : public SimMachineFixture {
protected:
    static std::string Machine()
    {
        std::ifstream file(NVME_TEST_DATA "/machine.json");
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    std::vector<std::pair<LogLevel, std::string>> Logged() const
    {
        std::vector<std::pair<LogLevel, std::string>> logged;
        for (const auto& record : agent.Log()->Records()) logged.emplace_back(record.Level, record.Text);
        return logged;
    }

    RecordingAgent agent;
    StorageCollectorPlugin plugin{agent};
};

TEST_F(NvmeEndToEnd, IdentifyControllerDataOfNvmeAndRaidDrives)
{
    Describe(Machine());
    const auto items = plugin.CollectNvmeIdentifyControllerData(std::nullopt, std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[0].ItemId(), "Disk_SCSI\\DISK&VEN_NVME&PROD_QUORLIN\\5&2B8C&0&000000");
    EXPECT_EQ((*items)[1].ItemId(), "Disk_SCSI\\DISK&VEN_RAID&PROD_QN900\\6&1&0&010000");

    // Each field's own value is the conversion sweep's; here, what each drive has.
    const auto& nvme = (*items)[0].Message();
    EXPECT_EQ(nvme.serial_number(), "QN7A0B1C2D3E");
    EXPECT_EQ(nvme.power_state_desc_size(), 3);
    ASSERT_TRUE(nvme.has_customized_controller_data());
    EXPECT_EQ(nvme.customized_controller_data().eppid(), "CN0QN700A1B2C3D4E5F6");
    EXPECT_EQ(nvme.customized_controller_data().guid(), "76543210");
    ASSERT_TRUE(nvme.has_device_category());
    EXPECT_EQ(nvme.device_category().class_11().value(), 11u);

    // Behind the RAID controller, without the vendor area: the rest is there.
    const auto& raid = (*items)[1].Message();
    EXPECT_EQ(raid.serial_number(), "QN9RAID01");
    EXPECT_EQ(raid.power_state_desc_size(), 1);
    EXPECT_FALSE(raid.has_customized_controller_data());
    EXPECT_FALSE(raid.has_device_category());
    EXPECT_TRUE(raid.has_version());

    const std::vector<std::pair<LogLevel, std::string>> expected{
        {LogLevel::Debug, "datatypeId: 'NvmeIdentifyControllerData', itemId: ''"},
        {LogLevel::Trace, "Disk_SCSI\\DISK&VEN_NVME&PROD_QUORLIN\\5&2B8C&0&000000 ByteStringObjects: "
                          "FruGloballyUniqueIdentifier: 0x00, TotalNvmCapacity: 0x773C256000, "
                          "UnallocatedNvmCapacity: 0x00"},
        {LogLevel::Trace, "Disk_SCSI\\DISK&VEN_RAID&PROD_QN900\\6&1&0&010000 ByteStringObjects: "
                          "FruGloballyUniqueIdentifier: 0x00, TotalNvmCapacity: 0xEE77A56000, "
                          "UnallocatedNvmCapacity: 0x00"},
        {LogLevel::Debug, "get all data for NvmeIdentifyControllerDataRetriever"},
        {LogLevel::Trace, "Got total info for NvmeIdentifyControllerDataRetriever: 2"},
    };
    EXPECT_EQ(Logged(), expected);
    for (const auto& record : agent.Log()->Records()) {
        EXPECT_EQ(record.File, "src/Plugins/StorageCollector/NvmeIdentifyControllerDataRetriever");
        EXPECT_EQ(record.Function, "Talvex::Quorlin::Plugins::NvmeIdentifyControllerDataRetriever::CollectData");
    }
    // Two drives, each with its Identify object and its vendor object.
    EXPECT_EQ(machine.Ledger().Acquisitions(Resource::LibraryObject), 4);
}

TEST_F(NvmeEndToEnd, HealthOfNvmeAndRaidDrives)
{
    Describe(Machine());
    const auto items = plugin.CollectSmartNvmeInfo(std::string(), std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 2u);

    const auto& nvme = (*items)[0].Message();
    ASSERT_TRUE(nvme.has_health_info());
    const auto& health = nvme.health_info();
    EXPECT_EQ(health.temperature_sensor_1().value(), 0);  // not implemented: -273 from the library
    EXPECT_EQ(health.temperature_sensor_2().value(), 0);  // 273 K
    EXPECT_TRUE(health.critical_warning().degraded_reliability().value());
    EXPECT_TRUE(health.has_endurance_group_critical_warning_summary());
    ASSERT_TRUE(nvme.has_customized_health_info());
    EXPECT_EQ(nvme.customized_health_info().wear_leveling_count().value(), 7u);
    EXPECT_EQ(nvme.customized_health_info().total_data_written_by_controller(), "0100");

    const auto& raid = (*items)[1].Message();
    EXPECT_TRUE(raid.has_health_info());
    EXPECT_FALSE(raid.has_customized_health_info());

    const std::vector<std::pair<LogLevel, std::string>> expected{
        {LogLevel::Trace, "Got total info for SmartNvmeInfoCollector: 2"}};
    EXPECT_EQ(Logged(), expected);
    // Health, warning and summary objects of both drives, and one customized object.
    EXPECT_EQ(machine.Ledger().Acquisitions(Resource::LibraryObject), 7);
}

// Two NVMe drives that WMI does not list both resolve to "Disk_": the whole
// call fails, and still nothing stays open.
TEST_F(NvmeEndToEnd, ADuplicateItemIdFailsTheWholeCall)
{
    std::string description = Machine();
    description.replace(description.rfind("]}"), 2, R"(],
        "wmi": {"root\\cimv2": {"classes": {"Win32_DiskDrive": {"rows": [{"drop": 0}, {"drop": 1}]}}}}})");
    Describe(description);
    for (const bool identify : {true, false}) {
        agent.Log()->Clear();
        try {
            if (identify)
                plugin.CollectNvmeIdentifyControllerData(std::nullopt, std::nullopt);
            else
                plugin.CollectSmartNvmeInfo(std::nullopt, std::nullopt);
            ADD_FAILURE() << "the duplicate went unnoticed";
        } catch (const Kvr::KvrException& error) {
            ASSERT_NE(error.InnerException(), nullptr);
            EXPECT_EQ(error.InnerException()->TypeName(), "Kvr::ArgumentException");
        }
        const auto logged = Logged();
        ASSERT_FALSE(logged.empty());
        EXPECT_EQ(logged.back(), std::make_pair(LogLevel::Error,
                                                std::string("Exception : An item with the same key has already been "
                                                            "added. Key: Disk_")));
        EXPECT_EQ(machine.Ledger().OpenTotal(), 0);
    }
}

}  // namespace
