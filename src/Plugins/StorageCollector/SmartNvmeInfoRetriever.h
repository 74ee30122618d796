// Collects the health information of each NVMe drive as SmartNvmeInfo messages.
// Not built yet: every collection reports that it is not supported.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "IStorageRetriever.h"
#include "kvr/IKvrLog.h"
#include "smart_nvme_info.pb.h"

namespace Talvex::Quorlin::Plugins {

class SmartNvmeInfoRetriever final : public IStorageRetriever<Datatypes::SmartNvmeInfo> {
public:
    // Only keeps the log; nothing is read before the first collection.
    explicit SmartNvmeInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log);

    Kvr::DatatypeItemList<Datatypes::SmartNvmeInfo> CollectData(const std::optional<std::string>& itemId) override;

private:
    std::shared_ptr<Kvr::IKvrLog> m_Log;
};

}  // namespace Talvex::Quorlin::Plugins
