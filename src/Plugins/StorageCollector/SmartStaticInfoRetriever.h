// Collects the SMART identity of each disk as SmartStaticInfo messages.
// Not built yet: every collection reports that it is not supported.
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

    Kvr::DatatypeItemList<Datatypes::SmartStaticInfo> CollectData(const std::optional<std::string>& itemId) override;

private:
    std::shared_ptr<Kvr::IKvrLog> m_Log;
};

}  // namespace Talvex::Quorlin::Plugins
