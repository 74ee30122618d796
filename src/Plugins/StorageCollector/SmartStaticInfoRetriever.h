// Collects the SMART identity of each disk (SMART name, model, piece-part
// identifier) as SmartStaticInfo messages keyed by the disk's item id.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "IStorageRetriever.h"
#include "kvr/IKvrLog.h"
#include "smart_static_info.pb.h"

namespace Talvex::Quorlin::Plugins {

class SmartStaticInfoRetriever final : public IStorageRetriever<Datatypes::SmartStaticInfo> {
public:
    // Only keeps the log; nothing is read before the first collection.
    explicit SmartStaticInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log);

    // No list when no disk was found. Catches nothing: the item handler
    // turns every failure into what the host receives.
    Kvr::DatatypeItemList<Datatypes::SmartStaticInfo> CollectData(const std::optional<std::string>& itemId) override;

private:
    std::shared_ptr<Kvr::IKvrLog> m_Log;
};

}  // namespace Talvex::Quorlin::Plugins
