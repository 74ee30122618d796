// The two SMART retrievers on described machines: messages, item ids and the
// joins with WMI (disk models by index, SMART data sectors by
// instance name).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SmartDataGetter.h"
#include "SmartDescriptions.h"
#include "SmartDynamicInfoRetriever.h"
#include "SmartStaticInfoRetriever.h"
#include "kvr/host/RecordingLog.h"

namespace smart_test {
namespace {

using Talvex::Quorlin::Datatypes::SmartDynamicInfo;
using Talvex::Quorlin::Plugins::SmartDynamicInfoRetriever;
using Talvex::Quorlin::Plugins::SmartStaticInfoRetriever;
namespace Getter = Talvex::Quorlin::Plugins::SmartDataGetter;

std::string Padded(const std::string& text)
{
    return text + std::string(40 - text.size(), ' ');
}

// The host names of the fields a message has set.
std::vector<std::string> SetFields(const google::protobuf::Message& message)
{
    std::vector<const google::protobuf::FieldDescriptor*> fields;
    message.GetReflection()->ListFields(message, &fields);
    std::vector<std::string> names;
    for (const auto* field : fields) names.push_back(field->json_name());
    return names;
}

class SmartRetrieverTest : public SmartTest {
protected:
    std::shared_ptr<Kvr::Host::RecordingLog> log = std::make_shared<Kvr::Host::RecordingLog>();
    SmartStaticInfoRetriever staticRetriever{log};
    SmartDynamicInfoRetriever dynamicRetriever{log};
};

TEST_F(SmartRetrieverTest, StaticInfoTakesTheDrivesModelAndFallsBackToWmi)
{
    json ssd = SataDisk(0, "Samsung SSD 860 EVO 500GB");
    ssd["ata"]["eppid"] = "CN0ABCDE1234567890XY";
    json hdd = SataDisk(1, "WMI model 1");
    hdd["ata"]["model"] = "WDC WD10EZEX-08WN4A0";
    hdd["ata"]["words"] = {{"46", 0}};              // the model field ends in two NULs
    json bridge = SataDisk(2, "Caf\u00e9 Bridge");  // no ATA drive answers behind it
    bridge.erase("ata");
    json unlisted = bridge;
    unlisted["number"] = 3;
    unlisted["pnpDeviceId"] = PnpId(3);
    const json diskDrives = json::array({{{"copy", 2}, {"set", {{"Model", "Later row of 2"}}}}, {{"drop", 3}}});
    Machine(json::array({ssd, hdd, bridge, unlisted}),
            {{"root\\cimv2", {{"classes", {{"Win32_DiskDrive", {{"rows", diskDrives}}}}}}}});

    const auto items = staticRetriever.CollectData(std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 4u);
    std::vector<std::string> ids;
    for (const auto& item : *items) {
        ids.push_back(item.ItemId());
        EXPECT_EQ(item.Time(), (*items)[0].Time());
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"Disk_" + PnpId(0), "Disk_" + PnpId(1), "Disk_" + PnpId(2), "Disk_"}));
    EXPECT_EQ((*items)[0].Message().name(), "SSD");
    EXPECT_EQ((*items)[0].Message().model_name(), Padded("Samsung SSD 860 EVO 500GB"));
    EXPECT_EQ((*items)[0].Message().eppid(), "CN0ABCDE1234567890XY");
    EXPECT_EQ((*items)[1].Message().name(), "SMART1");
    // The drive's model, not WMI's, as text up to its first NUL.
    EXPECT_EQ((*items)[1].Message().model_name(), Padded("WDC WD10EZEX-08WN4A0").substr(0, 38));
    EXPECT_FALSE((*items)[1].Message().has_eppid());  // the drive gave none, which differs from an empty one
    // WMI's model of the first row with the index; its UTF-8 bytes are read as
    // ANSI text, as the host reads every native text.
    EXPECT_EQ((*items)[2].Message().name(), "SMART2");
    EXPECT_EQ((*items)[2].Message().model_name(), "Caf\u00c3\u00a9 Bridge");
    EXPECT_EQ(SetFields((*items)[3].Message()), std::vector<std::string>{"Name"});
    EXPECT_EQ((*items)[3].Message().name(), "SMART3");
}

