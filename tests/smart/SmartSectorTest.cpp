// The SMART sector decoders over hand-built sectors: raw value cuts, the
// temperature byte, unknown and empty entries, the threshold walk and the
// attribute names, checked against the message fields the host reads.
#include <gtest/gtest.h>

#include <google/protobuf/util/json_util.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Common/SmartDataFetcher.h"
#include "SmartDataGetter.h"

namespace {

using Talvex::Quorlin::Cpp::Common::kSmartAttributeTable;
using Talvex::Quorlin::Cpp::Common::SmartAttributeDetailMisc;
using Talvex::Quorlin::Cpp::Common::SmartDataCollection;
using Talvex::Quorlin::Cpp::Common::SmartDataFetcher;
namespace Getter = Talvex::Quorlin::Plugins::SmartDataGetter;
using Talvex::Quorlin::Datatypes::SmartDynamicInfo;

using Sector = std::vector<std::uint8_t>;

// Entry k of a data sector: id, flags, current, worst, six raw bytes, reserved.
void PutAttribute(Sector& sector, std::size_t k, std::uint8_t id, std::uint8_t current, std::uint8_t worst,
                  std::vector<std::uint8_t> raw)
{
    const std::size_t at = 2 + 12 * k;
    sector[at] = id;
    sector[at + 1] = 0x0F;  // flags
    sector[at + 2] = 0x00;
    sector[at + 3] = current;
    sector[at + 4] = worst;
    for (std::size_t i = 0; i < raw.size(); ++i) sector[at + 5 + i] = raw[i];
    sector[at + 11] = 0xEE;  // reserved
}

void PutThreshold(Sector& sector, std::size_t k, std::uint8_t id, std::uint8_t threshold)
{
    sector[2 + 12 * k] = id;
    sector[3 + 12 * k] = threshold;
    for (std::size_t i = 4; i < 14; ++i) sector[12 * k + i] = 0xA5;  // reserved bytes
}

Sector Empty()
{
    Sector sector(512, 0);
    sector[0] = 0x10;  // revision
    return sector;
}

bool Untouched(const SmartAttributeDetailMisc& a) { return !a.RawValue && !a.Normal && !a.Worst && !a.Threshold; }

TEST(SmartSector, RawValuesAreCutByAttribute)
{
    Sector sector = Empty();
    PutAttribute(sector, 0, 9, 99, 98, {0x01, 0x00, 0x00, 0x00, 0x01, 0x00});
    PutAttribute(sector, 1, 5, 97, 96, {0x01, 0x00, 0x00, 0x00, 0x01, 0x00});
    PutAttribute(sector, 2, 194, 95, 94, {0x28, 0x00, 0x12, 0x00, 0x32, 0x00});
    PutAttribute(sector, 3, 240, 93, 92, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66});
    PutAttribute(sector, 4, 3, 91, 90, {0x10, 0x00, 0x00, 0x00, 0xFF, 0xFF});
    PutAttribute(sector, 5, 1, 89, 88, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06});
    SmartDataCollection c;
    SmartDataFetcher::ParseSmartAttributes(c, sector.data());

    EXPECT_EQ(c.PowerOnHour.RawValue, 1u);
    EXPECT_EQ(c.ReallocSectorCount.RawValue, 4294967297u);
    EXPECT_EQ(c.HeadFlyingHours.RawValue, 0x44332211u);
    EXPECT_EQ(c.SpinUpTime.RawValue, 0x10u);
    EXPECT_EQ(c.RawReadErrorRate.RawValue, 0x060504030201u);
    // Normalised values travel as they are, each with its own attribute.
    EXPECT_EQ(c.PowerOnHour.Normal, 99);
    EXPECT_EQ(c.PowerOnHour.Worst, 98);
    EXPECT_EQ(c.ReallocSectorCount.Normal, 97);
    EXPECT_EQ(c.ReallocSectorCount.Worst, 96);
    EXPECT_EQ(c.RawReadErrorRate.Worst, 88);
    // Temperature: degrees in the first raw byte, and nothing else.
    EXPECT_EQ(c.Temperature.RawValue, 40u);
    EXPECT_FALSE(c.Temperature.Normal);
    EXPECT_FALSE(c.Temperature.Worst);
    EXPECT_FALSE(c.Temperature.Threshold);
    EXPECT_FALSE(c.PowerOnHour.Threshold);
}

TEST(SmartSector, UnknownEmptyAndSurplusEntriesChangeNothing)
{
    Sector sector = Empty();
    PutAttribute(sector, 0, 170, 100, 100, {1, 2, 3, 4, 5, 6});
    PutAttribute(sector, 1, 190, 69, 69, {0x1F, 0, 0x1F, 0x1F, 0, 0});
    PutAttribute(sector, 2, 0, 100, 100, {7, 0, 0, 0, 0, 0});  // an empty slot with stray bytes
    // Bytes 362 on are no attribute entry, whatever they look like.
    sector[362] = 9;
    sector[365] = 100;
    sector[367] = 5;
    SmartDataCollection c;
    SmartDataFetcher::ParseSmartAttributes(c, sector.data());
    for (const auto& entry : kSmartAttributeTable) EXPECT_TRUE(Untouched(c.*(entry.Field))) << entry.Name;

    // The thirtieth entry is still read.
    PutAttribute(sector, 29, 12, 50, 40, {3, 0, 0, 0, 0, 0});
    SmartDataFetcher::ParseSmartAttributes(c, sector.data());
    EXPECT_EQ(c.PowerCycleCount.RawValue, 3u);
    EXPECT_FALSE(c.PowerOnHour.RawValue);
}

