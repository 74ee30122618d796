#include "StorageCollectorPlugin.h"

#include <algorithm>
#include <stop_token>
#include <string_view>

#include <gtest/gtest.h>

#include "kvr/StorageCollectorInfo.h"
#include "kvr/host/RecordingAgent.h"
#include "platform/Machine.h"
#include "sim/SimMachine.h"

namespace {

using Kvr::Host::RecordingAgent;
using Talvex::Quorlin::Plugins::StorageCollectorPlugin;

constexpr auto kMethods = StorageCollectorPlugin::CollectionMethods();

TEST(StorageCollectorPlugin, RegistrationData)
{
    constexpr auto plugin = StorageCollectorPlugin::Plugin;
    EXPECT_EQ(plugin.Name, "Storage Info Collector");
    EXPECT_EQ(plugin.Version, "1.0.0.0");
    EXPECT_EQ(plugin.Description, "Enables collection of Physical Disk and Storage datatypes");
    EXPECT_EQ(StorageCollectorPlugin::LogId, "StrgColl");
    // The id is registry text that names the plug-in of the host's metadata.
    EXPECT_EQ(Kvr::Guid::Parse(plugin.Id).ToString(), plugin.Id);
    EXPECT_EQ(Kvr::Guid::Parse(plugin.Id), Kvr::StorageCollectorInfo::Guid);

    EXPECT_EQ(StorageCollectorPlugin::Publisher.Name, "Talvex Technologies");
    EXPECT_EQ(StorageCollectorPlugin::Publisher.Support, "PluginSupport");
    EXPECT_FALSE(StorageCollectorPlugin::Publisher.Website.empty());
}

TEST(StorageCollectorPlugin, MethodTableNamesSixMethodsInOrderWithTheirMessageTypes)
{
    std::vector<std::pair<std::string, std::string>> table;
    for (const auto& method : kMethods) {
        table.emplace_back(method.Name, method.MessageTypeName());
    }
    const std::string ns = "Talvex.Quorlin.Datatypes.";
    EXPECT_EQ(table, (std::vector<std::pair<std::string, std::string>>{
                         {"CollectPhysicalDiskDynamicInfo", ns + "PhysicalDiskDynamicInfo"},
                         {"CollectPhysicalDiskStaticInfo", ns + "PhysicalDiskStaticInfo"},
                         {"CollectSmartDynamicInfo", ns + "SmartDynamicInfo"},
                         {"CollectSmartNvmeInfo", ns + "SmartNvmeInfo"},
                         {"CollectSmartStaticInfo", ns + "SmartStaticInfo"},
                         {"CollectNvmeIdentifyControllerData", ns + "NvmeIdentifyControllerData"},
                     }));
}

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

// On a machine without disks each method reaches its own retriever, whose
// last line names it; the NVMe and dynamic disk methods give an empty list,
// the others none.
TEST(StorageCollectorPlugin, EachMethodRunsItsOwnRetriever)
{
    struct Row {
        const char* method;
        const char* retriever;
        bool list;
    };
    const Row rows[] = {
        {"CollectPhysicalDiskDynamicInfo", "PhysicalDiskDynamicInfoRetriever", true},
        {"CollectPhysicalDiskStaticInfo", "PhysicalDiskStaticInfoRetriever", false},
        {"CollectSmartStaticInfo", "SmartStaticInfoRetriever", false},
        {"CollectNvmeIdentifyControllerData", "NvmeIdentifyControllerDataRetriever", true},
        {"CollectSmartNvmeInfo", "SmartNvmeInfoRetriever", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.method);
        sim::SimMachine machine;
        platform::MachineScope scope(machine);
        RecordingAgent agent;
        StorageCollectorPlugin plugin(agent);
        const auto method = std::find_if(kMethods.begin(), kMethods.end(),
                                         [&](const auto& m) { return m.Name == std::string_view(row.method); });
        ASSERT_NE(method, kMethods.end());
        const auto items = method->Invoke(plugin, std::nullopt, std::nullopt);
        EXPECT_EQ(items.has_value(), row.list);
        if (items.has_value()) {
            EXPECT_TRUE(items->empty());
        }
        const auto records = agent.Log()->Records();
        ASSERT_FALSE(records.empty());
        EXPECT_EQ(records.back().Function, std::string("Talvex::Quorlin::Plugins::") + row.retriever + "::CollectData");
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
