#include "WmiRows.h"

#include <cstring>

#include "platform/Layouts.h"

namespace live::wmi {

using platform::CimType;
using platform::WmiScalar;
using platform::WmiValue;

namespace {

constexpr std::uint64_t kTracksPerCylinder = 255;
constexpr std::uint64_t kSectorsPerTrack = 63;
constexpr std::uint16_t kMediaUnspecified = 0;
constexpr std::uint16_t kMediaHdd = 3;
constexpr std::uint16_t kMediaSsd = 4;

void PutArray(platform::WmiInstance& row, const wchar_t* name, CimType type, std::vector<WmiScalar> values)
{
    row.Set(name, WmiValue::Array(type, std::move(values)));
}

std::wstring InterfaceType(const DiskEntry& disk)
{
    switch (disk.BusType) {
    case BusTypeSata:
    case BusTypeAta: return L"IDE";
    case BusTypeUsb: return L"USB";
    default: return L"SCSI";
    }
}

// SMART READ DATA through the disk's own ATA pass-through, allow-list and all.
bool ReadSmartData(platform::Device& device, std::uint8_t sector[512])
{
    ATA_PASS_THROUGH_DIRECT block;
    std::memset(&block, 0, sizeof(block));
    block.Length = sizeof(block);
    block.AtaFlags = ATA_FLAGS_DRDY_REQUIRED | ATA_FLAGS_DATA_IN;
    block.DataTransferLength = 512;
    block.TimeOutValue = 10;
    block.DataBuffer = sector;
    const UCHAR taskFile[8] = {0xD0, 1, 0, 0x4F, 0xC2, 0, 0xB0, 0};
    std::memcpy(block.CurrentTaskFile, taskFile, sizeof(taskFile));
    const platform::IoResult result =
        device.Control({IOCTL_ATA_PASS_THROUGH_DIRECT, &block, sizeof(block), &block, sizeof(block)});
    return result.error == ERROR_SUCCESS && (block.CurrentTaskFile[6] & 0x01) == 0;
}

std::vector<WmiScalar> Bytes(const std::uint8_t* sector, std::size_t from, std::size_t to)
{
    std::vector<WmiScalar> bytes;
    for (std::size_t i = from; i < to; ++i) bytes.emplace_back(std::uint64_t{sector[i]});
    return bytes;
}

}  // namespace

std::wstring Wide(const std::string& text)
{
    // sysfs texts are ASCII in practice; other bytes pass as Latin-1.
    std::wstring wide;
    for (char c : text) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return wide;
}

void Put(platform::WmiInstance& row, const wchar_t* name, CimType type, std::uint64_t value)
{
    row.Set(name, WmiValue::Scalar(type, value));
}

void Put(platform::WmiInstance& row, const wchar_t* name, const std::wstring& text)
{
    row.Set(name, WmiValue::Scalar(CimType::String, text));
}

void PutFlag(platform::WmiInstance& row, const wchar_t* name, bool value)
{
    row.Set(name, WmiValue::Scalar(CimType::Boolean, value));
}

std::vector<platform::WmiInstance> Win32DiskDrive(const std::vector<DiskEntry>& disks)
{
    std::vector<platform::WmiInstance> rows;
    for (const DiskEntry& disk : disks) {
        const std::uint64_t bytesPerSector = disk.LogicalBlockSize;
        const std::uint64_t cylinders = disk.SizeBytes() / (kTracksPerCylinder * kSectorsPerTrack * bytesPerSector);
        const std::uint64_t tracks = cylinders * kTracksPerCylinder;
        const std::uint64_t sectors = tracks * kSectorsPerTrack;
        const std::wstring deviceId = L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(disk.Number);
        platform::WmiInstance row;
        Put(row, L"BytesPerSector", CimType::Uint32, bytesPerSector);
        PutArray(row, L"Capabilities", CimType::Uint16, {std::uint64_t{3}, std::uint64_t{4}});
        PutArray(row, L"CapabilityDescriptions", CimType::String,
                 {std::wstring(L"Random Access"), std::wstring(L"Supports Writing")});
        Put(row, L"Caption", Wide(disk.Model));
        Put(row, L"ConfigManagerErrorCode", CimType::Uint32, 0);
        Put(row, L"Description", L"Disk drive");
        Put(row, L"DeviceID", deviceId);
        Put(row, L"FirmwareRevision", Wide(disk.Firmware));
        Put(row, L"Index", CimType::Uint32, disk.Number);
        Put(row, L"InterfaceType", InterfaceType(disk));
        Put(row, L"Manufacturer", L"(Standard disk drives)");
        PutFlag(row, L"MediaLoaded", true);
        Put(row, L"MediaType", disk.Removable ? L"Removable Media" : L"Fixed hard disk media");
        Put(row, L"Model", Wide(disk.Model));
        Put(row, L"Name", deviceId);
        Put(row, L"Partitions", CimType::Uint32, disk.Partitions.size());
        Put(row, L"PNPDeviceID", Wide(disk.InstanceId));
        Put(row, L"SectorsPerTrack", CimType::Uint32, kSectorsPerTrack);
        Put(row, L"SerialNumber", Wide(disk.Serial));
        Put(row, L"Size", CimType::Uint64, sectors * bytesPerSector);
        Put(row, L"Status", L"OK");
        Put(row, L"TotalCylinders", CimType::Uint64, cylinders);
        Put(row, L"TotalHeads", CimType::Uint32, kTracksPerCylinder);
        Put(row, L"TotalSectors", CimType::Uint64, sectors);
        Put(row, L"TotalTracks", CimType::Uint64, tracks);
        Put(row, L"TracksPerCylinder", CimType::Uint32, kTracksPerCylinder);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::uint32_t MediaTypeOf(const DiskEntry& disk)
{
    if (disk.Kind == DiskKind::Nvme) return kMediaSsd;
    if (disk.Kind != DiskKind::Scsi || disk.BusType == BusTypeUsb) return kMediaUnspecified;
    if (!disk.Rotational) return kMediaSsd;
    return disk.Ata ? kMediaHdd : kMediaUnspecified;
}

std::vector<platform::WmiInstance> MsftPhysicalDisk(const std::vector<DiskEntry>& disks)
{
    std::vector<platform::WmiInstance> rows;
    for (const DiskEntry& disk : disks) {
        std::uint64_t allocated = 0;
        for (const auto& partition : disk.Partitions) allocated += partition.Sectors * 512;
        const bool partitioned = !disk.Partitions.empty();
        platform::WmiInstance row;
        Put(row, L"AllocatedSize", CimType::Uint64, allocated);
        Put(row, L"BusType", CimType::Uint16, disk.BusType);
        PutArray(row, L"CannotPoolReason", CimType::Uint16,
                 partitioned ? std::vector<WmiScalar>{std::uint64_t{7}} : std::vector<WmiScalar>{});
        PutFlag(row, L"CanPool", !partitioned);
        row.Set(L"Description", WmiValue::Null(CimType::String));
        Put(row, L"DeviceId", std::to_wstring(disk.Number));
        Put(row, L"FirmwareVersion", Wide(disk.Firmware));
        Put(row, L"FriendlyName", Wide(disk.Model));
        Put(row, L"HealthStatus", CimType::Uint16, 0);
        PutFlag(row, L"IsPartial", true);
        Put(row, L"LogicalSectorSize", CimType::Uint64, disk.LogicalBlockSize);
        if (disk.Vendor.empty())
            row.Set(L"Manufacturer", WmiValue::Null(CimType::String));
        else
            Put(row, L"Manufacturer", Wide(disk.Vendor));
        Put(row, L"MediaType", CimType::Uint16, MediaTypeOf(disk));
        Put(row, L"Model", Wide(disk.Model));
        PutArray(row, L"OperationalStatus", CimType::Uint16, {std::uint64_t{2}});
        Put(row, L"SerialNumber", Wide(disk.Serial));
        Put(row, L"Size", CimType::Uint64, disk.SizeBytes());
        Put(row, L"UniqueId", Wide(disk.Serial.empty() ? disk.InstanceId : disk.Serial));
        Put(row, L"Usage", CimType::Uint16, 1);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<platform::WmiInstance> AtapiSmartData(const std::vector<DiskEntry>& disks, const DiskOpener& open)
{
    std::vector<platform::WmiInstance> rows;
    for (const DiskEntry& disk : disks) {
        if (!disk.Ata) continue;
        const std::shared_ptr<platform::Device> device = open(disk);
        std::uint8_t s[512] = {};
        if (!device || !ReadSmartData(*device, s)) continue;
        // The fields after the 30 attribute entries, at their sector offsets.
        platform::WmiInstance row;
        PutFlag(row, L"Active", true);
        Put(row, L"Checksum", CimType::Uint8, s[511]);
        Put(row, L"ErrorLogCapability", CimType::Uint8, s[370]);
        Put(row, L"ExtendedPollTimeInMinutes", CimType::Uint8, s[373]);
        Put(row, L"InstanceName", Wide(disk.InstanceId) + L"_0");
        Put(row, L"Length", CimType::Uint32, 512);
        Put(row, L"OfflineCollectCapability", CimType::Uint8, s[367]);
        Put(row, L"OfflineCollectionStatus", CimType::Uint8, s[362]);
        PutArray(row, L"Reserved", CimType::Uint8, Bytes(s, 374, 385));
        Put(row, L"SelfTestStatus", CimType::Uint8, s[363]);
        Put(row, L"ShortPollTimeInMinutes", CimType::Uint8, s[372]);
        Put(row, L"SmartCapability", CimType::Uint16, static_cast<std::uint64_t>(s[368] | s[369] << 8));
        Put(row, L"TotalTime", CimType::Uint16, static_cast<std::uint64_t>(s[364] | s[365] << 8));
        PutArray(row, L"VendorSpecific", CimType::Uint8, Bytes(s, 0, 512));
        Put(row, L"VendorSpecific2", CimType::Uint8, s[366]);
        Put(row, L"VendorSpecific3", CimType::Uint8, s[371]);
        PutArray(row, L"VendorSpecific4", CimType::Uint8, Bytes(s, 386, 511));
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace live::wmi
