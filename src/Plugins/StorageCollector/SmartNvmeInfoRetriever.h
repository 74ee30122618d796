// Collects the health information of each NVMe drive, and of each NVMe drive
// behind a RAID controller, as SmartNvmeInfo messages: the standard health
// log and, where the drive has it, the maker's customized health data.
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

    // A standard exception while the drives are read is logged and gives an
    // empty list, as does a machine without NVMe data; a duplicate item id
    // and an unknown requested id are raised.
    Kvr::DatatypeItemList<Datatypes::SmartNvmeInfo> CollectData(const std::optional<std::string>& itemId) override;

private:
    std::shared_ptr<Kvr::IKvrLog> m_Log;
};

}  // namespace Talvex::Quorlin::Plugins
