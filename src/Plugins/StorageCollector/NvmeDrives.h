// What both NVMe data getters share: the walk over the drives the device query
// library reports on an NVMe or RAID bus, the shared owners that release its
// objects, and the item id of a drive.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CommonCLI/HostText.h"
#include "StorageHelper.h"
#include "stordex/Nvme.h"

namespace Talvex::Quorlin::Plugins::NvmeDataGetter::Drives {

using talvex::stordex::StorageBusType;

// Shared owners hand whatever they hold to SXDelete(), null included.
template <class T>
inline std::shared_ptr<T> Owned(T* object)
{
    return std::shared_ptr<T>(object, SXDelete);
}

inline bool Qualifies(StorageBusType busType) { return busType == StorageBusType::Nvme || busType == StorageBusType::RAID; }

// Every drive number whose bit is set in the library's mask and whose bus is
// NVMe or RAID, in ascending order.
template <class Visit>
void ForEachNvmeDrive(Visit visit)
{
    for (std::uint32_t mask = SXGetPhysicalDrives(), drive = 0; mask != 0; mask >>= 1, ++drive) {
        if ((mask & 1U) != 0 && Qualifies(SXQueryStorageBusType(drive))) visit(drive);
    }
}

inline std::string ItemId(const std::vector<DiskDeviceInfo>& devices, std::uint32_t drive)
{
    return "Disk_" + Cpp::Common::MarshalToHostText(StorageHelper::findDeviceId(devices, drive).pnpDeviceId);
}

}  // namespace Talvex::Quorlin::Plugins::NvmeDataGetter::Drives
