// The storage collector plug-in: the object the host loads. It carries the
// registration data, owns one retriever per data type and offers one
// collection method per data type; each method runs its retriever through
// the item handler, so every failure reaches the host in one form.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "kvr/BaseCollector.h"
#include "kvr/Cancellation.h"
#include "kvr/DatatypeItem.h"
#include "kvr/IAgent.h"
#include "kvr/Registration.h"
#include "nvme_identify_controller_data.pb.h"
#include "physical_disk_dynamic_info.pb.h"
#include "physical_disk_static_info.pb.h"
#include "smart_dynamic_info.pb.h"
#include "smart_nvme_info.pb.h"
#include "smart_static_info.pb.h"

namespace Talvex::Quorlin::Plugins {

class PhysicalDiskDynamicInfoRetriever;
class PhysicalDiskStaticInfoRetriever;
class SmartDynamicInfoRetriever;
class SmartNvmeInfoRetriever;
class SmartStaticInfoRetriever;
class NvmeIdentifyControllerDataRetriever;

class StorageCollectorPlugin final : public Kvr::BaseCollectorPlugin {
public:
    static constexpr std::string_view Id = "{6F3B2C1E-8D4A-4E57-9B21-5C7A0D93E4F8}";
    static constexpr std::string_view Name = "Storage Info Collector";
    static constexpr std::string_view Version = "1.0.0.0";
    static constexpr std::string_view LogId = "StrgColl";
    static constexpr std::string_view Description = "Enables collection of Physical Disk and Storage datatypes";

    static constexpr Kvr::PluginAttribute Plugin{Id, Name, Version, Description};
    static constexpr Kvr::PublisherAttribute Publisher{"Talvex Technologies", "PluginSupport",
                                                       "https://www.talvex.example/support"};

    // Constructs the base with the agent, LogId and StorageCollectorInfo::Guid,
    // then the six retrievers. Reads no hardware and no WMI.
    explicit StorageCollectorPlugin(Kvr::IAgent& agent);
    ~StorageCollectorPlugin() override;

    // Each takes an item id (absent or empty: all items) and a token that may
    // be absent; each returns its retriever's items, or no list, or raises
    // Kvr::KvrException, or Kvr::OperationCanceledException when the token
    // was cancelled before the collection started.
    Kvr::DatatypeItemList<Datatypes::PhysicalDiskDynamicInfo> CollectPhysicalDiskDynamicInfo(
        const std::optional<std::string>& itemId, const Kvr::CancellationToken& token);
    Kvr::DatatypeItemList<Datatypes::PhysicalDiskStaticInfo> CollectPhysicalDiskStaticInfo(
        const std::optional<std::string>& itemId, const Kvr::CancellationToken& token);
    Kvr::DatatypeItemList<Datatypes::SmartDynamicInfo> CollectSmartDynamicInfo(
        const std::optional<std::string>& itemId, const Kvr::CancellationToken& token);
    Kvr::DatatypeItemList<Datatypes::SmartNvmeInfo> CollectSmartNvmeInfo(const std::optional<std::string>& itemId,
                                                                         const Kvr::CancellationToken& token);
    Kvr::DatatypeItemList<Datatypes::SmartStaticInfo> CollectSmartStaticInfo(
        const std::optional<std::string>& itemId, const Kvr::CancellationToken& token);
    Kvr::DatatypeItemList<Datatypes::NvmeIdentifyControllerData> CollectNvmeIdentifyControllerData(
        const std::optional<std::string>& itemId, const Kvr::CancellationToken& token);

    // The collection methods, for the host to find by name.
    static constexpr auto CollectionMethods()
    {
        using Self = StorageCollectorPlugin;
        return std::array{
            Kvr::MakeCollectionMethod<&Self::CollectPhysicalDiskDynamicInfo>("CollectPhysicalDiskDynamicInfo"),
            Kvr::MakeCollectionMethod<&Self::CollectPhysicalDiskStaticInfo>("CollectPhysicalDiskStaticInfo"),
            Kvr::MakeCollectionMethod<&Self::CollectSmartDynamicInfo>("CollectSmartDynamicInfo"),
            Kvr::MakeCollectionMethod<&Self::CollectSmartNvmeInfo>("CollectSmartNvmeInfo"),
            Kvr::MakeCollectionMethod<&Self::CollectSmartStaticInfo>("CollectSmartStaticInfo"),
            Kvr::MakeCollectionMethod<&Self::CollectNvmeIdentifyControllerData>("CollectNvmeIdentifyControllerData"),
        };
    }

private:
    // Created in this order, each with the base's Log, and kept for the plug-in's life.
    std::unique_ptr<PhysicalDiskDynamicInfoRetriever> m_PhysicalDiskDynamicInfoRetriever;
    std::unique_ptr<PhysicalDiskStaticInfoRetriever> m_PhysicalDiskStaticInfoRetriever;
    std::unique_ptr<SmartDynamicInfoRetriever> m_SmartDynamicInfoRetriever;
    std::unique_ptr<SmartNvmeInfoRetriever> m_SmartNvmeInfoRetriever;
    std::unique_ptr<SmartStaticInfoRetriever> m_SmartStaticInfoRetriever;
    std::unique_ptr<NvmeIdentifyControllerDataRetriever> m_NvmeIdentifyControllerDataRetriever;
};

}  // namespace Talvex::Quorlin::Plugins
