// The two NVMe collection methods of the plug-in over the real device query
// library and a described machine: an NVMe drive with the vendor areas, one
// behind a RAID controller without them, one whose queries fail and a SATA
// disk. Every handle, COM reference, string and library object must be back
// when a collection returns (the fixture's ledger check).
#include <gtest/gtest.h>

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

constexpr const char* kMachine = R"({"disks": [
  {"number": 0, "model": "Quorlin QN700 NVMe 512GB", "serial": "QN7A0B1C2D3E", "firmware": "4B2QGXA7",
   "pnpDeviceId": "SCSI\\DISK&VEN_NVME&PROD_QUORLIN\\5&2B8C&0&000000", "sizeBytes": 512110190592,
   "nvme": {
     "identify": {"vid": "0x1F7A", "ieee": "0x002538", "ver": "0x00010400", "npss": 2, "wctemp": 357,
                  "subnqn": "nqn.2014-08.org.nvmexpress:1f7a1f7aQN7A0B1C2D3E",
                  "psd": [{"mp": 800}, {"mp": 300}, {"mp": 50, "mxps": true, "nops": true, "exlat": 9000}],
                  "vendor": {"eppid": "CN0QN700A1B2C3D4E5F6G7H8I9J0K1L2", "formFactor": 4,
                             "systemCrashProtection": true, "deviceCategory": [1, 2, 3, 11],
                             "guid": "10325476000000000000000000000000", "componentId": "QN700"}},
     "health": {"criticalWarning": 4, "temperature": 323, "tempSensor": [0, 273, 310], "powerOnHours": 4660,
                "dataUnitsWritten": "18446744073709551616"},
     "vendorHealth": {"wearLevelingCount": 7, "minimumTemperature": 290, "totalDataWrittenByController": 256}}},
  {"number": 1, "model": "Quorlin QN900 RAID member", "serial": "QN9RAID01",
   "pnpDeviceId": "SCSI\\DISK&VEN_RAID&PROD_QN900\\6&1&0&010000", "sizeBytes": 1024209543168,
   "nvme": {"busType": "RAID"}},
  {"number": 2, "model": "Quorlin QN700 failing", "pnpDeviceId": "SCSI\\DISK&VEN_NVME&PROD_BROKEN\\5&9&0&020000",
   "sizeBytes": 256060514304,
   "nvme": {"faults": {"identify": 1117, "healthLog": 1117}}},
  {"number": 3, "model": "Kestrel KD2000 SATA", "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_KESTREL\\4&1&0&030000",
   "interfaceType": "IDE", "sizeBytes": 2000398934016, "busType": "Sata"}]})";

class NvmeEndToEnd : public SimMachineFixture {
protected:
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
    Describe(kMachine);
    const auto items = plugin.CollectNvmeIdentifyControllerData(std::nullopt, std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[0].ItemId(), "Disk_SCSI\\DISK&VEN_NVME&PROD_QUORLIN\\5&2B8C&0&000000");
    EXPECT_EQ((*items)[1].ItemId(), "Disk_SCSI\\DISK&VEN_RAID&PROD_QN900\\6&1&0&010000");

    const auto& nvme = (*items)[0].Message();
    EXPECT_EQ(nvme.pci_vendor_id().value(), 0x1F7Au);
    EXPECT_EQ(nvme.serial_number(), "QN7A0B1C2D3E");
    EXPECT_EQ(nvme.model_number(), "Quorlin QN700 NVMe 512GB");
    EXPECT_EQ(nvme.firmware_revision(), "4B2QGXA7");
    EXPECT_EQ(nvme.ieee_oui_identifier(), "2538");
    EXPECT_EQ(nvme.version().major().value(), 1u);
    EXPECT_EQ(nvme.version().minor().value(), 4u);
    EXPECT_EQ(nvme.warning_composite_temperature_threshold().value(), 357u);  // Kelvin, as reported
    EXPECT_EQ(nvme.total_nvm_capacity(), "773C256000");
    EXPECT_EQ(nvme.unallocated_nvm_capacity(), "00");
    EXPECT_EQ(nvme.nvm_subsystem_nvme_qualified_name(), "nqn.2014-08.org.nvmexpress:1f7a1f7aQN7A0B1C2D3E");
    ASSERT_EQ(nvme.power_state_desc_size(), 3);
    EXPECT_EQ(nvme.power_state_desc(1).max_power().value(), 300u);
    EXPECT_TRUE(nvme.power_state_desc(2).non_operational_state().value());
    EXPECT_EQ(nvme.power_state_desc(2).exit_latency().value(), 9000u);
    ASSERT_TRUE(nvme.has_customized_controller_data());
    EXPECT_EQ(nvme.customized_controller_data().eppid(), "CN0QN700A1B2C3D4E5F6");
    EXPECT_EQ(nvme.customized_controller_data().form_factor().value(), 4u);
    EXPECT_EQ(nvme.customized_controller_data().support_system_crash_protection().value(), 1u);
    EXPECT_EQ(nvme.customized_controller_data().support_host_metadata_log().value(), 0u);
    EXPECT_EQ(nvme.customized_controller_data().guid(), "76543210");
    EXPECT_EQ(nvme.customized_controller_data().component_id(), "QN700");
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
    Describe(kMachine);
    const auto items = plugin.CollectSmartNvmeInfo(std::string(), std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 2u);

    const auto& nvme = (*items)[0].Message();
    ASSERT_TRUE(nvme.has_health_info());
    const auto& health = nvme.health_info();
    EXPECT_EQ(health.composite_temperature().value(), 50);
    EXPECT_EQ(health.temperature_sensor_1().value(), 0);  // not implemented: -273 from the library
    EXPECT_EQ(health.temperature_sensor_2().value(), 0);  // 273 K
    EXPECT_EQ(health.temperature_sensor_3().value(), 37);
    EXPECT_EQ(health.power_on_hours(), "1234");
    EXPECT_EQ(health.data_unit_written(), "010000000000000000");
    EXPECT_EQ(health.unsafe_shutdowns(), "00");
    EXPECT_TRUE(health.critical_warning().degraded_reliability().value());
    EXPECT_FALSE(health.critical_warning().read_only().value());
    EXPECT_TRUE(health.has_endurance_group_critical_warning_summary());
    ASSERT_TRUE(nvme.has_customized_health_info());
    EXPECT_EQ(nvme.customized_health_info().wear_leveling_count().value(), 7u);
    EXPECT_EQ(nvme.customized_health_info().minimum_temperature().value(), 290u);
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
    Describe(std::string(kMachine).replace(std::string(kMachine).rfind(R"(]})"), 2, R"(],
        "wmi": {"root\\cimv2": {"classes": {"Win32_DiskDrive": {"rows": [{"drop": 0}, {"drop": 1}]}}}}})"));
    for (const bool identify : {true, false}) {
        agent.Log()->Clear();
        try {
            if (identify) plugin.CollectNvmeIdentifyControllerData(std::nullopt, std::nullopt);
            else plugin.CollectSmartNvmeInfo(std::nullopt, std::nullopt);
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
