// The SMART / Health Information log decoder against the log's layout:
// temperatures in Kelvin become whole degrees Celsius, counters stay raw.
#include <gtest/gtest.h>

#include <memory>

#include "HealthInfo.h"
#include "PageHelpers.h"

namespace {

using namespace stordex_test;
using talvex::stordex::nvme::DecodeHealthLog;
using talvex::stordex::nvme::IHealthInfo;

constexpr std::size_t kPage = 512;

talvex::stordex::Owned<IHealthInfo> Decode(const std::vector<std::uint8_t>& page, OwningCustody& custody)
{
    auto decoded = DecodeHealthLog(page, custody);
    if (!decoded) ADD_FAILURE() << "no decoded log";
    return decoded;
}

TEST(HealthDecoder, ScalarsAndCountersAtTheirOffsets)
{
    const auto page = PatternPage(kPage, 7);
    OwningCustody custody;
    const auto log = Decode(page, custody);
    ASSERT_TRUE(log);
    EXPECT_EQ(log->AvailableSpare(), page[3]);
    EXPECT_EQ(log->AvailableSpareThreshold(), page[4]);
    EXPECT_EQ(log->PercentageUsed(), page[5]);
    EXPECT_EQ(log->WarningCompositeTemperatureTime(), Little(page, 192, 4));
    EXPECT_EQ(log->CriticalCompositeTemperatureTime(), Little(page, 196, 4));
    EXPECT_EQ(log->ThermalMgmtTemperature1TransitionCount(), Little(page, 216, 4));
    EXPECT_EQ(log->ThermalMgmtTemperature2TransitionCount(), Little(page, 220, 4));
    EXPECT_EQ(log->TotalTimeForThermalMgmtTemperature1(), Little(page, 224, 4));
    EXPECT_EQ(log->TotalTimeForThermalMgmtTemperature2(), Little(page, 228, 4));

    EXPECT_EQ(Bytes(log->DataUnitRead()), Slice(page, 32, 16));
    EXPECT_EQ(Bytes(log->DataUnitWritten()), Slice(page, 48, 16));
    EXPECT_EQ(Bytes(log->HostReadCommands()), Slice(page, 64, 16));
    EXPECT_EQ(Bytes(log->HostWrittenCommands()), Slice(page, 80, 16));
    EXPECT_EQ(Bytes(log->ControllerBusyTime()), Slice(page, 96, 16));
    EXPECT_EQ(Bytes(log->PowerCycles()), Slice(page, 112, 16));
    EXPECT_EQ(Bytes(log->PowerOnHours()), Slice(page, 128, 16));
    EXPECT_EQ(Bytes(log->UnsafeShutdowns()), Slice(page, 144, 16));
    EXPECT_EQ(Bytes(log->MediaAndDataIntegrityErrors()), Slice(page, 160, 16));
    EXPECT_EQ(Bytes(log->NumberOfErrorInfoLogEntries()), Slice(page, 176, 16));
}

TEST(HealthDecoder, CountersAreRawLittleEndianCounts)
{
    std::vector<std::uint8_t> page(kPage, 0);
    PutLittle(page, 128, 4660, 2);  // power-on hours
    PutLittle(page, 48, 1, 1);      // one data unit written stays one
    PutLittle(page, 32 + 8, 1, 1);  // data units read: 2^64
    OwningCustody custody;
    const auto log = Decode(page, custody);
    ASSERT_TRUE(log);
    EXPECT_EQ(log->PowerOnHours().Hex(), "1234");
    EXPECT_EQ(log->DataUnitWritten().Hex(), "01");
    EXPECT_EQ(log->DataUnitRead().Hex(), "010000000000000000");
    EXPECT_EQ(log->PowerCycles().Hex(), "00");
}

TEST(HealthDecoder, TemperaturesInKelvinBecomeCelsius)
{
    std::vector<std::uint8_t> page(kPage, 0);
    PutLittle(page, 1, 323, 2);  // composite
    const std::uint16_t sensors[8] = {0, 273, 323, 274, 65535, 300, 1, 373};
    for (std::size_t i = 0; i < 8; ++i) PutLittle(page, 200 + 2 * i, sensors[i], 2);
    OwningCustody custody;
    const auto log = Decode(page, custody);
    ASSERT_TRUE(log);
    EXPECT_EQ(log->CompositeTemperature(), 50);
    EXPECT_EQ(log->TemperatureSensor1(), -273);  // not implemented
    EXPECT_EQ(log->TemperatureSensor2(), 0);
    EXPECT_EQ(log->TemperatureSensor3(), 50);
    EXPECT_EQ(log->TemperatureSensor4(), 1);
    EXPECT_EQ(log->TemperatureSensor5(), 65535 - 273);
    EXPECT_EQ(log->TemperatureSensor6(), 27);
    EXPECT_EQ(log->TemperatureSensor7(), -272);
    EXPECT_EQ(log->TemperatureSensor8(), 100);

    page.assign(kPage, 0);
    EXPECT_EQ(Decode(page, custody)->CompositeTemperature(), -273);
}

TEST(HealthDecoder, CriticalWarningBitsEachOnTheirOwn)
{
    using Warning = IHealthInfo::ICriticalWarning;
    const std::vector<bool (Warning::*)() const> flags = {
        &Warning::LowAvailableSpace, &Warning::OutOfTemperatureThreshold,
        &Warning::DegradedReliability, &Warning::ReadOnly,
        &Warning::FailedVolatileMemoryBackupDevice, &Warning::UnreliablePersistentMemoryRegion};
    for (unsigned bit = 0; bit < 8; ++bit) {
        std::vector<std::uint8_t> page(kPage, 0);
        page[0] = static_cast<std::uint8_t>(1U << bit);
        OwningCustody custody;
        const auto log = Decode(page, custody);
        ASSERT_TRUE(log);
        const Warning* warning = log->CriticalWarning();
        ASSERT_NE(warning, nullptr);
        for (unsigned flag = 0; flag < flags.size(); ++flag) {
            EXPECT_EQ((warning->*flags[flag])(), flag == bit) << "flag " << flag << " with bit " << bit;
        }
    }
}

TEST(HealthDecoder, EnduranceGroupSummaryUsesBitsZeroTwoAndThree)
{
    const auto read = [](std::uint8_t byte) {
        std::vector<std::uint8_t> page(kPage, 0);
        page[6] = byte;
        OwningCustody custody;
        const auto log = DecodeHealthLog(page, custody);
        const auto* summary = log->EnduranceGroupCriticalWarningSummary();
        return std::array<bool, 3>{summary->LowAvailableSpareCapacity(), summary->DegradedReliability(),
                                   summary->ReadOnly()};
    };
    EXPECT_EQ(read(0x01), (std::array<bool, 3>{true, false, false}));
    EXPECT_EQ(read(0x04), (std::array<bool, 3>{false, true, false}));
    EXPECT_EQ(read(0x08), (std::array<bool, 3>{false, false, true}));
    EXPECT_EQ(read(0xF2), (std::array<bool, 3>{false, false, false}));  // reserved bits
}

}  // namespace
