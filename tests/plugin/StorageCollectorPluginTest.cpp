#include "StorageCollectorPlugin.h"

#include <stop_token>

#include <gtest/gtest.h>

#include "kvr/StorageCollectorInfo.h"
#include "kvr/host/RecordingAgent.h"
#include "platform/Machine.h"
#include "sim/SimMachine.h"

namespace {

using Kvr::Host::RecordingAgent;
using Talvex::Quorlin::Plugins::StorageCollectorPlugin;

constexpr auto kMethods = StorageCollectorPlugin::CollectionMethods();

TEST(StorageCollectorPlugin, RegistrationData) {
    constexpr auto kPlugin = StorageCollectorPlugin::Plugin;
    static_assert(kPlugin.Id == StorageCollectorPlugin::Id && kPlugin.Name == StorageCollectorPlugin::Name);
    static_assert(kPlugin.Version == StorageCollectorPlugin::Version);
    static_assert(kPlugin.Description == StorageCollectorPlugin::Description);
    EXPECT_EQ(kPlugin.Name, "Storage Info Collector");
    EXPECT_EQ(kPlugin.Version, "1.0.0.0");
    EXPECT_EQ(kPlugin.Description, "Enables collection of Physical Disk and Storage datatypes");
    EXPECT_EQ(StorageCollectorPlugin::LogId, "StrgColl");
    // The id is registry text that names the plug-in of the host's metadata.
    EXPECT_EQ(Kvr::Guid::Parse(kPlugin.Id).ToString(), kPlugin.Id);
    EXPECT_EQ(Kvr::Guid::Parse(kPlugin.Id), Kvr::StorageCollectorInfo::Guid);

    EXPECT_EQ(StorageCollectorPlugin::Publisher.Name, "Talvex Technologies");
    EXPECT_EQ(StorageCollectorPlugin::Publisher.Support, "PluginSupport");
    EXPECT_FALSE(StorageCollectorPlugin::Publisher.Website.empty());
}

TEST(StorageCollectorPlugin, MethodTableNamesSixMethodsInOrderWithTheirMessageTypes) {
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

TEST(StorageCollectorPlugin, ConstructionAsksForItsLogAndTouchesNoMachineResource) {
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

// On a machine without disks both SMART methods give no list, after their
// retrievers' Debug lines; the dynamic one's names no source.
TEST(StorageCollectorPlugin, SmartMethodsRunTheirRetrievers) {
    sim::SimMachine machine;
    platform::MachineScope scope(machine);
    RecordingAgent agent;
    StorageCollectorPlugin plugin(agent);

    EXPECT_FALSE(plugin.CollectSmartStaticInfo(std::nullopt, std::nullopt).has_value());
    EXPECT_FALSE(plugin.CollectSmartDynamicInfo(std::string("Disk_X"), std::nullopt).has_value());
    const auto records = agent.Log()->Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Text, "No disk data been reached out");
    EXPECT_EQ(records[0].Function, "Talvex::Quorlin::Plugins::SmartStaticInfoRetriever::CollectData");
    EXPECT_EQ(records[1].Text, "No SMART data been reached out");
    EXPECT_EQ(records[1].Function, "");
    EXPECT_EQ(machine.Ledger().OpenReport(), "");
}

// On a machine without disks: no static list, and an empty dynamic one, each
// after its own retriever's last line.
TEST(StorageCollectorPlugin, PhysicalDiskMethodsRunTheirRetrievers) {
    sim::SimMachine machine;
    platform::MachineScope scope(machine);
    RecordingAgent agent;
    StorageCollectorPlugin plugin(agent);

    EXPECT_FALSE(plugin.CollectPhysicalDiskStaticInfo(std::nullopt, std::nullopt).has_value());
    auto records = agent.Log()->Records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().Text, "No disk data been reached out");
    EXPECT_EQ(records.back().Function, "Talvex::Quorlin::Plugins::PhysicalDiskStaticInfoRetriever::CollectData");

    const auto dynamic = plugin.CollectPhysicalDiskDynamicInfo(std::nullopt, std::nullopt);
    ASSERT_TRUE(dynamic.has_value());
    EXPECT_TRUE(dynamic->empty());
    records = agent.Log()->Records();
    EXPECT_EQ(records.back().Text, "Got total info for PhysicalDiskDynamicInfoRetriever: 0");
    EXPECT_EQ(records.back().Function, "Talvex::Quorlin::Plugins::PhysicalDiskDynamicInfoRetriever::CollectData");
    EXPECT_EQ(machine.Ledger().OpenReport(), "");
}

// On a machine without drives both NVMe methods give an empty list, not an
// absent one, after their own retrievers' last lines.
TEST(StorageCollectorPlugin, NvmeMethodsRunTheirRetrievers) {
    sim::SimMachine machine;
    platform::MachineScope scope(machine);
    RecordingAgent agent;
    StorageCollectorPlugin plugin(agent);

    const auto identify = plugin.CollectNvmeIdentifyControllerData(std::nullopt, std::nullopt);
    ASSERT_TRUE(identify.has_value());
    EXPECT_TRUE(identify->empty());
    auto records = agent.Log()->Records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().Text, "No identify controller data has been reached out");
    EXPECT_EQ(records.back().Function, "Talvex::Quorlin::Plugins::NvmeIdentifyControllerDataRetriever::CollectData");

    const auto health = plugin.CollectSmartNvmeInfo(std::nullopt, std::nullopt);
    ASSERT_TRUE(health.has_value());
    EXPECT_TRUE(health->empty());
    records = agent.Log()->Records();
    EXPECT_EQ(records.back().Text, "No SMART NVMe data has been reached out");
    EXPECT_EQ(records.back().Function, "Talvex::Quorlin::Plugins::SmartNvmeInfoRetriever::CollectData");
    EXPECT_EQ(machine.Ledger().OpenReport(), "");
}

TEST(StorageCollectorPlugin, CancelledTokenStopsEveryMethodBeforeItsRetrieverAndLogsNothing) {
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