TEST(SmartSector, ThresholdWalkStopsAtTheFirstEmptyEntryOrTheSectorEnd)
{
    Sector sector = Empty();
    PutThreshold(sector, 0, 1, 6);
    PutThreshold(sector, 1, 194, 50);
    PutThreshold(sector, 2, 170, 7);
    PutThreshold(sector, 3, 5, 0);
    PutThreshold(sector, 4, 0, 0);
    PutThreshold(sector, 5, 9, 77);  // after the empty entry: never reached
    SmartDataCollection c;
    SmartDataFetcher::ParseSmartThresholds(c, sector.data());
    EXPECT_EQ(c.RawReadErrorRate.Threshold, 6);
    EXPECT_EQ(c.ReallocSectorCount.Threshold, 0);  // a zero threshold is still a value
    EXPECT_FALSE(c.Temperature.Threshold);
    EXPECT_FALSE(c.PowerOnHour.Threshold);
    EXPECT_FALSE(c.RawReadErrorRate.RawValue);
    EXPECT_FALSE(c.RawReadErrorRate.Normal);

    // Without an empty entry the walk runs past the 30 attribute slots, up to
    // the last entry that fits before byte 512 (the 42nd, at byte 494).
    Sector full = Empty();
    for (std::size_t k = 0; k < 42; ++k) PutThreshold(full, k, 170, 1);
    PutThreshold(full, 35, 12, 35);
    PutThreshold(full, 41, 10, 41);
    full[506] = 11;  // a 43rd entry would start here and pass the end
    full[507] = 43;
    SmartDataCollection d;
    SmartDataFetcher::ParseSmartThresholds(d, full.data());
    EXPECT_EQ(d.PowerCycleCount.Threshold, 35);
    EXPECT_EQ(d.SpinRetryCount.Threshold, 41);
    EXPECT_FALSE(d.RecalibrationRetries.Threshold);
}

// Every known identifier lands in the message field the host knows under the
// attribute's name; the names and ids are those of the collector's documented
// attribute list, written out here independently of the table.
TEST(SmartSector, EachIdentifierFillsTheMessageFieldOfItsName)
{
    const std::map<std::uint8_t, std::string> names = {
        // clang-format off
        {1, "RawReadErrorRate"},         {3, "SpinUpTime"},
        {4, "StartStopCount"},           {5, "ReallocSectorCount"},
        {7, "SeekErrorRate"},            {9, "PowerOnHour"},
        {10, "SpinRetryCount"},          {11, "RecalibrationRetries"},
        {12, "PowerCycleCount"},         {175, "ProgramFailCount"},
        {176, "EraseFailCount"},         {177, "WearLevelingCount"},
        {178, "UserReservedBlockCount"}, {179, "UserReservedBlockCountTotal"},
        {180, "UnusedReservedBlockCount"}, {181, "ProgramFailCountTotal"},
        {182, "EraseFailCountTotal"},    {184, "UncorrectableErrorCount"},
        {191, "ShockEvent"},             {192, "EmergencyRetractCount"},
        {193, "LoadUnloadCycleCount"},   {194, "Temperature"},
        {195, "EccRate"},                {196, "ReallocationEventCount"},
        {197, "CurrentPendingSectorCount"}, {198, "UncorrectableSectorCount"},
        {199, "CRCErrorCount"},          {200, "WriteErrorRate"},
        {238, "ProgramEraseCycleCount"}, {240, "HeadFlyingHours"},
        {241, "TotalBlocksWritten"},     {242, "TotalBlocksRead"},
        {254, "FreeFallCount"},
        // clang-format on
    };
    ASSERT_EQ(names.size(), 33u);

    // Each attribute alone in a sector, its raw value its own id.
    for (const auto& [id, name] : names) {
        Sector sector = Empty();
        PutAttribute(sector, 7, id, 1, 2, {id, 0, 0, 0, 0, 0});
        SmartDataCollection c;
        SmartDataFetcher::ParseSmartAttributes(c, sector.data());
        const SmartDynamicInfo message = Getter::parseCacheToIMessage<SmartDynamicInfo>(c);
        std::string json;
        ASSERT_TRUE(google::protobuf::util::MessageToJsonString(message, &json).ok());
        const std::string expected = id == 194 ? R"({")" + name + R"(":{"RawValue":")" + std::to_string(id) + R"("}})"
                                               : R"({")" + name + R"(":{"RawValue":")" + std::to_string(id) +
                                                     R"(","Normal":1,"Worst":2}})";
        EXPECT_EQ(json, expected) << int(id);
    }

    // The collection's fields stand in message field order: 242 before 241.
    const auto* descriptor = SmartDynamicInfo::descriptor();
    ASSERT_EQ(descriptor->field_count(), 34);
    for (std::size_t i = 0; i < kSmartAttributeTable.size(); ++i)
        EXPECT_EQ(descriptor->field(static_cast<int>(i) + 1)->json_name(), kSmartAttributeTable[i].Name);
}

}  // namespace
