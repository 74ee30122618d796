// The sections of a machine description, one reader each, in a file of its own.
#pragma once

#include <optional>
#include <string>

#include "JsonReader.h"
#include "sim/MachineDescription.h"

namespace sim::load {

// "disks": the physical disks.
std::vector<DiskDescription> ReadDisks(const Node& node);
// "volumes": the lettered volumes, on partitions or network shares.
std::vector<VolumeModel> ReadVolumes(const Node& node);
// "interfaces": disk interfaces with nothing behind them.
std::vector<ExtraInterface> ReadInterfaces(const Node& node);
// "wmi": overrides of the WMI service, by namespace and class.
std::vector<WmiNamespaceOverride> ReadWmi(const Node& node);

// Parts of a disk, each read by a file of its own.
AtaDriveModel ReadAta(const Node& node, const DiskDescription& disk);
// What the "nvme" section says of the disk it sits behind, if it says it.
struct NvmeDiskKeys {
    std::optional<STORAGE_BUS_TYPE> busType;
    std::optional<DWORD> descriptorError;  // the disk's device descriptor query fails with it
};
NvmeDriveModel ReadNvme(const Node& node, const DiskDescription& disk, NvmeDiskKeys& diskKeys);
struct LayoutContext {
    std::uint64_t sizeBytes = 0;
    std::uint32_t bytesPerSector = 512;
    std::string seed;  // what the identifiers Windows would have made up are derived from
};
DriveLayout ReadLayout(const Node& node, const LayoutContext& disk);
DeviceFaults ReadFaults(const Node& node);

// Defaults derived from other keys.
DiskGeometry DefaultGeometry(std::uint64_t sizeBytes, DiskGeometry shape);  // whole cylinders of the shape
std::wstring DefaultInterfacePath(const std::string& pnpDeviceId);
std::wstring WmiLetterCase(const std::wstring& instanceId);
GUID DerivedGuid(const std::string& seed);

}  // namespace sim::load
