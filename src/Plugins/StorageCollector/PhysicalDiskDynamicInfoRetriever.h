// Collects the performance figures of each physical disk as PhysicalDiskDynamicInfo messages.
// Not built yet: every collection reports that it is not supported.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "IStorageRetriever.h"
#include "kvr/IKvrLog.h"
#include "physical_disk_dynamic_info.pb.h"

namespace Talvex::Quorlin::Plugins {

class PhysicalDiskDynamicInfoRetriever final : public IStorageRetriever<Datatypes::PhysicalDiskDynamicInfo> {
public:
    // Only keeps the log; nothing is read before the first collection.
    explicit PhysicalDiskDynamicInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log);

    Kvr::DatatypeItemList<Datatypes::PhysicalDiskDynamicInfo> CollectData(const std::optional<std::string>& itemId) override;

private:
    std::shared_ptr<Kvr::IKvrLog> m_Log;
};

}  // namespace Talvex::Quorlin::Plugins
