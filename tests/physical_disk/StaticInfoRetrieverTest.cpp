// The physical disk static info retriever over small simulated machines: the
// messages it builds from disks, media types and the drive list, its log
// lines, and its failures as the host receives them through the plug-in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "DiskWmiMachine.h"
#include "PhysicalDiskStaticInfoRetriever.h"

namespace physical_disk_test {
namespace {

using hardware_test::AtaDisk;
using Kvr::Host::LogRecord;
using Talvex::Quorlin::Datatypes::PhysicalDiskStaticInfo;
using Talvex::Quorlin::Plugins::PhysicalDiskStaticInfoRetriever;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr const char* File = "src/Plugins/StorageCollector/PhysicalDiskStaticInfoRetriever";
constexpr const char* FetchMediaType = "Talvex::Quorlin::Plugins::fetchMediaType";
constexpr const char* GetStaticDiskData = "Talvex::Quorlin::Plugins::PhysicalDiskStaticInfoRetriever::GetStaticDiskData";
constexpr const char* CollectData = "Talvex::Quorlin::Plugins::PhysicalDiskStaticInfoRetriever::CollectData";

std::vector<std::string> Capabilities(const PhysicalDiskStaticInfo& info)
{
    return {info.capability().begin(), info.capability().end()};
}

// Every record as "<LEVEL> <function>: <text>", each checked to name this
// retriever's source file and a line.
std::vector<std::string> Lines(const Kvr::Host::RecordingLog& log)
{
    std::vector<std::string> lines;
    for (const LogRecord& record : log.Records()) {
        EXPECT_EQ(record.File, File) << record.Text;
        EXPECT_GT(record.Line, 0) << record.Text;
        lines.push_back(std::string(Kvr::LogLevelName(record.Level)) + " " + record.Function + ": " + record.Text);
    }
    return lines;
}

std::string Line(const char* level, const char* function, const std::string& text)
{
    return std::string(level) + " " + function + ": " + text;
}

class StaticRetrieverTest : public PhysicalDiskTest {
protected:
    PhysicalDiskStaticInfoRetriever retriever{log};
};

TEST_F(StaticRetrieverTest, MediaTypesComeFromTheFirstStorageRowOfEachDisk)
{
    for (std::uint32_t number = 0; number < 6; ++number) machine.disks.AddDisk(AtaDisk(number));
    // The drive list in another order; storage rows for disks 1, 0, 3, 1 again
    // (the first row stands), one without a number, 4 (a media type the
    // retriever does not know) and 5.
    LoadWmi("mediaTypes");

    const auto items = retriever.CollectData("");
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 6u);
    using Type = PhysicalDiskStaticInfo;
    const std::pair<Type::DiskType, const char*> expected[] = {
        {Type::DISK_TYPE_UNKNOWN, "Unknown"},  // media type 0
        {Type::DISK_TYPE_HDD, "HDD"},
        {Type::DISK_TYPE_UNKNOWN, "Unknown"},  // no storage row at all
        {Type::DISK_TYPE_SCM, "SCM"},
        {Type::DISK_TYPE_UNKNOWN, "Unknown"},
        {Type::DISK_TYPE_SSD, "SSD"},
    };
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ((*items)[i].ItemId(), "Disk_PNP\\" + std::to_string(i)) << "disks in enumeration order";
        const auto& info = (*items)[i].Message();
        EXPECT_EQ(info.name(), "DISK" + std::to_string(i));
        EXPECT_EQ(info.type(), expected[i].first) << i;
        EXPECT_THAT(Capabilities(info), ElementsAre("HardDrive", expected[i].second)) << i;
    }

