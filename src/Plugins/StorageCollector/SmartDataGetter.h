// The conversion functions of the two SMART retrievers: the disks' SMART
// pictures read through SmartDataProvider, the WMI sources joined to them
// (the SMART data sectors WMI publishes, the disk models it reports), and the
// messages made of them, in tables keyed by item id.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Common/SmartDataCollection.h"
#include "ItemTable.h"
#include "smart_dynamic_info.pb.h"
#include "smart_static_info.pb.h"

namespace Talvex::Quorlin::Plugins {

// One MSStorageDriver_ATAPISmartData row.
struct WmiSmartDiskData {
    std::wstring InstanceName;                 // contains the disk's device instance id
    std::vector<std::uint8_t> VendorSpecific;  // the drive's SMART data sector
};

namespace SmartDataGetter {

using DiskModels = std::vector<std::pair<std::uint32_t, std::string>>;  // (Index, Model in UTF-8)

// ---- SmartStaticInfo

// One message per disk, in disk order; a failure ends the collection.
ItemTable<Datatypes::SmartStaticInfo> GetStaticDiskData();
// (Index, Model) of each readable Win32_DiskDrive row; empty when WMI fails.
DiskModels EnumDiskModels();
// The model of the first row with this index, or none.
std::optional<std::string> getModelNameByIndex(std::uint32_t index, DiskModels& models);

// ---- SmartDynamicInfo

// One message per disk, in disk order; a failure ends the collection.
ItemTable<Datatypes::SmartDynamicInfo> GetDynamicDiskData();
// Every readable MSStorageDriver_ATAPISmartData row; empty when WMI fails.
std::vector<WmiSmartDiskData> GetWmiSmartData();
// The sector of the first row whose InstanceName contains `instanceId`, both
// lower-cased; that row is taken out of `rows`, so it serves one disk only.
// Empty when no row matches.
std::vector<std::uint8_t> getSmartDataByPath(std::wstring instanceId, std::vector<WmiSmartDiskData>& rows);
// None when the attribute has no value at all, so that its field stays absent.
std::optional<Datatypes::SmartAttributeDetail> toSmartAttributeDetail(
    const Cpp::Common::SmartAttributeDetailMisc& attribute);

// ---- both

// The message of one collection, for either SMART message type.
template <class Message>
Message parseCacheToIMessage(const Cpp::Common::SmartDataCollection& collection);
template <>
Datatypes::SmartStaticInfo parseCacheToIMessage(const Cpp::Common::SmartDataCollection& collection);
template <>
Datatypes::SmartDynamicInfo parseCacheToIMessage(const Cpp::Common::SmartDataCollection& collection);

}  // namespace SmartDataGetter

}  // namespace Talvex::Quorlin::Plugins
