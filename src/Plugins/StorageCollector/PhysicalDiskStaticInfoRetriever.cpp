#include "PhysicalDiskStaticInfoRetriever.h"

#include <utility>

#include "kvr/Exceptions.h"

namespace Talvex::Quorlin::Plugins {

PhysicalDiskStaticInfoRetriever::PhysicalDiskStaticInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log) : m_Log(std::move(log)) {}

Kvr::DatatypeItemList<Datatypes::PhysicalDiskStaticInfo> PhysicalDiskStaticInfoRetriever::CollectData(const std::optional<std::string>&) {
    throw Kvr::NotSupportedException("PhysicalDiskStaticInfo collection is not available yet");
}

}  // namespace Talvex::Quorlin::Plugins
