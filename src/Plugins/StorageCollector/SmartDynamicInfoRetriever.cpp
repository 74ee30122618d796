#include "SmartDynamicInfoRetriever.h"

#include <utility>

#include "kvr/Exceptions.h"

namespace Talvex::Quorlin::Plugins {

SmartDynamicInfoRetriever::SmartDynamicInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log) : m_Log(std::move(log)) {}

Kvr::DatatypeItemList<Datatypes::SmartDynamicInfo> SmartDynamicInfoRetriever::CollectData(const std::optional<std::string>&) {
    throw Kvr::NotSupportedException("SmartDynamicInfo collection is not available yet");
}

}  // namespace Talvex::Quorlin::Plugins
