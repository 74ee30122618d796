// The physical disk dynamic info retriever over small simulated machines: the
// formatted counter rows it takes or skips, the volume it reads the amounts
// from, its log lines, and its failures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "DecimalText.h"
#include "DiskWmiMachine.h"
#include "PhysicalDiskDynamicInfoRetriever.h"

namespace physical_disk_test {
namespace {

using Kvr::Host::LogRecord;
using Talvex::Quorlin::Datatypes::PhysicalDiskDynamicInfo;
using Talvex::Quorlin::Plugins::PhysicalDiskDynamicInfoRetriever;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
namespace DecimalText = Talvex::Quorlin::Plugins::DecimalText;

constexpr const char* File = "src/Plugins/StorageCollector/PhysicalDiskDynamicInfoRetriever";
constexpr const char* GetDynamicDiskData =
    "Talvex::Quorlin::Plugins::PhysicalDiskDynamicInfoRetriever::GetDynamicDiskData";
constexpr const char* CollectData = "Talvex::Quorlin::Plugins::PhysicalDiskDynamicInfoRetriever::CollectData";

// A volume on `disk` that has read and written the given bytes so far.
sim::VolumeModel Volume(wchar_t letter, std::uint32_t disk, std::int64_t read, std::int64_t written)
{
    sim::VolumeModel volume;
    volume.letter = letter;
    volume.disk = disk;
    volume.partitionNumber = 1;
    volume.counters.bytesRead = read;
    volume.counters.bytesWritten = written;
    return volume;
}

std::string Invalid(const std::string& description)
{
    return "GetDynamicDiskData: the \"" + description + "\" name is invalid, skipping to the next one.";
}

class DynamicRetrieverTest : public PhysicalDiskTest {
protected:
    // The texts of one level written by one function (any when null); each
    // record's file and line are checked.
    std::vector<std::string> TextsAt(Kvr::LogLevel level, const char* function = GetDynamicDiskData) const
    {
        std::vector<std::string> texts;
        for (const LogRecord& record : log->Records()) {
            if (record.Level != level || (function != nullptr && record.Function != function)) continue;
            EXPECT_EQ(record.File, File) << record.Text;
            EXPECT_GT(record.Line, 0) << record.Text;
            texts.push_back(record.Text);
        }
        return texts;
    }

