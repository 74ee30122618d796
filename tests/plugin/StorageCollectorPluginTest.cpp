#include "StorageCollectorPlugin.h"

#include <stop_token>
#include <string_view>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "kvr/StorageCollectorInfo.h"
#include "Recorded.h"
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

// What one collection returned, then each line it logged with where it was
// written (nothing for the lines written without a source).
std::string Outcome(const Kvr::CollectionMethodEntry& method, StorageCollectorPlugin& plugin, RecordingAgent& agent,
                    const std::optional<std::string>& itemId)
{
    agent.Log()->Clear();
    std::string text = "  " + itemId.value_or("all") + ": ";
    try {
        const auto items = method.Invoke(plugin, itemId, std::nullopt);
        text += items ? std::to_string(items->size()) + " items" : "no list";
        for (const auto& item : items.value_or(Kvr::GenericItemList::value_type{})) text += "\n    " + item.ItemId;
    } catch (const Kvr::KvrException& error) {
        text += "KvrException around " +
                std::string(error.InnerException() ? error.InnerException()->TypeName() : "nothing") + ": " +
                error.Message();
    }
    for (const auto& record : agent.Log()->Records()) {
        EXPECT_EQ(record.Line > 0, !record.File.empty()) << record.Text;
        text += "\n    " + Kvr::Host::Transcribed(record);
    }
    return text + "\n";
}

// Each method reaches its own retriever, which logs its own lines: on a machine
// without disks (an empty list or none, whatever the item id), on the built-in
// machine for all items, one by its exact id and one in another letter case
// (the out-of-range error), and when every disk has the same id (the argument
// error), after which the next collection runs. Held to data/transcript.txt.
TEST(StorageCollectorPlugin, EachMethodsItemsAndLogLinesAsRecorded)
{
    nlohmann::json sameIds = nlohmann::json::parse(sim::DefaultDescriptionJson());
    for (int disk = 0; disk < 5; ++disk)
        sameIds["wmi"]["root\\cimv2"]["classes"]["Win32_DiskDrive"]["rows"].push_back({{"drop", disk}});
    std::string text;
    for (const auto& method : kMethods) {
        text += std::string(method.Name) + "\n";
        RecordingAgent agent;
        StorageCollectorPlugin plugin(agent);
        {
            sim::SimMachine empty;
            platform::MachineScope scope(empty);
            text += Outcome(method, plugin, agent, std::nullopt) + Outcome(method, plugin, agent, "Disk_X");
            EXPECT_EQ(empty.Ledger().OpenReport(), "") << method.Name;
        }
        sim::SimMachine machine(sim::DefaultDescription());
        platform::MachineScope scope(machine);
        text += Outcome(method, plugin, agent, std::nullopt);
        const std::string id = method.Invoke(plugin, std::nullopt, std::nullopt)->back().ItemId;
        text += Outcome(method, plugin, agent, id) + Outcome(method, plugin, agent, "disk_" + id.substr(5));
        machine.Load(sim::ParseDescription(sameIds.dump()));
        text += Outcome(method, plugin, agent, std::nullopt);
        machine.Load(sim::DefaultDescription());
        text += Outcome(method, plugin, agent, std::nullopt);
        EXPECT_EQ(machine.Ledger().OpenReport(), "") << method.Name;
    }
    test_support::ExpectRecorded(text, PLUGIN_TEST_DATA "/transcript.txt");
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
