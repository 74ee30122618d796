// The drive list: the disk drives WMI reports, which give every retriever the
// item id of a disk ("Disk_" followed by its PNP device id) from the disk's
// physical drive number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Talvex::Quorlin::Plugins {

// One Win32_DiskDrive row. The default record stands for a drive number
// that matches no row: index 0, empty texts.
struct DiskDeviceInfo {
    uint32_t index = 0;       // Index: the physical drive number
    std::string model;        // Model, UTF-8
    std::string pnpDeviceId;  // PNPDeviceID, UTF-8
};

namespace StorageHelper {

// The disk drives in WMI enumeration order. A row whose Index, Model or
// PNPDeviceID cannot be read is left out; a failure to connect, query or step
// is raised to the caller.
std::vector<DiskDeviceInfo> getDeviceInfo();

// A copy of the first record with the given drive number, or the default record.
DiskDeviceInfo findDeviceId(const std::vector<DiskDeviceInfo>& devices, uint32_t index);

}  // namespace StorageHelper

}  // namespace Talvex::Quorlin::Plugins