    const std::string conversion = NativeErrorText([] { (void)std::stoul("disk"); });
    std::vector<std::string> expectedLines = {
        Line("DEBUG", FetchMediaType, "GetDynamicDiskData: HardwareAccessLib::DiskDriveMediaType::HDD"),
        Line("DEBUG", FetchMediaType, "GetDynamicDiskData: HardwareAccessLib::DiskDriveMediaType::SCM"),
        Line("ERROR", FetchMediaType, "GetDynamicDiskData::fetchMediaType: skipped, read next: Invalid device id : 1"),
        Line("ERROR", FetchMediaType, "GetDynamicDiskData::fetchMediaType: skipped, read next: " + conversion),
        Line("DEBUG", FetchMediaType, "GetDynamicDiskData: HardwareAccessLib::DiskDriveMediaType::SSD")};
    for (int i = 0; i < 6; ++i) {
        const std::string number = std::to_string(i);
        expectedLines.push_back(Line("DEBUG", GetStaticDiskData, "got disk index: '" + number + "', name: 'DISK" + number + "'"));
    }
    expectedLines.push_back(Line("TRACE", CollectData, "Got total info for PhysicalDiskStaticInfoCollector: 6"));
    EXPECT_EQ(Lines(*log), expectedLines);
}

TEST_F(StaticRetrieverTest, FailingStorageQueryLeavesEveryDiskOfUnknownMedia)
{
    machine.disks.AddDisk(AtaDisk(0));
    machine.disks.AddDisk(AtaDisk(1));
    for (const nlohmann::json& failure : {nlohmann::json{{"fail", "0x80041003"}},
                                          nlohmann::json{{"failAtNext", {{"call", 2}, {"hr", "0x80041003"}}}}}) {
        LoadWmi("twoDisks", Failing("root\\microsoft\\windows\\storage", "MSFT_PhysicalDisk", failure));
        log->Clear();

        const auto items = retriever.CollectData(std::nullopt);
        ASSERT_TRUE(items.has_value()) << failure;
        ASSERT_EQ(items->size(), 2u);
        for (const auto& item : *items) {
            EXPECT_EQ(item.Message().type(), PhysicalDiskStaticInfo::DISK_TYPE_UNKNOWN) << failure;
            EXPECT_THAT(Capabilities(item.Message()), ElementsAre("HardDrive", "Unknown"));
        }
        // A failure after the first row was read drops that row's media type too.
        std::vector<LogRecord> errors;
        for (const auto& record : log->Records())
            if (record.Level == Kvr::LogLevel::Error) errors.push_back(record);
        ASSERT_EQ(errors.size(), 1u) << failure;
        EXPECT_THAT(errors[0].Text, StartsWith("GetStaticDiskData::fetchMediaType: error when reaching info via WMI : "));
        EXPECT_THAT(errors[0].Text, HasSubstr("80041003"));
        EXPECT_EQ(errors[0].Function, FetchMediaType);
        EXPECT_EQ(errors[0].File, File);
    }
}

TEST_F(StaticRetrieverTest, ModelFallsBackToTheDriveListThenToNothing)
{
    auto silent = AtaDisk(0);
    silent.ata.reset();  // nothing answers IDENTIFY: no model and no piece-part id
    auto unlisted = silent;
    unlisted.number = 1;
    unlisted.interfacePath = hardware_test::InterfacePath(1);
    machine.disks.AddDisk(silent);
    machine.disks.AddDisk(unlisted);
    // The drive list's texts are native UTF-8 that the host reads in the ANSI
    // code page (1252 here), as it reads every native text.
    LoadWmi("listedModel");  // model "Mod\xC3\xA8le"

    const auto items = retriever.CollectData(std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 2u);
    const auto& listed = (*items)[0].Message();
    EXPECT_EQ(listed.make_model(), "Mod\xC3\x83\xC2\xA8le");
    EXPECT_EQ(listed.eppid(), "");
    EXPECT_EQ(listed.partitions_size(), 0);
    const auto& notListed = (*items)[1].Message();
    EXPECT_EQ((*items)[1].ItemId(), "Disk_");
    EXPECT_EQ(notListed.device_instance_id(), "Disk_");
    EXPECT_EQ(notListed.make_model(), "");
    EXPECT_EQ(notListed.name(), "DISK1");
}

// A failing drive list is the retriever's own failure, left to the host.
TEST_F(StaticRetrieverTest, FailingDriveListEndsTheCollection)
{
    machine.disks.AddDisk(AtaDisk(0));
    LoadWmi("noRows", Failing("root\\cimv2", "Win32_DiskDrive", {{"fail", "0x80041010"}}));
    EXPECT_THAT(NativeErrorText([&] { retriever.CollectData(std::nullopt); }), HasSubstr("80041010"));
}

}  // namespace
}  // namespace physical_disk_test
