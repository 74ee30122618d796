#include "SmartStaticInfoRetriever.h"

#include <utility>

#include "kvr/Exceptions.h"

namespace Talvex::Quorlin::Plugins {

SmartStaticInfoRetriever::SmartStaticInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log) : m_Log(std::move(log)) {}

Kvr::DatatypeItemList<Datatypes::SmartStaticInfo> SmartStaticInfoRetriever::CollectData(const std::optional<std::string>&) {
    throw Kvr::NotSupportedException("SmartStaticInfo collection is not available yet");
}

}  // namespace Talvex::Quorlin::Plugins
