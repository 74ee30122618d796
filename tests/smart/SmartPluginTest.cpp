// Both SMART collection methods end to end through the plug-in and its item
// handler, on a plain machine description: a drive recorded in the hw lab
// replayed unchanged.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "SmartDescriptions.h"
#include "StorageCollectorPlugin.h"
#include "kvr/host/RecordingAgent.h"

namespace smart_test {
namespace {

using Talvex::Quorlin::Datatypes::SmartAttributeDetail;
using Talvex::Quorlin::Datatypes::SmartDynamicInfo;

std::string Hex(const Bytes& bytes)
{
    std::string text;
    char digits[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof(digits), "%02X", b);
        text += digits;
    }
    return text;
}

// The hw lab's SATA SSD: its IDENTIFY words and both SMART sectors as recorded.
json RecordedDrive(std::uint32_t number)
{
    const Bytes identify = ReadFixture("hwlab_sata_ssd/identify.bin");
    EXPECT_EQ(identify.size(), 512u);
    json words = json::object();
    for (std::size_t w = 0; w < 256 && 2 * w + 1 < identify.size(); ++w)
        words[std::to_string(w)] = identify[2 * w] | (identify[2 * w + 1] << 8);
    return {{"number", number},
            {"model", "HWLAB SATA SSD 4G"},
            {"pnpDeviceId", PnpId(number)},
            {"sizeBytes", 4294967296ull},
            {"interfaceType", "IDE"},
            {"ata",
             {{"words", words},
              {"gpl", false},
              {"smart",
               {{"dataHex", Hex(ReadFixture("hwlab_sata_ssd/smart_data.bin"))},
                {"thresholdsHex", Hex(ReadFixture("hwlab_sata_ssd/smart_thresholds.bin"))}}}}}};
}

void Expect(const SmartAttributeDetail& a, std::uint64_t raw, std::uint32_t value, std::uint32_t worst,
            std::optional<std::uint32_t> threshold, const char* id)
{
    EXPECT_EQ(a.raw_value().value(), raw) << id;
    EXPECT_EQ(a.normal().value(), value) << id;
    EXPECT_EQ(a.worst().value(), worst) << id;
    EXPECT_EQ(a.has_threshold(), threshold.has_value()) << id;
    EXPECT_EQ(a.threshold().value(), threshold.value_or(0)) << id;
}

// What smartctl listed for the drive (the fixture's README); thresholds only
// where the drive's own threshold sector was read.
void ExpectRecordedAttributes(const SmartDynamicInfo& m, bool thresholds)
{
    const auto t = [thresholds](std::uint32_t v) {
        return thresholds ? std::optional<std::uint32_t>(v) : std::nullopt;
    };
    Expect(m.raw_read_error_rate(), 0, 100, 100, t(6), "1");
    Expect(m.spin_up_time(), 16, 100, 100, t(0), "3");
    Expect(m.start_stop_count(), 100, 100, 100, t(20), "4");
    Expect(m.realloc_sector_count(), 0, 100, 100, t(36), "5");
    Expect(m.power_on_hour(), 1, 100, 100, t(0), "9");
    Expect(m.power_cycle_count(), 0, 100, 100, t(0), "12");
    std::vector<const google::protobuf::FieldDescriptor*> fields;
    m.GetReflection()->ListFields(m, &fields);
    EXPECT_EQ(fields.size(), 7u) << "Name and six attributes: 190 is not known, 194 not reported";
}

class SmartPluginTest : public SmartTest {
protected:
    Kvr::Host::RecordingAgent agent;
    Talvex::Quorlin::Plugins::StorageCollectorPlugin plugin{agent};
};

TEST_F(SmartPluginTest, TheRecordedDriveThroughBothMethods)
{
    // Disk 1 is the same drive behind a bridge that refuses SMART; its WMI row
    // still carries the data sector.
    json bridged = RecordedDrive(1);
    bridged["faults"]["requests"] = json::array({Fault("IOCTL_SCSI_PASS_THROUGH_DIRECT", "refuse", 0xB0)});
    Machine(json::array({RecordedDrive(0), bridged}));

    const auto dynamicItems = plugin.CollectSmartDynamicInfo(std::nullopt, std::nullopt);
    ASSERT_TRUE(dynamicItems.has_value());
    ASSERT_EQ(dynamicItems->size(), 2u);
    EXPECT_EQ((*dynamicItems)[0].ItemId(), "Disk_" + PnpId(0));
    EXPECT_EQ((*dynamicItems)[0].Message().name(), "SSD");
    ExpectRecordedAttributes((*dynamicItems)[0].Message(), true);
    EXPECT_EQ((*dynamicItems)[1].Message().name(), "SSD");
    ExpectRecordedAttributes((*dynamicItems)[1].Message(), false);

    const auto staticItems = plugin.CollectSmartStaticInfo("Disk_" + PnpId(0), std::nullopt);
    ASSERT_TRUE(staticItems.has_value());
    ASSERT_EQ(staticItems->size(), 1u);
    EXPECT_EQ((*staticItems)[0].Message().name(), "SSD");
    EXPECT_EQ((*staticItems)[0].Message().model_name(), "HWLAB SATA SSD 4G" + std::string(23, ' '));
    EXPECT_FALSE((*staticItems)[0].Message().has_eppid());  // the drive keeps no piece-part identifier log
    for (const auto& record : agent.Log()->Records()) EXPECT_EQ(record.Level, Kvr::LogLevel::Trace) << record;
}

}  // namespace
}  // namespace smart_test
