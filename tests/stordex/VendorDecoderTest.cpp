// Our customized vendor area and health log, laid out as
// docs/nvme-vendor-area.md gives them, and recognised only by their signature.
#include <gtest/gtest.h>

#include <cstring>

#include "CustomizedHealthInfo.h"
#include "PageHelpers.h"
#include "VendorArea.h"

namespace {

using namespace stordex_test;
using talvex::stordex::nvme::DecodeCustomizedHealthLog;
using talvex::stordex::nvme::DecodeVendorArea;
using talvex::stordex::nvme::ICustomizedControllerData;
using talvex::stordex::nvme::NominalFormFactor;

void Sign(std::vector<std::uint8_t>& page, const char* signature, std::uint16_t version)
{
    std::memcpy(page.data(), signature, 4);
    PutLittle(page, 4, version, 2);
}

TEST(VendorAreaDecoder, SignedAreaHasTheCustomizedLayout)
{
    auto area = PatternPage(1024, 11);
    Sign(area, "TVXC", 1);
    area[41] = 0x02;  // host metadata log, no crash protection
    area[42] = 0x01;  // device category present
    const auto vendor = DecodeVendorArea(area);
    const auto* customized = dynamic_cast<const ICustomizedControllerData*>(vendor.get());
    ASSERT_NE(customized, nullptr);
    EXPECT_EQ(Bytes(customized->Eppid()), Slice(area, 8, 32));
    EXPECT_EQ(static_cast<unsigned>(customized->FormFactor()), area[40]);
    EXPECT_FALSE(customized->SupportSystemCrashProtection());
    EXPECT_TRUE(customized->SupportHostMetadataLog());
    EXPECT_EQ(Bytes(customized->Guid()), Slice(area, 64, 16));
    EXPECT_EQ(Bytes(customized->ComponentId()), Slice(area, 80, 8));
    const auto* category = customized->DeviceCategory();
    ASSERT_NE(category, nullptr);
    EXPECT_EQ(category->Class0(), Little(area, 44, 2));
    EXPECT_EQ(category->Class1(), Little(area, 46, 2));
    EXPECT_EQ(category->Class2(), Little(area, 48, 2));
    EXPECT_EQ(category->Class11(), Little(area, 50, 2));

    area[41] = 0x01;
    area[42] = 0x00;
    area[40] = 0xEE;  // a form factor we have no name for is passed on
    const auto other = DecodeVendorArea(area);
    const auto* second = dynamic_cast<const ICustomizedControllerData*>(other.get());
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->SupportSystemCrashProtection());
    EXPECT_FALSE(second->SupportHostMetadataLog());
    EXPECT_EQ(second->DeviceCategory(), nullptr);
    EXPECT_EQ(second->FormFactor(), static_cast<NominalFormFactor>(0xEE));
}

TEST(VendorAreaDecoder, AreasWithoutOurSignatureArePlain)
{
    std::vector<std::vector<std::uint8_t>> areas;
    areas.emplace_back(1024, 0);             // all zero
    areas.push_back(PatternPage(1024, 12));  // someone else's data
    areas.emplace_back(1024, 0);
    Sign(areas.back(), "TVXC", 0);  // our signature, no valid version
    areas.emplace_back(1024, 0);
    Sign(areas.back(), "TVXH", 1);  // the health log's signature
    for (const auto& area : areas) {
        const auto vendor = DecodeVendorArea(area);
        ASSERT_NE(vendor, nullptr);
        EXPECT_EQ(dynamic_cast<const ICustomizedControllerData*>(vendor.get()), nullptr);
    }
    auto later = std::vector<std::uint8_t>(1024, 0);
    Sign(later, "TVXC", 2);  // later versions keep the first version's fields
    EXPECT_NE(dynamic_cast<const ICustomizedControllerData*>(DecodeVendorArea(later).get()), nullptr);
    EXPECT_EQ(DecodeVendorArea(std::vector<std::uint8_t>(1023, 0)), nullptr);
}

TEST(CustomizedHealthDecoder, SignedLogAtItsOffsets)
{
    auto page = PatternPage(512, 13);
    Sign(page, "TVXH", 1);
    const auto log = DecodeCustomizedHealthLog(page);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->WearLevelingCount(), page[8]);
    EXPECT_EQ(log->UsedReservedBlockCountWorstCaseComponent(), page[9]);
    EXPECT_EQ(log->UsedReservedBlockCountSsdTotal(), page[10]);
    EXPECT_EQ(log->ReservedBlockCountSsdTotal(), Little(page, 12, 4));
    EXPECT_EQ(log->MinimumTemperature(), Little(page, 16, 2));
    EXPECT_EQ(log->MaximumTemperature(), Little(page, 18, 2));
    EXPECT_EQ(Bytes(log->TotalDataWrittenByController()), Slice(page, 32, 16));
    EXPECT_EQ(log->AccumulatedHostActiveIdleCounter(), Little(page, 48, 4));
    EXPECT_EQ(log->AccumulatedNonOperationalPowerStateCounter(), Little(page, 52, 4));
    EXPECT_EQ(log->AbnormalInputVccVoltageCounter(), page[56]);
}

TEST(CustomizedHealthDecoder, UnsignedLogsGiveNothing)
{
    EXPECT_EQ(DecodeCustomizedHealthLog(std::vector<std::uint8_t>(512, 0)), nullptr);
    EXPECT_EQ(DecodeCustomizedHealthLog(PatternPage(512, 14)), nullptr);
    auto versionZero = std::vector<std::uint8_t>(512, 0);
    Sign(versionZero, "TVXH", 0);
    EXPECT_EQ(DecodeCustomizedHealthLog(versionZero), nullptr);
    auto vendorSignature = std::vector<std::uint8_t>(512, 0);
    Sign(vendorSignature, "TVXC", 1);
    EXPECT_EQ(DecodeCustomizedHealthLog(vendorSignature), nullptr);
    auto shortLog = std::vector<std::uint8_t>(511, 0);
    Sign(shortLog, "TVXH", 1);
    EXPECT_EQ(DecodeCustomizedHealthLog(shortLog), nullptr);
}

}  // namespace
