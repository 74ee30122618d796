#include "StorageCollectorPlugin.h"

#include <type_traits>

#include "CommonCLI/ExceptionSupport.h"
#include "IStorageRetriever.h"
#include "NvmeIdentifyControllerDataRetriever.h"
#include "PhysicalDiskDynamicInfoRetriever.h"
#include "PhysicalDiskStaticInfoRetriever.h"
#include "SmartDynamicInfoRetriever.h"
#include "SmartNvmeInfoRetriever.h"
#include "SmartStaticInfoRetriever.h"
#include "kvr/StorageCollectorInfo.h"

namespace Talvex::Quorlin::Plugins {

namespace {

using Cpp::Common::ItemHandler;
using Cpp::Common::ItemHandlerDelegate;
using Cpp::Common::NotSupportedExceptionBehaviour;

// Every collection method is this, applied to its own retriever.
template <class T, class R>
Kvr::DatatypeItemList<T> Collect(R& retriever, const std::optional<std::string>& itemId, Kvr::IKvrLog& log,
                                 const Kvr::CancellationToken& token)
{
    static_assert(std::is_base_of_v<IStorageRetriever<T>, R>);
    const ItemHandlerDelegate<Kvr::DatatypeItemList<T>> delegate =
        [&retriever](const std::optional<std::string>& id) { return retriever.CollectData(id); };
    return ItemHandler<Kvr::DatatypeItemList<T>>::ExecuteHandlingException(
        delegate, itemId, NotSupportedExceptionBehaviour::WrapInKvrException, log, token);
}

}  // namespace

// The registration text and the host's metadata must name the same plug-in.
static_assert(Kvr::Guid::Parse(StorageCollectorPlugin::Id) == Kvr::StorageCollectorInfo::Guid);

StorageCollectorPlugin::StorageCollectorPlugin(Kvr::IAgent& agent)
    : BaseCollectorPlugin(agent, LogId, Kvr::StorageCollectorInfo::Guid),
      m_PhysicalDiskDynamicInfoRetriever(std::make_unique<PhysicalDiskDynamicInfoRetriever>(Log)),
      m_PhysicalDiskStaticInfoRetriever(std::make_unique<PhysicalDiskStaticInfoRetriever>(Log)),
      m_SmartDynamicInfoRetriever(std::make_unique<SmartDynamicInfoRetriever>(Log)),
      m_SmartNvmeInfoRetriever(std::make_unique<SmartNvmeInfoRetriever>(Log)),
      m_SmartStaticInfoRetriever(std::make_unique<SmartStaticInfoRetriever>(Log)),
      m_NvmeIdentifyControllerDataRetriever(std::make_unique<NvmeIdentifyControllerDataRetriever>(Log)) {}

StorageCollectorPlugin::~StorageCollectorPlugin() = default;

Kvr::DatatypeItemList<Datatypes::PhysicalDiskDynamicInfo> StorageCollectorPlugin::CollectPhysicalDiskDynamicInfo(
    const std::optional<std::string>& itemId, const Kvr::CancellationToken& token)
{
    return Collect<Datatypes::PhysicalDiskDynamicInfo>(*m_PhysicalDiskDynamicInfoRetriever, itemId, *Log, token);
}

Kvr::DatatypeItemList<Datatypes::PhysicalDiskStaticInfo> StorageCollectorPlugin::CollectPhysicalDiskStaticInfo(
    const std::optional<std::string>& itemId, const Kvr::CancellationToken& token)
{
    return Collect<Datatypes::PhysicalDiskStaticInfo>(*m_PhysicalDiskStaticInfoRetriever, itemId, *Log, token);
}

Kvr::DatatypeItemList<Datatypes::SmartDynamicInfo> StorageCollectorPlugin::CollectSmartDynamicInfo(
    const std::optional<std::string>& itemId, const Kvr::CancellationToken& token)
{
    return Collect<Datatypes::SmartDynamicInfo>(*m_SmartDynamicInfoRetriever, itemId, *Log, token);
}

Kvr::DatatypeItemList<Datatypes::SmartNvmeInfo> StorageCollectorPlugin::CollectSmartNvmeInfo(
    const std::optional<std::string>& itemId, const Kvr::CancellationToken& token)
{
    return Collect<Datatypes::SmartNvmeInfo>(*m_SmartNvmeInfoRetriever, itemId, *Log, token);
}

Kvr::DatatypeItemList<Datatypes::SmartStaticInfo> StorageCollectorPlugin::CollectSmartStaticInfo(
    const std::optional<std::string>& itemId, const Kvr::CancellationToken& token)
{
    return Collect<Datatypes::SmartStaticInfo>(*m_SmartStaticInfoRetriever, itemId, *Log, token);
}

Kvr::DatatypeItemList<Datatypes::NvmeIdentifyControllerData>
StorageCollectorPlugin::CollectNvmeIdentifyControllerData(const std::optional<std::string>& itemId,
                                                          const Kvr::CancellationToken& token)
{
    return Collect<Datatypes::NvmeIdentifyControllerData>(*m_NvmeIdentifyControllerDataRetriever, itemId, *Log,
                                                          token);
}

}  // namespace Talvex::Quorlin::Plugins
