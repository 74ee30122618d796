#include "NvmeIdentifyControllerDataRetriever.h"

#include <utility>

#include "kvr/Exceptions.h"

namespace Talvex::Quorlin::Plugins {

NvmeIdentifyControllerDataRetriever::NvmeIdentifyControllerDataRetriever(std::shared_ptr<Kvr::IKvrLog> log) : m_Log(std::move(log)) {}

Kvr::DatatypeItemList<Datatypes::NvmeIdentifyControllerData> NvmeIdentifyControllerDataRetriever::CollectData(const std::optional<std::string>&) {
    throw Kvr::NotSupportedException("NvmeIdentifyControllerData collection is not available yet");
}

}  // namespace Talvex::Quorlin::Plugins
