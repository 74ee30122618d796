// Win32_DiskDrive: one row per disk, as the disk drive provider reports it.
// Like the provider, Size is the capacity of the whole cylinders of the
// disk's geometry (by default made up of 255 heads and 63 sectors per track),
// a little less than the true capacity; Partitions counts the partitions the
// layout lists.
#include "Common.h"
#include "DerivedClasses.h"

namespace sim::wmi {

using platform::CimType;

namespace {

std::uint64_t PartitionCount(const DriveLayout& layout)
{
    std::uint64_t count = 0;
    for (const PartitionModel& partition : layout.partitions)
        if (partition.length != 0) ++count;
    return count;
}

}  // namespace

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
    std::vector<platform::WmiInstance> rows;
    for (const DiskDescription& disk : machine.disks) {
        const DiskGeometry& g = disk.hardware.geometry;
        const std::uint64_t cylinders = g.cylinders < 0 ? 0 : static_cast<std::uint64_t>(g.cylinders);
        const std::uint64_t tracks = cylinders * g.tracksPerCylinder;
        const std::uint64_t sectors = tracks * g.sectorsPerTrack;
        const std::wstring deviceId = L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(disk.number);
        RowBuilder row(Win32DiskDriveProperties());
        row.Unsigned(L"BytesPerSector", g.bytesPerSector)
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
            .Unsigned(L"Partitions", PartitionCount(disk.hardware.layout))
            .Text(L"PNPDeviceID", Wide(disk.pnpDeviceId))
            .Unsigned(L"SectorsPerTrack", g.sectorsPerTrack)
            .Text(L"SerialNumber", Wide(disk.serial))
            .Unsigned(L"Size", sectors * g.bytesPerSector)
            .Text(L"Status", L"OK")
            .Unsigned(L"TotalCylinders", cylinders)
            .Unsigned(L"TotalHeads", g.tracksPerCylinder)
            .Unsigned(L"TotalSectors", sectors)
            .Unsigned(L"TotalTracks", tracks)
            .Unsigned(L"TracksPerCylinder", g.tracksPerCylinder);
        rows.push_back(row.Take());
    }
    return rows;
}

}  // namespace sim::wmi
