#include "PhysicalDiskDynamicInfoRetriever.h"

#include <utility>

#include "kvr/Exceptions.h"

namespace Talvex::Quorlin::Plugins {

PhysicalDiskDynamicInfoRetriever::PhysicalDiskDynamicInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log) : m_Log(std::move(log)) {}

Kvr::DatatypeItemList<Datatypes::PhysicalDiskDynamicInfo> PhysicalDiskDynamicInfoRetriever::CollectData(const std::optional<std::string>&) {
    throw Kvr::NotSupportedException("PhysicalDiskDynamicInfo collection is not available yet");
}

}  // namespace Talvex::Quorlin::Plugins
