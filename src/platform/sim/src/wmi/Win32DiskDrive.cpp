// Win32_DiskDrive: one row per disk, as the disk drive provider reports it.
// Like the provider, Size is the capacity of the whole cylinders of the
// disk's made-up geometry (255 heads, 63 sectors per track), a little less
// than the true capacity.
#include "Common.h"
#include "DerivedClasses.h"

namespace sim::wmi {

using platform::CimType;

const std::vector<PropertyType>& Win32DiskDriveProperties()
{
    static const std::vector<PropertyType> properties = {
        {L"BytesPerSector", CimType::Uint32},
        {L"Capabilities", CimType::Uint16, true},
        {L"CapabilityDescriptions", CimType::String, true},
        {L"Caption", CimType::String},
        {L"ConfigManagerErrorCode", CimType::Uint32},
        {L"Description", CimType::String},
        {L"DeviceID", CimType::String},
        {L"FirmwareRevision", CimType::String},
        {L"Index", CimType::Uint32},
        {L"InterfaceType", CimType::String},
        {L"Manufacturer", CimType::String},
        {L"MediaLoaded", CimType::Boolean},
        {L"MediaType", CimType::String},
        {L"Model", CimType::String},
        {L"Name", CimType::String},
        {L"Partitions", CimType::Uint32},
        {L"PNPDeviceID", CimType::String},
        {L"SectorsPerTrack", CimType::Uint32},
        {L"SerialNumber", CimType::String},
        {L"Size", CimType::Uint64},
        {L"Status", CimType::String},
        {L"TotalCylinders", CimType::Uint64},
        {L"TotalHeads", CimType::Uint32},
        {L"TotalSectors", CimType::Uint64},
        {L"TotalTracks", CimType::Uint64},
        {L"TracksPerCylinder", CimType::Uint32},
    };
    return properties;
}

std::vector<platform::WmiInstance> Win32DiskDriveRows(const MachineDescription& machine)
{
    constexpr std::uint64_t heads = 255;
    constexpr std::uint64_t sectorsPerTrack = 63;
    std::vector<platform::WmiInstance> rows;
    for (const DiskDescription& disk : machine.disks) {
        const std::uint64_t sectorSize = disk.bytesPerSector == 0 ? 512 : disk.bytesPerSector;
        const std::uint64_t cylinders = disk.sizeBytes / (heads * sectorsPerTrack * sectorSize);
        const std::wstring deviceId = L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(disk.number);
        RowBuilder row(Win32DiskDriveProperties());
        row.Unsigned(L"BytesPerSector", disk.bytesPerSector)
            .Array(L"Capabilities", {std::uint64_t{3}, std::uint64_t{4}})
            .Array(L"CapabilityDescriptions", {std::wstring(L"Random Access"), std::wstring(L"Supports Writing")})
            .Text(L"Caption", Wide(disk.model))
            .Unsigned(L"ConfigManagerErrorCode", 0)
            .Text(L"Description", L"Disk drive")
            .Text(L"DeviceID", deviceId)
            .Text(L"FirmwareRevision", Wide(disk.firmware))
            .Unsigned(L"Index", disk.number)
            .Text(L"InterfaceType", Wide(disk.interfaceType))
            .Text(L"Manufacturer", L"(Standard disk drives)")
            .Flag(L"MediaLoaded", true)
            .Text(L"MediaType", L"Fixed hard disk media")
            .Text(L"Model", Wide(disk.model))
            .Text(L"Name", deviceId)
            .Unsigned(L"Partitions", 0)  // until the description has partitions
            .Text(L"PNPDeviceID", Wide(disk.pnpDeviceId))
            .Unsigned(L"SectorsPerTrack", sectorsPerTrack)
            .Text(L"SerialNumber", Wide(disk.serial))
            .Unsigned(L"Size", cylinders * heads * sectorsPerTrack * sectorSize)
            .Text(L"Status", L"OK")
            .Unsigned(L"TotalCylinders", cylinders)
            .Unsigned(L"TotalHeads", heads)
            .Unsigned(L"TotalSectors", cylinders * heads * sectorsPerTrack)
            .Unsigned(L"TotalTracks", cylinders * heads)
            .Unsigned(L"TracksPerCylinder", heads);
        rows.push_back(row.Take());
    }
    return rows;
}

}  // namespace sim::wmi
