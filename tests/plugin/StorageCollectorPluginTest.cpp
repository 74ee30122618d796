#include "StorageCollectorPlugin.h"

#include <algorithm>
#include <stop_token>
#include <string_view>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "kvr/StorageCollectorInfo.h"
#include "kvr/host/RecordingAgent.h"
#include "sim/DescriptionLoader.h"
#include "platform/Machine.h"
#include "sim/SimMachine.h"

namespace {

using Kvr::Host::RecordingAgent;
using Talvex::Quorlin::Plugins::StorageCollectorPlugin;

constexpr auto kMethods = StorageCollectorPlugin::CollectionMethods();

// Its registration data and method table are shown by storcoll list (the host
// area's recorded list.txt).
TEST(StorageCollectorPlugin, ConstructionAsksForItsLogAndTouchesNoMachineResource)
{
    sim::SimMachine machine;
    platform::MachineScope scope(machine);
    RecordingAgent agent;
    {
        StorageCollectorPlugin plugin(agent);
        EXPECT_EQ(plugin.Log, agent.Log());
    }
    EXPECT_EQ(agent.RequestedLogId(), "StrgColl");
    EXPECT_EQ(agent.RequestedPluginId(), Kvr::StorageCollectorInfo::Guid);
    for (std::size_t r = 0; r < static_cast<std::size_t>(platform::Resource::Count); ++r) {
        const auto resource = static_cast<platform::Resource>(r);
        EXPECT_EQ(machine.Ledger().Acquisitions(resource), 0) << platform::ResourceName(resource);
    }
    EXPECT_TRUE(machine.DebugLines().empty());
    EXPECT_EQ(agent.Log()->Count(), 0u);
}

// What sets the six methods apart for the host: the retriever that answers,
// what it logs on a machine without disks, and the line that names a
// requested item.
struct Method {
    const char* name;
    const char* retriever;
    bool listWhenEmpty;
    std::vector<std::string> emptyLines;  // "LEVEL text"
    std::string specific;                 // "LEVEL text" before the item id
    std::string total;                    // before the count of items
};

// clang-format off
const Method kMethodRows[] = {
    {"CollectPhysicalDiskDynamicInfo", "PhysicalDiskDynamicInfoRetriever", true,
     {"WARNING GetDynamicDiskData: the \"_total\" name is invalid, skipping to the next one.",
      "TRACE Got total info for PhysicalDiskDynamicInfoRetriever: 0"},
     "TRACE Specific data for PhysicalDiskDynamicInfoRetriever, itemId : ",
     "Got total info for PhysicalDiskDynamicInfoRetriever: "},
    {"CollectPhysicalDiskStaticInfo", "PhysicalDiskStaticInfoRetriever", false,
     {"DEBUG No disk data been reached out"},
     "TRACE Specific data for PhysicalDiskStaticInfoCollector, itemId : ",
     "Got total info for PhysicalDiskStaticInfoCollector: "},
    {"CollectSmartStaticInfo", "SmartStaticInfoRetriever", false,
     {"DEBUG No disk data been reached out"},
     "TRACE Specific data for SmartStaticInfoRetriever, itemId : ",
     "Got total info for SmartStaticInfoCollector: "},
    // Its line on a machine without disks is the one written without a source.
    {"CollectSmartDynamicInfo", "SmartDynamicInfoRetriever", false,
     {"DEBUG No SMART data been reached out"},
     "TRACE Specific data for SmartDynamicInfoRetriever, itemId : ",
     "Got total info for SmartDynamicInfoCollector: "},
    {"CollectNvmeIdentifyControllerData", "NvmeIdentifyControllerDataRetriever", true,
     {"DEBUG datatypeId: 'NvmeIdentifyControllerData', itemId: ''",
      "DEBUG No identify controller data has been reached out"},
     "DEBUG get specific data for NvmeIdentifyControllerDataRetriever, itemID: ",
     "Got total info for NvmeIdentifyControllerDataRetriever: "},
    {"CollectSmartNvmeInfo", "SmartNvmeInfoRetriever", true,
     {"DEBUG No SMART NVMe data has been reached out"},
     "DEBUG Specific data for SmartNvmeInfoRetriever, itemId : ",
     "Got total info for SmartNvmeInfoCollector: "},
};
// clang-format on

const Kvr::CollectionMethodEntry& Find(const char* name)
{
    const auto named = [&](const auto& method) { return method.Name == std::string_view(name); };
    return *std::find_if(kMethods.begin(), kMethods.end(), named);
}

// "LEVEL text" of each record, each checked to come from `retriever`'s file
// (no source at all when empty) or, for an error, from the item handler.
std::vector<std::string> Lines(const RecordingAgent& agent, const std::string& retriever)
{
    std::vector<std::string> lines;
    for (const auto& record : agent.Log()->Records()) {
        lines.push_back(std::string(Kvr::LogLevelName(record.Level)) + " " + record.Text);
        if (record.Level == Kvr::LogLevel::Error) continue;
        EXPECT_EQ(record.File, retriever.empty() ? "" : "src/Plugins/StorageCollector/" + retriever) << record.Text;
        EXPECT_EQ(record.Line > 0, !retriever.empty()) << record.Text;
    }
    return lines;
}

// The function of a collection's last line: the retriever's CollectData.
std::string LastFunction(const RecordingAgent& agent)
{
    const auto records = agent.Log()->Records();
    return records.empty() ? "none" : records.back().Function;
}

std::string CollectData(const std::string& retriever)
{
    return retriever.empty() ? "" : "Talvex::Quorlin::Plugins::" + retriever + "::CollectData";
}

// The KvrException a collection ends in, after the item handler's line.
Kvr::KvrException Failure(const Kvr::CollectionMethodEntry& method, StorageCollectorPlugin& plugin,
                          const std::optional<std::string>& itemId)
{
    try {
        method.Invoke(plugin, itemId, std::nullopt);
    } catch (const Kvr::KvrException& error) {
        return error;
    }
    ADD_FAILURE() << "the collection did not fail";
    return Kvr::KvrException("none");
}

// On a machine without disks each method reaches its own retriever, which
// gives an empty list or, whatever the item id, none.
TEST(StorageCollectorPlugin, EachMethodOnAMachineWithoutDisks)
{
    for (const Method& row : kMethodRows) {
        SCOPED_TRACE(row.name);
        sim::SimMachine machine;
        platform::MachineScope scope(machine);
        RecordingAgent agent;
        StorageCollectorPlugin plugin(agent);
        const auto items = Find(row.name).Invoke(plugin, std::nullopt, std::nullopt);
        EXPECT_EQ(items.has_value(), row.listWhenEmpty);
        EXPECT_TRUE(!items || items->empty());
        const bool sourceless = std::string_view(row.name) == "CollectSmartDynamicInfo";
        EXPECT_EQ(Lines(agent, sourceless ? "" : row.retriever), row.emptyLines);
        EXPECT_EQ(LastFunction(agent), CollectData(sourceless ? "" : row.retriever));
        if (!row.listWhenEmpty) {
            EXPECT_FALSE(Find(row.name).Invoke(plugin, "Disk_X", std::nullopt).has_value());
        }
        EXPECT_EQ(machine.Ledger().OpenReport(), "");
    }
}

// On the built-in machine: one item by its exact id, the out-of-range error
// for an id in another letter case, and the argument error when every disk
// has the same id, after which the next collection runs.
TEST(StorageCollectorPlugin, EachMethodFindsOneItemByItsExactId)
{
    nlohmann::json unlisted = nlohmann::json::parse(sim::DefaultDescriptionJson());
    for (int disk = 0; disk < 5; ++disk)
        unlisted["wmi"]["root\\cimv2"]["classes"]["Win32_DiskDrive"]["rows"].push_back({{"drop", disk}});
    for (const Method& row : kMethodRows) {
        SCOPED_TRACE(row.name);
        sim::SimMachine machine(sim::DefaultDescription());
        platform::MachineScope scope(machine);
        RecordingAgent agent;
        StorageCollectorPlugin plugin(agent);
        const auto& method = Find(row.name);
        const auto all = method.Invoke(plugin, std::nullopt, std::nullopt);
        ASSERT_TRUE(all.has_value() && !all->empty());
        const std::string id = all->back().ItemId;

        agent.Log()->Clear();
        const auto one = method.Invoke(plugin, id, std::nullopt);
        ASSERT_TRUE(one.has_value() && one->size() == 1u);
        EXPECT_EQ(one->front().ItemId, id);
        const auto lines = Lines(agent, row.retriever);
        EXPECT_NE(std::find(lines.begin(), lines.end(), row.specific + id), lines.end());
        EXPECT_EQ(lines.back(), "TRACE " + row.total + "1");
        EXPECT_EQ(LastFunction(agent), CollectData(row.retriever));

        agent.Log()->Clear();
        const std::string miscased = "disk_" + id.substr(5);
        const Kvr::KvrException missing = Failure(method, plugin, miscased);
        ASSERT_NE(missing.InnerException(), nullptr);
        EXPECT_EQ(missing.InnerException()->TypeName(), "Kvr::ArgumentOutOfRangeException");
        EXPECT_EQ(missing.Message(), "cannot find data with specific ID: " + miscased);
        EXPECT_EQ(Lines(agent, row.retriever).back(),
                  "ERROR Exception : cannot find data with specific ID: " + miscased);

        if (all->size() < 2) continue;
        machine.Load(sim::ParseDescription(unlisted.dump()));
        agent.Log()->Clear();
        const Kvr::KvrException duplicate = Failure(method, plugin, std::nullopt);
        ASSERT_NE(duplicate.InnerException(), nullptr);
        EXPECT_EQ(duplicate.InnerException()->TypeName(), "Kvr::ArgumentException");
        EXPECT_EQ(Lines(agent, row.retriever).back(),
                  "ERROR Exception : An item with the same key has already been added. Key: Disk_");
        machine.Load(sim::DefaultDescription());
        EXPECT_EQ(method.Invoke(plugin, std::nullopt, std::nullopt)->size(), all->size());
        EXPECT_EQ(machine.Ledger().OpenReport(), "");
    }
}

TEST(StorageCollectorPlugin, CancelledTokenStopsEveryMethodBeforeItsRetrieverAndLogsNothing)
{
    RecordingAgent agent;
    StorageCollectorPlugin plugin(agent);
    std::stop_source source;
    source.request_stop();
    for (const auto& method : kMethods) {
        EXPECT_THROW(method.Invoke(plugin, std::string("Disk_X"), source.get_token()),
                     Kvr::OperationCanceledException)
            << method.Name;
    }
    EXPECT_EQ(agent.Log()->Count(), 0u);
}

}  // namespace
