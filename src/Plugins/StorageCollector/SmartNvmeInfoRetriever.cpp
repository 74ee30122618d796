#include "SmartNvmeInfoRetriever.h"

#include <utility>

#include "kvr/Exceptions.h"

namespace Talvex::Quorlin::Plugins {

SmartNvmeInfoRetriever::SmartNvmeInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log) : m_Log(std::move(log)) {}

Kvr::DatatypeItemList<Datatypes::SmartNvmeInfo> SmartNvmeInfoRetriever::CollectData(const std::optional<std::string>&) {
    throw Kvr::NotSupportedException("SmartNvmeInfo collection is not available yet");
}

}  // namespace Talvex::Quorlin::Plugins