// WMI writes the instance id in a letter case of its own and adds "_0"; the
// row of disk 0 must reach disk 0 only, although disk 1, whose instance id
// cannot be read, would match any row.
TEST_F(SmartRetrieverTest, DynamicInfoMergesEachWmiRowIntoOneDiskMatchedCaselessly)
{
    json unnamed = SataDisk(1, "WDC WD10EZEX", json::array({Attr(9, 90, 90, 7)}), json::array({Thr(9, 0)}));
    unnamed["instanceId"] = "";
    Machine(json::array({SataDisk(0, "WDC WD10EZEX",
                                  json::array({Attr(9, 99, 99, 100), Attr(5, 100, 100, 2), Attr(194, 100, 100, 30)}),
                                  json::array({Thr(9, 0), Thr(5, 36), Thr(194, 50)})),
                         unnamed}),
            SmartRows(json::array(
                {SetSector(0, DataSector({{9, 0, 50, 40, 999}, {194, 0, 70, 60, 0x2A}, {12, 0, 100, 100, 4}})),
                 {{"drop", 1}}})));
    const std::string id = PnpId(0);
    ASSERT_NE(machine.Description().disks[0].wmiInstanceName, std::wstring(id.begin(), id.end()) + L"_0");

    const auto items = dynamicRetriever.CollectData(std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 2u);
    const SmartDynamicInfo& merged = (*items)[0].Message();
    EXPECT_EQ((*items)[0].ItemId(), "Disk_" + PnpId(0));
    EXPECT_EQ(merged.name(), "SMART0");
    EXPECT_EQ(SetFields(merged), (std::vector<std::string>{"Name", "ReallocSectorCount", "PowerOnHour",
                                                           "PowerCycleCount", "Temperature"}));
    EXPECT_EQ(merged.power_on_hour().raw_value().value(), 999u);
    EXPECT_EQ(merged.power_on_hour().normal().value(), 50u);
    EXPECT_EQ(merged.power_on_hour().worst().value(), 40u);
    EXPECT_TRUE(merged.power_on_hour().has_threshold());
    EXPECT_EQ(merged.power_on_hour().threshold().value(), 0u);
    EXPECT_EQ(merged.realloc_sector_count().raw_value().value(), 2u);
    EXPECT_EQ(merged.realloc_sector_count().threshold().value(), 36u);
    EXPECT_EQ(merged.power_cycle_count().raw_value().value(), 4u);
    EXPECT_FALSE(merged.power_cycle_count().has_threshold());
    EXPECT_EQ(SetFields(merged.temperature()), std::vector<std::string>{"RawValue"});
    EXPECT_EQ(merged.temperature().raw_value().value(), 0x2Au);
    const SmartDynamicInfo& own = (*items)[1].Message();
    EXPECT_EQ(own.name(), "SMART1");
    EXPECT_EQ(SetFields(own), (std::vector<std::string>{"Name", "PowerOnHour"}));
    EXPECT_EQ(own.power_on_hour().raw_value().value(), 7u);
}

TEST_F(SmartRetrieverTest, BridgesThatRejectPassThroughReportWmiValuesOrOnlyTheirName)
{
    json disks = json::array();
    for (std::uint32_t n : {0u, 1u}) {
        disks.push_back(SataDisk(n, "WDC WD10EZEX", json::array({Attr(9, 99, 98, 100)}), json::array({Thr(9, 20)})));
        disks.back()["faults"]["requests"] = json::array({Fault("IOCTL_SCSI_PASS_THROUGH_DIRECT", "refuse", 0xB0)});
    }
    // Disk 1 has no row of its own; a row that matches no disk gives it nothing.
    const Bytes stray = DataSector({{9, 0, 1, 1, 1}});
    Machine(disks, SmartRows(json::array(
                       {{{"drop", 1}}, {{"add", {{"InstanceName", "IDE\\OTHER\\1_0"}, {"VendorSpecific", stray}}}}})));
    const auto items = dynamicRetriever.CollectData(std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 2u);
    const SmartDynamicInfo& fromWmi = (*items)[0].Message();
    EXPECT_EQ(fromWmi.name(), "SMART0");
    EXPECT_EQ(SetFields(fromWmi.power_on_hour()), (std::vector<std::string>{"RawValue", "Normal", "Worst"}));
    EXPECT_EQ(fromWmi.power_on_hour().raw_value().value(), 100u);
    EXPECT_EQ(fromWmi.power_on_hour().worst().value(), 98u);
    EXPECT_EQ(SetFields((*items)[1].Message()), std::vector<std::string>{"Name"});
    EXPECT_EQ((*items)[1].Message().name(), "SMART1");
}

TEST_F(SmartRetrieverTest, WithoutReadableWmiRowsTheDrivesAnswersRemain)
{
    const json disks =
        json::array({SataDisk(0, "WDC WD10EZEX", json::array({Attr(9, 99, 99, 100)}), json::array({Thr(9, 0)}))});
    const Bytes other = DataSector({{9, 0, 1, 1, 555}});
    const std::vector<json> classes = {
        {{"fail", "0x80041010"}},
        // the step after the first row fails: the row read before is dropped too
        {{"failAtNext", {{"call", 2}, {"hr", "0x80041001"}}}, {"rows", json::array({SetSector(0, other)})}},
        // a row that cannot be read is skipped
        {{"rows", json::array({SetSector(0, other), {{"edit", 0}, {"set", {{"InstanceName", nullptr}}}}})}},
    };
    for (const json& smartClass : classes) {
        Machine(disks, {{"root\\WMI", {{"classes", {{"MSStorageDriver_ATAPISmartData", smartClass}}}}}});
        EXPECT_TRUE(Getter::GetWmiSmartData().empty()) << smartClass.dump();
        const auto items = dynamicRetriever.CollectData(std::nullopt);
        ASSERT_TRUE(items.has_value() && items->size() == 1u);
        EXPECT_EQ((*items)[0].Message().power_on_hour().raw_value().value(), 100u) << smartClass.dump();
        EXPECT_TRUE((*items)[0].Message().power_on_hour().has_threshold());
    }
}

}  // namespace
}  // namespace smart_test
