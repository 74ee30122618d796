// Collects the fixed description of each physical disk as PhysicalDiskStaticInfo messages.
// Not built yet: every collection reports that it is not supported.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "IStorageRetriever.h"
#include "kvr/IKvrLog.h"
#include "physical_disk_static_info.pb.h"

namespace Talvex::Quorlin::Plugins {

class PhysicalDiskStaticInfoRetriever final : public IStorageRetriever<Datatypes::PhysicalDiskStaticInfo> {
public:
    // Only keeps the log; nothing is read before the first collection.
    explicit PhysicalDiskStaticInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log);

    Kvr::DatatypeItemList<Datatypes::PhysicalDiskStaticInfo> CollectData(const std::optional<std::string>& itemId) override;

private:
    std::shared_ptr<Kvr::IKvrLog> m_Log;
};

}  // namespace Talvex::Quorlin::Plugins
