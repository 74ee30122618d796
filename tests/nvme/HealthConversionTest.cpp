// Health objects into messages, over the scripted library.
#include <gtest/gtest.h>

#include <string>

#include "FakeLibraryFixture.h"

namespace {

using namespace nvme_test;
using Talvex::Quorlin::Datatypes::SmartNvmeInfo;
using Talvex::Quorlin::Plugins::NvmeDataGetter::GetNvmeHealthData;
using Talvex::Quorlin::Plugins::NvmeDataGetter::ToValidTemperature;

class HealthConversion : public FakeLibraryTest {
protected:
    // The one drive's message; without WMI rows its item id is "Disk_".
    SmartNvmeInfo Convert()
    {
        const auto table = GetNvmeHealthData();
        EXPECT_EQ(table.Size(), 1u);
        const SmartNvmeInfo* info = table.Find("Disk_");
        return info != nullptr ? *info : SmartNvmeInfo{};
    }
};

TEST_F(HealthConversion, EachAccessorFeedsTheFieldOfItsName)
{
    const auto& drive = library.Drive(0);
    const auto info = Convert();
    ASSERT_TRUE(info.has_health_info());
    ASSERT_TRUE(info.has_customized_health_info());
    ExpectFed(*drive.health, info.health_info());
    ExpectFed(*drive.customizedHealth, info.customized_health_info());
    EXPECT_TRUE(info.health_info().has_critical_warning());
    EXPECT_TRUE(info.health_info().has_endurance_group_critical_warning_summary());
}

TEST_F(HealthConversion, EachWarningFlagReachesOnlyItsOwnField)
{
    ExpectEachFlagAlone(&stordex_fake::DriveScript::health, 9, [this] { return Convert().health_info(); });
}

// Only the standard log's temperatures are cleaned, and only of -273.
TEST_F(HealthConversion, TheNotValidTemperatureBecomesZero)
{
    const auto& drive = library.Drive(0);
    drive.health->Set("CompositeTemperature", -273);
    drive.health->Set("TemperatureSensor1", -272);
    drive.health->Set("TemperatureSensor2", 0);
    drive.health->Set("TemperatureSensor8", -273);
    drive.health->Set("TemperatureSensor5", 50);
    drive.customizedHealth->Set("MinimumTemperature", 0xFEEF);  // -273 as 16 bits
    drive.customizedHealth->Set("MaximumTemperature", 0);
    const auto info = Convert();
    const auto& health = info.health_info();
    EXPECT_EQ(health.composite_temperature().value(), 0);
    EXPECT_EQ(health.temperature_sensor_1().value(), -272);
    EXPECT_EQ(health.temperature_sensor_2().value(), 0);
    EXPECT_EQ(health.temperature_sensor_5().value(), 50);
    EXPECT_EQ(health.temperature_sensor_8().value(), 0);
    EXPECT_EQ(info.customized_health_info().minimum_temperature().value(), 0xFEEFu);
    EXPECT_EQ(info.customized_health_info().maximum_temperature().value(), 0u);

    EXPECT_EQ(ToValidTemperature(-273), 0);
    EXPECT_EQ(ToValidTemperature(-274), -274);
    EXPECT_EQ(ToValidTemperature(273), 273);
}

TEST_F(HealthConversion, CountersHoldTheirHexText)
{
    const auto& drive = library.Drive(0);
    drive.health->SetBytes("PowerOnHours", "");
    drive.health->SetBytes("PowerCycles", "\x34\x12");
    drive.health->SetBytes("DataUnitWritten", std::string("\x00\x00\x00\x00\x00\x00\x00\x00\x01", 9));
    drive.customizedHealth->SetBytes("TotalDataWrittenByController", std::string("\x00\x01", 2));
    const auto info = Convert();
    EXPECT_EQ(info.health_info().power_on_hours(), "00");
    EXPECT_EQ(info.health_info().power_cycles(), "1234");
    EXPECT_EQ(info.health_info().data_unit_written(), "010000000000000000");
    EXPECT_EQ(info.customized_health_info().total_data_written_by_controller(), "0100");
}

// Missing parts leave their messages unset; each null goes back to SXDelete.
TEST_F(HealthConversion, NullObjectsLeaveTheirMessagesUnset)
{
    auto& drive = library.Drive(0);
    drive.health->SetNull("CriticalWarning");
    drive.hasCustomizedHealth = false;
    const auto info = Convert();
    EXPECT_FALSE(info.health_info().has_critical_warning());
    EXPECT_TRUE(info.health_info().has_endurance_group_critical_warning_summary());
    EXPECT_TRUE(info.health_info().has_composite_temperature());
    EXPECT_FALSE(info.has_customized_health_info());
    EXPECT_EQ(library.NullReleases(), 2);

    library.Reset();
    library.Drive(0).hasHealth = false;
    EXPECT_TRUE(GetNvmeHealthData().Empty());
    EXPECT_EQ(library.NullReleases(), 1);
    EXPECT_EQ(Count("SXNvmNewCustomizedHealthInfo(0)"), 0);
}

// Four objects per drive, each released once and before the next is taken.
TEST_F(HealthConversion, EveryObjectIsReleasedOnceAndInTurn)
{
    library.Drive(0);
    Convert();
    EXPECT_EQ(library.Created(), 4);
    EXPECT_EQ(library.Released(), 4);
    const std::vector<std::string> expected{
        "SXGetPhysicalDrives()",       "SXQueryStorageBusType(0)",
        "SXNvmNewHealthInfo(0)",       "SXDelete(CriticalWarning)",
        "SXDelete(EnduranceGroupCriticalWarningSummary)",
        "SXNvmNewCustomizedHealthInfo(0)", "SXDelete(CustomizedHealthInfo)",
        "SXDelete(HealthInfo)"};
    EXPECT_EQ(library.Calls(), expected);
}

TEST_F(HealthConversion, AFailingAccessorStillReleasesWhatWasTaken)
{
    for (const char* failing : {"CriticalWarning.ReadOnly", "PercentageUsed", "TotalDataWrittenByController"}) {
        library.Reset();
        auto& drive = library.Drive(0);
        const bool customized = std::string(failing) == "TotalDataWrittenByController";
        (customized ? drive.customizedHealth : drive.health)->ThrowAt(failing, "log page torn");
        EXPECT_THROW(GetNvmeHealthData(), std::runtime_error) << failing;
        EXPECT_EQ(library.Live(), 0) << failing;
        EXPECT_EQ(library.Released(), library.Created()) << failing;
        EXPECT_GE(library.Created(), 1) << failing;
    }
}

}  // namespace
