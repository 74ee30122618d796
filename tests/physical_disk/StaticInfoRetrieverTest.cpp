// The physical disk static info retriever over small simulated machines: the
// messages it builds from disks, media types and the drive list, its log
// lines, and its failures as the host receives them through the plug-in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "DiskWmiMachine.h"
#include "PhysicalDiskStaticInfoRetriever.h"
#include "StorageCollectorPlugin.h"
#include "kvr/host/RecordingAgent.h"

namespace physical_disk_test {
namespace {

using hardware_test::AtaDisk;
using Kvr::Host::LogRecord;
using Talvex::Quorlin::Datatypes::PhysicalDiskStaticInfo;
using Talvex::Quorlin::Plugins::PhysicalDiskStaticInfoRetriever;
using Talvex::Quorlin::Plugins::StorageCollectorPlugin;
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
    for (std::uint32_t number = 0; number < 5; ++number) {
        machine.disks.AddDisk(AtaDisk(number));
        wmi.DiskDrive(number, "M", "PNP\\" + std::to_string(number));
    }
    wmi.PhysicalDisk("1", 3);
    wmi.PhysicalDisk("0", 0);
    wmi.PhysicalDisk("3", 5);
    wmi.PhysicalDisk("1", 4);     // a disk number seen before: the first row stands
    wmi.PhysicalDisk("disk", 4);  // no number
    wmi.PhysicalDisk("4", 7);     // a media type the retriever does not know
    Load(wmi);

    const auto items = retriever.CollectData("");
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 5u);
    using Type = PhysicalDiskStaticInfo;
    const std::pair<Type::DiskType, const char*> expected[] = {
        {Type::DISK_TYPE_UNKNOWN, "Unknown"},  // media type 0
        {Type::DISK_TYPE_HDD, "HDD"},
        {Type::DISK_TYPE_UNKNOWN, "Unknown"},  // no storage row at all
        {Type::DISK_TYPE_SCM, "SCM"},
        {Type::DISK_TYPE_UNKNOWN, "Unknown"},
    };
    for (std::size_t i = 0; i < 5; ++i) {
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
        Line("ERROR", FetchMediaType, "GetDynamicDiskData::fetchMediaType: skipped, read next: " + conversion)};
    for (int i = 0; i < 5; ++i) {
        const std::string number = std::to_string(i);
        expectedLines.push_back(Line("DEBUG", GetStaticDiskData, "got disk index: '" + number + "', name: 'DISK" + number + "'"));
    }
    expectedLines.push_back(Line("TRACE", CollectData, "Got total info for PhysicalDiskStaticInfoCollector: 5"));
    EXPECT_EQ(Lines(*log), expectedLines);
}

TEST_F(StaticRetrieverTest, FailingStorageQueryLeavesEveryDiskOfUnknownMedia)
{
    machine.disks.AddDisk(AtaDisk(0));
    machine.disks.AddDisk(AtaDisk(1));
    wmi.DiskDrive(0, "M", "PNP\\0");
    wmi.DiskDrive(1, "M", "PNP\\1");
    wmi.PhysicalDisk("0", 4);
    wmi.PhysicalDisk("1", 3);
    for (const nlohmann::json& failure : {nlohmann::json{{"fail", "0x80041003"}},
                                          nlohmann::json{{"failAtNext", {{"call", 2}, {"hr", "0x80041003"}}}}}) {
        wmi.physicalDiskClass = failure;
        Load(wmi);
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
    wmi.DiskDrive(0, "Mod\xC3\xA8le", "PNP\\0");
    Load(wmi);

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

TEST_F(StaticRetrieverTest, MachineWithoutDisksGivesNoListWhateverTheItemId)
{
    wmi.DiskDrive(0, "Listed but absent", "PNP\\0");
    Load(wmi);
    for (const std::optional<std::string>& itemId : {std::optional<std::string>{}, std::optional<std::string>{"Disk_PNP\\0"}}) {
        log->Clear();
        EXPECT_FALSE(retriever.CollectData(itemId).has_value());
        EXPECT_THAT(Lines(*log), ElementsAre(Line("DEBUG", CollectData, "No disk data been reached out")));
    }
}

// Through the plug-in, as the host calls it: what reaches the host is an
// item, or a KvrException after one log line of the item handler.
class StaticThroughPluginTest : public PhysicalDiskTest {
protected:
    Kvr::DatatypeItemList<PhysicalDiskStaticInfo> Collect(const std::optional<std::string>& itemId)
    {
        return plugin.CollectPhysicalDiskStaticInfo(itemId, std::nullopt);
    }
    // The KvrException of a failing collection.
    Kvr::KvrException Failure(const std::optional<std::string>& itemId)
    {
        try {
            Collect(itemId);
        } catch (const Kvr::KvrException& error) {
            return error;
        }
        ADD_FAILURE() << "the collection did not fail";
        return Kvr::KvrException("none");
    }
    std::vector<std::string> ErrorTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& record : agent.Log()->Records())
            if (record.Level == Kvr::LogLevel::Error) texts.push_back(record.Text);
        return texts;
    }

    Kvr::Host::RecordingAgent agent;
    StorageCollectorPlugin plugin{agent};
};

