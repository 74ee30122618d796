// MSFT_PhysicalDisk (root\microsoft\windows\storage): one row per disk, as
// the storage management provider reports it. DeviceId is the disk number as
// text; MediaType and BusType use the provider's codes (BusType numbers are
// those of STORAGE_BUS_TYPE); SpindleSpeed is the rotation rate of a hard
// disk, 0 for a solid-state one and 0xFFFFFFFF when the drive does not say.
#include "Common.h"
#include "DerivedClasses.h"

namespace sim::wmi {

using platform::CimType;

namespace {

constexpr std::uint16_t kHealthy = 0;
constexpr std::uint16_t kOperationalOk = 2;
constexpr std::uint16_t kUsageAutoSelect = 1;
constexpr std::uint16_t kInsufficientCapacity = 7;  // CannotPoolReason of a partitioned disk
constexpr std::uint32_t kUnknownSpeed = 0xFFFFFFFF;

std::uint32_t SpindleSpeed(const DiskDescription& disk)
{
    if (disk.mediaType == MediaType::Ssd || disk.mediaType == MediaType::Scm) return 0;
    if (!disk.hardware.ata) return kUnknownSpeed;
    const AtaIdentity& id = disk.hardware.ata->identity;
    const auto given = id.words.find(217);
    const std::uint16_t rotation = given != id.words.end() ? given->second : id.word217;
    return rotation > 1 && rotation < 0xFFFF ? rotation : kUnknownSpeed;
}

std::uint64_t Allocated(const DriveLayout& layout)
{
    std::uint64_t bytes = 0;
    for (const PartitionModel& partition : layout.partitions) bytes += partition.length;
    return bytes;
}

}  // namespace

const std::vector<PropertyType>& MsftPhysicalDiskProperties()
{
    static const std::vector<PropertyType> properties = {
        {L"AllocatedSize", CimType::Uint64},
        {L"BusType", CimType::Uint16},
        {L"CannotPoolReason", CimType::Uint16, true},
        {L"CanPool", CimType::Boolean},
        {L"Description", CimType::String},
        {L"DeviceId", CimType::String},
        {L"FirmwareVersion", CimType::String},
        {L"FriendlyName", CimType::String},
        {L"HealthStatus", CimType::Uint16},
        {L"IsPartial", CimType::Boolean},
        {L"LogicalSectorSize", CimType::Uint64},
        {L"Manufacturer", CimType::String},
        {L"MediaType", CimType::Uint16},
        {L"Model", CimType::String},
        {L"OperationalStatus", CimType::Uint16, true},
        {L"PhysicalSectorSize", CimType::Uint64},
        {L"SerialNumber", CimType::String},
        {L"Size", CimType::Uint64},
        {L"SpindleSpeed", CimType::Uint32},
        {L"UniqueId", CimType::String},
        {L"Usage", CimType::Uint16},
    };
    return properties;
}

std::vector<platform::WmiInstance> MsftPhysicalDiskRows(const MachineDescription& machine)
{
    std::vector<platform::WmiInstance> rows;
    for (const DiskDescription& disk : machine.disks) {
        const DiskModel& hw = disk.hardware;
        const bool partitioned = !hw.layout.partitions.empty();
        RowBuilder row(MsftPhysicalDiskProperties());
        row.Unsigned(L"AllocatedSize", Allocated(hw.layout))
            .Unsigned(L"BusType", static_cast<std::uint64_t>(hw.descriptor.busType))
            .Array(L"CannotPoolReason", partitioned ? std::vector<platform::WmiScalar>{std::uint64_t{kInsufficientCapacity}}
                                                    : std::vector<platform::WmiScalar>{})
            .Flag(L"CanPool", !partitioned)
            .Null(L"Description")
            .Text(L"DeviceId", std::to_wstring(disk.number))
            .Text(L"FirmwareVersion", Wide(disk.firmware))
            .Text(L"FriendlyName", Wide(disk.model))
            .Unsigned(L"HealthStatus", kHealthy)
            .Flag(L"IsPartial", true)
            .Unsigned(L"LogicalSectorSize", disk.bytesPerSector)
            .Unsigned(L"MediaType", static_cast<std::uint64_t>(disk.mediaType))
            .Text(L"Model", Wide(disk.model))
            .Array(L"OperationalStatus", {std::uint64_t{kOperationalOk}})
            .Unsigned(L"PhysicalSectorSize", 4096)
            .Text(L"SerialNumber", Wide(disk.serial))
            .Unsigned(L"Size", disk.sizeBytes)
            .Unsigned(L"SpindleSpeed", SpindleSpeed(disk))
            .Text(L"UniqueId", Wide(disk.serial.empty() ? disk.pnpDeviceId : disk.serial))
            .Unsigned(L"Usage", kUsageAutoSelect);
        if (hw.descriptor.vendor.empty())
            row.Null(L"Manufacturer");
        else
            row.Text(L"Manufacturer", Wide(hw.descriptor.vendor));
        rows.push_back(row.Take());
    }
    return rows;
}

}  // namespace sim::wmi
