// NVMe data of the physical drives, read through the device query library and
// turned into the messages the host receives: the Identify Controller data and
// the health information, each keyed by the item id of its drive.
//
// Only drives on an NVMe bus, or behind a RAID controller, are asked. Every
// object the library hands out is held in a shared owner that releases it with
// SXDelete(), so it goes exactly once, also when a conversion fails.
#pragma once

#include <cstdint>
#include <optional>

#include "ItemTable.h"
#include "nvme_identify_controller_data.pb.h"
#include "smart_nvme_info.pb.h"
#include "stordex/IdentifyControllerData.h"

namespace Talvex::Quorlin::Plugins::NvmeDataGetter {

// One message per qualifying drive whose Identify Controller data the library
// gives, in ascending drive number, keyed by "Disk_" and the drive's PNP
// device id. A standard exception from the drive list, the library or the
// conversion is raised; so is Kvr::ArgumentException when two drives resolve
// to the same item id.
ItemTable<Datatypes::NvmeIdentifyControllerData> GetIdentifyControllerData();

// The message of one library object; none when `data` is null. Raises what an
// accessor raises, after releasing the vendor-specific object.
std::optional<Datatypes::NvmeIdentifyControllerData> toIdentifyControllerData(
    const talvex::stordex::nvme::IIdentifyControllerData* data);

// One message per qualifying drive whose health log the library gives, with
// the customized health data where the drive has it; ordered and keyed, and
// failing, as GetIdentifyControllerData().
ItemTable<Datatypes::SmartNvmeInfo> GetNvmeHealthData();

// The library marks a temperature that is not valid with -273; the host gets
// 0 for it. Every other value passes unchanged.
std::int32_t ToValidTemperature(std::int32_t value);

}  // namespace Talvex::Quorlin::Plugins::NvmeDataGetter