TEST_F(StaticThroughPluginTest, ItemIdSelectsOneDiskOrIsReportedMissing)
{
    machine.disks.AddDisk(AtaDisk(0));
    machine.disks.AddDisk(AtaDisk(1));
    wmi.DiskDrive(1, "M", "PNP\\1");
    wmi.DiskDrive(0, "M", "PNP\\0");
    wmi.PhysicalDisk("0", 3);
    wmi.PhysicalDisk("1", 4);
    Load(wmi);

    const auto all = Collect(std::nullopt);
    ASSERT_TRUE(all.has_value());
    ASSERT_EQ(all->size(), 2u);
    EXPECT_EQ((*all)[0].ItemId(), "Disk_PNP\\0") << "disks in enumeration order, not drive list order";
    EXPECT_EQ((*all)[1].ItemId(), "Disk_PNP\\1");

    agent.Log()->Clear();
    const auto one = Collect("Disk_PNP\\1");
    ASSERT_TRUE(one.has_value());
    ASSERT_EQ(one->size(), 1u);
    EXPECT_EQ(one->front().ItemId(), "Disk_PNP\\1");
    EXPECT_EQ(one->front().Message().type(), PhysicalDiskStaticInfo::DISK_TYPE_SSD);
    const auto texts = agent.Log()->Texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], "Specific data for PhysicalDiskStaticInfoCollector, itemId : Disk_PNP\\1");
    EXPECT_EQ(texts.back(), "Got total info for PhysicalDiskStaticInfoCollector: 1");

    agent.Log()->Clear();
    const Kvr::KvrException error = Failure("disk_pnp\\1");  // ids compare exactly
    ASSERT_NE(error.InnerException(), nullptr);
    EXPECT_EQ(error.InnerException()->TypeName(), "Kvr::ArgumentOutOfRangeException");
    EXPECT_EQ(error.Message(), "cannot find data with specific ID: disk_pnp\\1");
    EXPECT_THAT(ErrorTexts(), ElementsAre("Exception : cannot find data with specific ID: disk_pnp\\1"));
}

TEST_F(StaticThroughPluginTest, DisksSharingAnItemIdEndTheCollectionAndReleaseTheLock)
{
    machine.disks.AddDisk(AtaDisk(0));
    machine.disks.AddDisk(AtaDisk(1));
    Load(wmi);  // no drive list records: both disks are "Disk_"

    const Kvr::KvrException error = Failure(std::nullopt);
    ASSERT_NE(error.InnerException(), nullptr);
    EXPECT_EQ(error.InnerException()->TypeName(), "Kvr::ArgumentException");
    EXPECT_EQ(error.Message(), "An item with the same key has already been added. Key: Disk_");
    EXPECT_THAT(ErrorTexts(),
                ElementsAre("Exception : An item with the same key has already been added. Key: Disk_"));

    // The lock went with the failure: the next collection runs.
    wmi.DiskDrive(0, "M", "PNP\\0");
    wmi.DiskDrive(1, "M", "PNP\\1");
    Load(wmi);
    const auto items = Collect(std::nullopt);
    ASSERT_TRUE(items.has_value());
    EXPECT_EQ(items->size(), 2u);
}

