// The disks of the running system as sysfs describes them: which block
// devices count as disks, the drive number each gets, and the identity
// (instance id, interface path) the Windows calls report for them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "live/Roots.h"

namespace live {

enum class DiskKind { Scsi,
                      Nvme,
                      Virtio,
                      Mmc };

struct PartitionEntry {
    std::string Name;  // sda1
    std::uint32_t Number = 0;
    std::uint64_t StartSector = 0;  // 512-byte units, as sysfs counts
    std::uint64_t Sectors = 0;
    std::string DeviceNumbers;  // "8:1"
};

struct DiskEntry {
    std::uint32_t Number = 0;  // \\.\PhysicalDriveN
    std::string Name;          // sda, nvme0n1
    DiskKind Kind = DiskKind::Scsi;
    std::uint32_t BusType = 0;  // STORAGE_BUS_TYPE
    bool Ata = false;           // behind libata: ATA commands reach the drive
    std::string Vendor;         // the storage descriptor's texts
    std::string Product;
    std::string Revision;
    std::string Serial;
    std::string Model;  // the drive's full model, where sysfs shortens Product
    std::string Firmware;
    std::uint64_t Sectors = 0;  // 512-byte units
    std::uint32_t LogicalBlockSize = 512;
    bool Rotational = false;
    bool Removable = false;
    bool CommandQueueing = false;
    std::string DeviceNumbers;  // "8:0"
    std::string DevicePath;     // where sysfs places the disk in the device tree
    std::string Controller;     // nvme0 for an NVMe namespace
    std::string InstanceId;
    std::string InterfacePath;
    std::vector<PartitionEntry> Partitions;

    std::uint64_t SizeBytes() const { return Sectors * 512; }
};

// The disks under the sysfs root in drive-number order: SCSI and SATA disks
// (sd*) first, then NVMe namespaces, virtio disks and MMC cards, each group in
// the natural order of the disks' places in the sysfs device tree (PCI
// address, port, target, namespace: ata2 before ata10).
std::vector<DiskEntry> ScanDisks(const Roots& roots);

// Natural order of kernel names: digit runs by value, letter runs shorter first.
bool NaturalLess(const std::string& a, const std::string& b);

// The device instance id: ENUMERATOR\DISK&VEN_vendor&PROD_product\serial,
// upper case, blanks and separators as '_'.
std::string InstanceIdOf(const DiskEntry& disk);

}  // namespace live
