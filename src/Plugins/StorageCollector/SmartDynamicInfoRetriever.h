// Collects the SMART attributes of each disk, the drive's own answers merged
// with the SMART data WMI publishes, as SmartDynamicInfo messages keyed by the
// disk's item id.
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

    // No list when no disk was found; an empty list after a not-supported
    // error, which is logged here. Every other failure goes to the item handler.
    Kvr::DatatypeItemList<Datatypes::SmartDynamicInfo> CollectData(const std::optional<std::string>& itemId) override;

private:
    std::shared_ptr<Kvr::IKvrLog> m_Log;
};

}  // namespace Talvex::Quorlin::Plugins