TEST_F(StaticThroughPluginTest, FailingDriveListIsANativeErrorForTheHost)
{
    machine.disks.AddDisk(AtaDisk(0));
    wmi.diskDriveClass = {{"fail", "0x80041010"}};
    Load(wmi);

    const Kvr::KvrException error = Failure(std::nullopt);
    EXPECT_EQ(error.InnerException(), nullptr);
    EXPECT_THAT(error.Message(), HasSubstr("80041010"));
    EXPECT_THAT(ErrorTexts(), ElementsAre("Native exception : " + error.Message()));
}

// A log that writes each line into a list of events shared with the machine.
class EventLog final : public Kvr::IKvrLog {
public:
    explicit EventLog(std::function<void(const std::string&)> note) : m_note(std::move(note)) {}

protected:
    void Write(Kvr::LogLevel, std::string_view text, int, std::string_view, std::string_view) override
    {
        m_note("log " + std::string(text));
    }
    void WriteException(const Kvr::Exception& error, int, std::string_view, std::string_view) override
    {
        m_note("log " + error.Message());
    }

private:
    std::function<void(const std::string&)> m_note;
};

// Two collections at once: the first is held inside its first device request
// until the second call has been made; the second may touch the machine only
// after the first has written its last line, which it does just before it
// returns.
TEST_F(StaticRetrieverTest, ConcurrentCollectionsRunOneAfterTheOther)
{
    machine.disks.AddDisk(AtaDisk(0));
    wmi.DiskDrive(0, "M", "PNP\\0");
    Load(wmi);

    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::string> events;
    bool firstHeld = false;
    bool released = false;
    // The collection this thread runs: "first" or "second". A plain pointer,
    // so that nothing of it outlives the threads.
    thread_local const char* who = "";

    auto note = [&](const std::string& event) {
        std::lock_guard guard(lock);
        events.push_back(std::string(who) + " " + event);
        changed.notify_all();
    };
    auto happened = [&](const std::string& event) {
        return std::find(events.begin(), events.end(), event) != events.end();
    };
    machine.onComCall = [&](std::string_view) { note("machine"); };
    machine.onOpen = [&](std::wstring_view) {
        note("machine");
        std::unique_lock guard(lock);
        if (std::string_view(who) == "first" && !firstHeld) {
            firstHeld = true;
            changed.notify_all();
            changed.wait(guard, [&] { return released; });
        }
    };
    PhysicalDiskStaticInfoRetriever shared(std::make_shared<EventLog>(note));
    auto collect = [&](const char* name, std::size_t& count) {
        who = name;
        platform::MachineScope threadScope(machine);
        note("calls");
        const auto items = shared.CollectData(std::nullopt);
        count = items ? items->size() : 0;
    };

    std::size_t firstCount = 0;
    std::size_t secondCount = 0;
    std::thread first(collect, "first", std::ref(firstCount));
    {
        std::unique_lock guard(lock);
        changed.wait(guard, [&] { return firstHeld; });
    }
    std::thread second(collect, "second", std::ref(secondCount));
    {
        // Once the second call is made, give it the chance to reach the
        // machine; it must not, so this wait ends by its timeout (an early end
        // fails below).
        std::unique_lock guard(lock);
        changed.wait(guard, [&] { return happened("second calls"); });
        changed.wait_for(guard, std::chrono::milliseconds(300), [&] { return happened("second machine"); });
        released = true;
        changed.notify_all();
    }
    first.join();
    second.join();

    EXPECT_EQ(firstCount, 1u);
    EXPECT_EQ(secondCount, 1u);
    const auto at = [&](const std::string& event) {
        return std::find(events.begin(), events.end(), event) - events.begin();
    };
    const auto firstEnds = at("first log Got total info for PhysicalDiskStaticInfoCollector: 1");
    const auto secondCalls = at("second calls");
    const auto secondStarts = at("second machine");
    ASSERT_LT(firstEnds, static_cast<std::ptrdiff_t>(events.size())) << "the first collection did not end";
    ASSERT_LT(secondStarts, static_cast<std::ptrdiff_t>(events.size())) << "the second collection never ran";
    EXPECT_LT(secondCalls, firstEnds) << "the second call was not made while the first ran";
    EXPECT_GT(secondStarts, firstEnds) << "the second collection read the machine before the first returned";
    for (std::ptrdiff_t i = secondStarts; i < static_cast<std::ptrdiff_t>(events.size()); ++i)
        EXPECT_THAT(events[i], StartsWith("second ")) << i;
}

}  // namespace
}  // namespace physical_disk_test
