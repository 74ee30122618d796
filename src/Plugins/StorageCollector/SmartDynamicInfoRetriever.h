// Collects the SMART attributes of each disk as SmartDynamicInfo messages.
// Not built yet: every collection reports that it is not supported.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "IStorageRetriever.h"
#include "kvr/IKvrLog.h"
#include "smart_dynamic_info.pb.h"

namespace Talvex::Quorlin::Plugins {

class SmartDynamicInfoRetriever final : public IStorageRetriever<Datatypes::SmartDynamicInfo> {
public:
    // Only keeps the log; nothing is read before the first collection.
    explicit SmartDynamicInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log);

    Kvr::DatatypeItemList<Datatypes::SmartDynamicInfo> CollectData(const std::optional<std::string>& itemId) override;

private:
    std::shared_ptr<Kvr::IKvrLog> m_Log;
};

}  // namespace Talvex::Quorlin::Plugins
