// The live machine's pure parts: name order, letters, ATA register transport
// and the formatted counters.
#include <variant>

#include <gtest/gtest.h>

#include "AtaTranslation.h"
#include "DiskCatalog.h"
#include "DriveLetters.h"
#include "PerfCounters.h"
#include "Recorded.h"

namespace {

TEST(LiveParts, KernelNamesInNaturalOrder)
{
    const std::vector<std::string> ordered = {"nvme0n1", "nvme0n2", "nvme1n1", "nvme2n1", "nvme10n1", "nvme10n10"};
    for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
        EXPECT_TRUE(live::NaturalLess(ordered[i], ordered[i + 1])) << ordered[i] << " < " << ordered[i + 1];
        EXPECT_FALSE(live::NaturalLess(ordered[i + 1], ordered[i])) << ordered[i + 1] << " < " << ordered[i];
    }
    EXPECT_TRUE(live::NaturalLess("sdz", "sdaa"));
    EXPECT_FALSE(live::NaturalLess("sda", "sda"));
}

TEST(LiveParts, LettersGoToTheRootFirstThenByMountPointOncePerPartition)
{
    std::vector<live::DiskEntry> disks(2);
    disks[0].Partitions = {{"sda1", 1, 0, 0, "8:1"}, {"sda2", 2, 0, 0, "8:2"}};
    disks[1].Partitions = {{"sdb1", 1, 0, 0, "8:17"}};
    const std::string mountinfo = "21 1 0:19 / /proc rw - proc proc rw\n"
                                  "30 1 8:17 / /srv/z rw - ext4 /dev/sdb1 rw\n"
                                  "31 1 8:1 / /boot\\040efi rw - vfat /dev/sda1 rw\n"
                                  "32 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                  "33 1 8:17 / /a/bind rw - ext4 /dev/sdb1 rw\n"
                                  "34 1 8:99 / /b rw - ext4 /dev/sdz1 rw\n";
    const auto letters = live::AssignLetters(disks, mountinfo);
    ASSERT_EQ(letters.size(), 3u);
    const std::tuple<wchar_t, std::size_t, std::size_t> expected[] = {{L'C', 0, 1}, {L'D', 1, 0}, {L'E', 0, 0}};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(std::make_tuple(letters[i].Letter, letters[i].Disk, letters[i].Partition), expected[i]) << i;
}

TEST(LiveParts, AtaRegistersTravelInAtaPassThroughAndComeBackFromEitherSenseFormat)
{
    const std::uint8_t current[8] = {0x00, 0x01, 0x9A, 0x00, 0x00, 0x40, 0x2F, 0};
    const std::uint8_t previous[8] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0};
    const auto cdb = live::AtaPassThroughCdb(current, previous, true, true);
    const std::array<std::uint8_t, 16> wanted = {0x85, 0x09, 0x2E, 0, 0, 0, 1, 0, 0x9A, 0, 0, 0, 0, 0x40, 0x2F, 0};
    EXPECT_EQ(cdb, wanted);

    std::uint8_t descriptorSense[22] = {0x72, 0x01, 0x00, 0x1D, 0, 0, 0, 14, 0x09, 0x0C, 0x01, 0x04, 0x00, 0x02,
                                        0x00, 0x9A, 0x00, 0x4F, 0x00, 0xC2, 0xA0, 0x51};
    std::uint8_t fixedSense[18] = {0x70, 0, 0x01, 0x04, 0x51, 0xA0, 0x02, 0, 0, 0x9A, 0x4F, 0xC2};
    for (auto* sense : {descriptorSense, fixedSense}) {
        std::uint8_t back[8] = {};
        std::uint8_t before[8] = {};
        ASSERT_TRUE(live::ReadReturnedRegisters(sense, sense == fixedSense ? 18 : 22, back, before));
        EXPECT_EQ(std::vector<int>(back, back + 8), (std::vector<int>{0x04, 0x02, 0x9A, 0x4F, 0xC2, 0xA0, 0x51, 0})) << (sense == fixedSense ? "fixed" : "descriptor");
    }
    std::uint8_t noDescriptor[8] = {0x72, 0x05, 0x24, 0, 0, 0, 0, 0};
    std::uint8_t back[8] = {};
    EXPECT_FALSE(live::ReadReturnedRegisters(noDescriptor, 8, back, back));
}

// Over 500 ms disk 0 (lettered C:) read 4096 sectors in 250 ms, wrote 2048 in
// 900 ms, was busy 400 ms with 2000 ms of queueing and has 3 in flight; disk 1
// was idle. The rows, the _Total row averaging the percentages, are in
// data/perf-rows.txt.
TEST(LiveParts, FormattedCountersOverTheSampleInterval)
{
    std::vector<live::DiskEntry> disks(2);
    disks[1].Number = 1;
    // reads, merged, sectors read, ms reading, writes, merged, sectors written, ms writing, in flight, ms busy, ms queued
    const live::wmi::CounterSample before = {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {5, 0, 100, 10, 0, 0, 0, 0, 0, 10, 10}};
    const live::wmi::CounterSample after = {{10, 0, 4096, 250, 4, 0, 2048, 900, 3, 400, 2000}, before[1]};
    const auto print = [](const platform::WmiScalar& v) {
        return std::holds_alternative<std::wstring>(v) ? std::get<std::wstring>(v) : std::to_wstring(std::get<std::uint64_t>(v));
    };
    std::wstring text;
    for (const auto& row : live::wmi::PerfDiskRows(disks, {{L'C', 0, 0}}, before, after, std::chrono::milliseconds(500))) {
        for (const auto& property : row.properties)
            for (const auto& element : property.value.elements)
                text += property.name + L" " + print(element) + L"\n";
        text += L"\n";
    }
    test_support::ExpectRecorded(std::string(text.begin(), text.end()), LIVE_DATA_DIR "/perf-rows.txt");
}

}  // namespace