    PhysicalDiskDynamicInfoRetriever retriever{log};
};

TEST_F(DynamicRetrieverTest, RowsThatNameNoDiskAreSkippedWithAWarning)
{
    machine.disks.AddVolume(Volume(L'C', 0, 1048576, 0));
    // Rows "2" (a disk without a lettered volume), ":" (no letter before the
    // colon), "C:" (no disk number), "x C:" (a disk number that is no number),
    // "3 C:" with a counter that is no number, and "0 C:" idle 7%.
    LoadWmi("skippedCounterRows");

    const auto items = retriever.CollectData(std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 1u);
    EXPECT_EQ(items->front().ItemId(), "Disk_PNP\\0");
    EXPECT_EQ(items->front().Message().idle_time_percentage().value(), 7u);

    // A conversion that fails describes itself, as the standard conversions do.
    const std::string notANumber = NativeErrorText([] { (void)std::stoull("n/a"); });
    const std::string noDiskNumber = NativeErrorText([] { (void)std::stoul("x"); });
    EXPECT_THAT(TextsAt(Kvr::LogLevel::Warning),
                ElementsAre(Invalid("2"), Invalid(":"), Invalid("c:"), Invalid(noDiskNumber), Invalid(notANumber)));
    EXPECT_TRUE(TextsAt(Kvr::LogLevel::Error).empty());
}

TEST_F(DynamicRetrieverTest, RowFailuresAreLoggedAndTheNextRowIsRead)
{
    auto failing = Volume(L'F', 2, 0, 0);
    failing.faults.requests.push_back(hardware_test::Fault(IOCTL_DISK_PERFORMANCE, sim::FaultKind::Fail, ERROR_NOT_READY));
    machine.disks.AddVolume(failing);
    machine.disks.AddVolume(Volume(L'C', 0, 0, 0));
    // Rows "1 Q:" (no such volume), "2 F:" (its counters cannot be read),
    // "3 C:" with a NULL counter, "4 C:" with one above the largest 64-bit
    // number, then "0 C:".
    LoadWmi("failingCounterRows");

    const auto items = retriever.CollectData(std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 1u);
    EXPECT_EQ(items->front().ItemId(), "Disk_PNP\\0");

    const auto errors = TextsAt(Kvr::LogLevel::Error);
    ASSERT_EQ(errors.size(), 4u);
    const std::string prefix = "GetDynamicDiskData: skipped as an exception was raised (";
    EXPECT_THAT(errors[0], StartsWith(prefix));
    EXPECT_THAT(errors[0], HasSubstr("80070002"));  // ERROR_FILE_NOT_FOUND of the open
    EXPECT_THAT(errors[1], HasSubstr("80070015"));  // ERROR_NOT_READY of the request
    EXPECT_THAT(errors[2], StartsWith(prefix));     // a NULL counter is no text
    const std::string outOfRange =
        NativeErrorText([] { (void)std::stoull("18446744073709551616"); });
    EXPECT_EQ(errors[3], prefix + outOfRange + ").");
    for (const auto& error : errors) EXPECT_THAT(error, ::testing::EndsWith(")."));
    EXPECT_TRUE(TextsAt(Kvr::LogLevel::Warning).empty());
}

TEST_F(DynamicRetrieverTest, QueriesThatFailGiveAnEmptyListAfterOneErrorLine)
{
    machine.disks.AddVolume(Volume(L'C', 0, 0, 0));
    constexpr const char* counters = "Win32_PerfFormattedData_PerfDisk_PhysicalDisk";
    const std::pair<const char*, nlohmann::json> failures[] = {
        {counters, {{"fail", "0x80041010"}}},
        {counters, {{"failAtNext", {{"call", 2}, {"hr", "0x80041010"}}}}},
        {"Win32_DiskDrive", {{"fail", "0x80041010"}}},
    };
    for (const auto& [cls, failure] : failures) {
        LoadWmi("oneCounterRowTwice", Failing("root\\cimv2", cls, failure));
        for (const std::optional<std::string>& itemId : {std::optional<std::string>{}, std::optional<std::string>{"Disk_PNP\\0"}}) {
            log->Clear();
            const auto items = retriever.CollectData(itemId);
            ASSERT_TRUE(items.has_value()) << failure;
            EXPECT_TRUE(items->empty()) << failure;
            const auto errors = TextsAt(Kvr::LogLevel::Error);
            ASSERT_EQ(errors.size(), 1u) << failure;
            EXPECT_THAT(errors[0], StartsWith("GetDynamicDiskData: error when reaching info via WMI : "));
            EXPECT_THAT(errors[0], HasSubstr("80041010"));
            EXPECT_THAT(TextsAt(Kvr::LogLevel::Trace, CollectData),
                        ElementsAre("Got total info for PhysicalDiskDynamicInfoRetriever: 0"));
        }
    }
}

TEST(DecimalTextTest, LeadingBlanksThenTheLongestRunOfDigits)
{
    EXPECT_EQ(DecimalText::ToUInt64(" \t 42 C:"), 42u);
    EXPECT_EQ(DecimalText::ToUInt64("007x9"), 7u);
    EXPECT_EQ(DecimalText::ToUInt64("18446744073709551615"), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(DecimalText::ToUInt32("4294967295"), 4294967295u);
    for (const char* text : {"", "  ", "-1", "+1", "x1"}) {
        EXPECT_THROW(DecimalText::ToUInt64(text), std::invalid_argument) << text;
        EXPECT_THROW(DecimalText::ToUInt32(text), std::invalid_argument) << text;
    }
    EXPECT_THROW(DecimalText::ToUInt64("18446744073709551616"), std::out_of_range);
    EXPECT_THROW(DecimalText::ToUInt64("99999999999999999999"), std::out_of_range);
    EXPECT_THROW(DecimalText::ToUInt32("4294967296"), std::out_of_range);
}

}  // namespace
}  // namespace physical_disk_test
