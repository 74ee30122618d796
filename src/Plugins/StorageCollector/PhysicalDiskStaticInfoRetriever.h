// Collects the fixed description of each physical disk (name, model, size,
// media type, piece-part identifier, GUID and partitions) as
// PhysicalDiskStaticInfo messages, joining the media types WMI's storage
// namespace reports, the native disk records and the drive list.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Common/HardwareAccess.h"
#include "IStorageRetriever.h"
#include "ItemTable.h"
#include "kvr/IKvrLog.h"
#include "physical_disk_static_info.pb.h"

namespace Talvex::Quorlin::Plugins {

// (disk number, media type) in MSFT_PhysicalDisk row order, one pair per disk number.
using MediaTypeList = std::vector<std::pair<std::uint32_t, Cpp::Common::HardwareAccessLib::DiskDriveMediaType>>;

// The media types MSFT_PhysicalDisk reports. A row that cannot be read (a
// DeviceId that is no number, a disk number seen before) is logged and
// skipped; when the query itself fails the error is logged and the list is
// empty, so that every disk then has an unknown media type. Never raises a
// native error.
MediaTypeList fetchMediaType(Kvr::IKvrLog& log);

class PhysicalDiskStaticInfoRetriever final : public IStorageRetriever<Datatypes::PhysicalDiskStaticInfo> {
public:
    // Only keeps the log; nothing is read before the first collection.
    explicit PhysicalDiskStaticInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log);

    // Runs one collection at a time: a call waits while another one runs.
    // No list when no disk was found, whatever the item id.
    Kvr::DatatypeItemList<Datatypes::PhysicalDiskStaticInfo> CollectData(const std::optional<std::string>& itemId) override;

    // One message per disk, keyed and ordered as the disks were enumerated.
    // Catches nothing: a failure of the drive list, the disk enumeration or a
    // text conversion ends the retrieval, and a second disk with the same item
    // id raises Kvr::ArgumentException.
    ItemTable<Datatypes::PhysicalDiskStaticInfo> GetStaticDiskData();

private:
    std::mutex m_lockObject;
    std::shared_ptr<Kvr::IKvrLog> m_Log;
};

}  // namespace Talvex::Quorlin::Plugins
