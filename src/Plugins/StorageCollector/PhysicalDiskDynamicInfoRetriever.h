// Collects the performance figures of each physical disk as
// PhysicalDiskDynamicInfo messages: time percentages and throughput from the
// formatted disk counters in WMI, and the amounts read and written so far from
// one lettered volume of the disk.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "IStorageRetriever.h"
#include "ItemTable.h"
#include "kvr/IKvrLog.h"
#include "physical_disk_dynamic_info.pb.h"

namespace Talvex::Quorlin::Plugins {

class PhysicalDiskDynamicInfoRetriever final : public IStorageRetriever<Datatypes::PhysicalDiskDynamicInfo> {
public:
    // Only keeps the log; nothing is read before the first collection.
    explicit PhysicalDiskDynamicInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log);

    // Takes no lock: every call has its own WMI connection and providers.
    // An empty list (never no list) when there are no disks or the counters
    // cannot be queried.
    Kvr::DatatypeItemList<Datatypes::PhysicalDiskDynamicInfo> CollectData(const std::optional<std::string>& itemId) override;

    // One message per counter row that names a disk with a lettered volume,
    // keyed by the disk's item id; a row that cannot be used is logged and
    // skipped. No table when the counters or the drive list cannot be
    // queried (logged). A second disk with the same item id raises
    // Kvr::ArgumentException.
    std::optional<ItemTable<Datatypes::PhysicalDiskDynamicInfo>> GetDynamicDiskData();

    // A copy in which A to Z become a to z; every other byte is kept.
    static std::string getLower(const std::string& text);

private:
    std::shared_ptr<Kvr::IKvrLog> m_Log;
};

}  // namespace Talvex::Quorlin::Plugins
