// The WMI classes the live machine answers, built from the disk list when a
// query asks. Values carry the CIM types real WMI gives these properties.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DiskCatalog.h"
#include "DriveLetters.h"
#include "platform/Device.h"
#include "platform/WmiData.h"

namespace live::wmi {

// One text property of CIM type string.
std::wstring Wide(const std::string& text);

void Put(platform::WmiInstance& row, const wchar_t* name, platform::CimType type, std::uint64_t value);
void Put(platform::WmiInstance& row, const wchar_t* name, const std::wstring& text);
void PutFlag(platform::WmiInstance& row, const wchar_t* name, bool value);

// root\cimv2 Win32_DiskDrive: one row per disk in drive-number order.
std::vector<platform::WmiInstance> Win32DiskDrive(const std::vector<DiskEntry>& disks);

// root\microsoft\windows\storage MSFT_PhysicalDisk. MediaType 4 (SSD) for
// NVMe and for ATA or SCSI disks that say they do not rotate, 3 (HDD) for
// ATA disks that rotate, 0 (unspecified) where the kernel's rotational flag
// is only its default: virtio, MMC, USB bridges and SCSI disks that rotate.
std::vector<platform::WmiInstance> MsftPhysicalDisk(const std::vector<DiskEntry>& disks);
std::uint32_t MediaTypeOf(const DiskEntry& disk);

// root\WMI MSStorageDriver_ATAPISmartData: one row per ATA disk that answers
// SMART READ DATA through `open` (the disk's device, as CreateFileW opens it).
using DiskOpener = std::function<std::shared_ptr<platform::Device>(const DiskEntry&)>;
std::vector<platform::WmiInstance> AtapiSmartData(const std::vector<DiskEntry>& disks, const DiskOpener& open);

}  // namespace live::wmi
