#include "Common/SmartDataFetcher.h"

#include <algorithm>
#include <cstring>

#include "DeviceHandles.h"
#include "DroppedFailures.h"
#include "PassThrough.h"
#include "failure_reporting/Result.h"
#include "platform/Layouts.h"

namespace Talvex::Quorlin::Cpp::Common {

namespace {

using HardwareAccessLib::BasicDiskInfo;
using HardwareAccessLib::DiskDriveMediaType;

constexpr std::size_t kSectorBytes = detail::kAtaSectorBytes;

// SMART sectors: a 2-byte revision, then 12-byte entries. A data entry holds
// id, flags (2), current, worst, raw (6, little-endian), reserved; a
// threshold entry id, threshold, reserved (10).
constexpr std::size_t kFirstEntry = 2;
constexpr std::size_t kEntryBytes = 12;
constexpr std::size_t kAttributeEntries = 30;
constexpr std::size_t kCurrentOffset = 3;
constexpr std::size_t kWorstOffset = 4;
constexpr std::size_t kRawOffset = 5;
constexpr std::size_t kRawBytes = 6;
constexpr std::size_t kThresholdOffset = 1;

constexpr std::uint8_t kSmartReadData = 0xD0;
constexpr std::uint8_t kSmartReadThresholds = 0xD1;
constexpr std::size_t kFeatureByte = 4;

// ATA PASS-THROUGH(16) of SMART: PIO data-in, one 512-byte block from the
// device, the SMART signature in LBA mid/high, the feature filled in per read.
constexpr UCHAR kSmartCdbTemplate[16] = {0x85, 0x08, 0x0E, 0, 0, 0, 0x01, 0, 0, 0, 0x4F, 0, 0xC2, 0, 0xB0, 0};

// Buses that carry SMART: SCSI, ATA, RAID, iSCSI, SAS, SATA, NVMe.
constexpr std::uint32_t kSmartCapableBuses = 0x20F0A;
constexpr std::uint32_t kBusTypeLimit = 18;

// IDENTIFY DEVICE words that mark a solid-state drive.
constexpr std::size_t kNominalRotationRateWord = 217;
constexpr std::uint16_t kNonRotatingMedium = 1;
constexpr std::uint16_t kCompactFlashSignature = 0x848A;
constexpr std::size_t kCommandSetsWord = 83;
constexpr std::uint16_t kCompactFlashFeatureSet = 0x0004;

std::uint16_t Word(const std::uint8_t* sector, std::size_t word) noexcept
{
    return static_cast<std::uint16_t>(sector[2 * word] | (sector[2 * word + 1] << 8));
}

std::uint64_t RawValue(const std::uint8_t* entry) noexcept
{
    std::uint64_t raw = 0;
    for (std::size_t i = kRawBytes; i-- > 0;) raw = (raw << 8) | entry[kRawOffset + i];
    return raw;
}

// Power-on hours, head flying hours and spin-up time keep vendor data in
// their upper raw bytes; only the low 32 bits count.
bool KeepsLow32Bits(std::uint8_t id) noexcept { return id == 9 || id == 240 || id == 3; }

}  // namespace

SmartDataFetcher::~SmartDataFetcher() = default;

bool SmartDataFetcher::ReadSmartSector(const std::wstring& path, std::uint8_t feature, std::uint8_t data[512])
{
    detail::ScopedDeviceHandle device(detail::OpenForPassThrough(*this, path));
    std::memset(data, 0, kSectorBytes);
    UCHAR cdb[sizeof(kSmartCdbTemplate)];
    std::memcpy(cdb, kSmartCdbTemplate, sizeof(cdb));
    cdb[kFeatureByte] = feature;
    detail::ScsiRequest request = detail::MakeScsiRequest(cdb, sizeof(cdb), kSectorBytes, data);
    detail::Send(*this, device.Get(), request);
    if ((request.Block.ScsiStatus & detail::kScsiStatusCheckCondition) != 0) return false;
    return detail::AnyNonZero(data, kSectorBytes);
}

bool SmartDataFetcher::ReadSmartData(const std::wstring& path, std::uint8_t data[512])
{
    return ReadSmartSector(path, kSmartReadData, data);
}

bool SmartDataFetcher::ReadSmartThresholds(const std::wstring& path, std::uint8_t data[512])
{
    return ReadSmartSector(path, kSmartReadThresholds, data);
}

void SmartDataFetcher::ParseSmartAttributes(SmartDataCollection& collection, const std::uint8_t data[512]) noexcept
{
    for (std::size_t k = 0; k < kAttributeEntries; ++k) {
        const std::uint8_t* entry = data + kFirstEntry + kEntryBytes * k;
        const SmartAttributeEntry* known = FindSmartAttribute(entry[0]);
        if (known == nullptr) continue;
        SmartAttributeDetailMisc& attribute = collection.*(known->Field);
        if (known->Id == kSmartTemperatureId) {
            // Degrees Celsius in the first raw byte; the rest holds vendor
            // extremes, and the normalised values mean nothing here.
            attribute.RawValue = entry[kRawOffset];
            continue;
        }
        const std::uint64_t raw = RawValue(entry);
        attribute.RawValue = KeepsLow32Bits(known->Id) ? raw & 0xFFFFFFFFu : raw;
        attribute.Normal = entry[kCurrentOffset];
        attribute.Worst = entry[kWorstOffset];
    }
}

void SmartDataFetcher::ParseSmartThresholds(SmartDataCollection& collection, const std::uint8_t data[512]) noexcept
{
    // The entries run on past the 30th into the vendor area; stop at the
    // first empty one or before one that would pass the sector's end.
    for (std::size_t at = kFirstEntry; at + kEntryBytes <= kSectorBytes; at += kEntryBytes) {
        const std::uint8_t id = data[at];
        if (id == 0) break;
        const SmartAttributeEntry* known = FindSmartAttribute(id);
        if (known == nullptr || known->Id == kSmartTemperatureId) continue;
        (collection.*(known->Field)).Threshold = data[at + kThresholdOffset];
    }
}

bool SmartDataFetcher::TryReadSmartAttributes(const std::wstring& path, SmartDataCollection& collection) noexcept
{
    bool read = false;
    detail::RunDroppingFailures([&] {
        if (!ProbeScsiInquiry(path)) return;
        std::uint8_t data[kSectorBytes] = {};
        if (!ReadSmartData(path, data)) return;
        ParseSmartAttributes(collection, data);
        read = true;
    });
    return read;
}

bool SmartDataFetcher::IsSmartCapableBus(const std::wstring& path)
{
    detail::ScopedDeviceHandle device(detail::OpenForPassThrough(*this, path));
    STORAGE_PROPERTY_QUERY query;
    std::memset(&query, 0, sizeof(query));
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;

    // The header says how large the whole descriptor is.
    STORAGE_DESCRIPTOR_HEADER header;
    std::memset(&header, 0, sizeof(header));
    DWORD returned = 0;
    if (!SendIoControl(device.Get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), &header, sizeof(header),
                       &returned, nullptr))
        RAISE_LAST_ERROR();

    // Never less than the fixed part, so that BusType can be read whatever Size said.
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(header.Size, sizeof(STORAGE_DEVICE_DESCRIPTOR)), 0);
    if (!SendIoControl(device.Get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), buffer.data(), header.Size,
                       &returned, nullptr))
        RAISE_LAST_ERROR();
    STORAGE_DEVICE_DESCRIPTOR descriptor;
    std::memcpy(&descriptor, buffer.data(), sizeof(descriptor));
    const auto bus = static_cast<std::uint32_t>(descriptor.BusType);
    return bus < kBusTypeLimit && ((kSmartCapableBuses >> bus) & 1u) != 0;
}

bool SmartDataFetcher::IsSsd(const BasicDiskInfo& disk, const SmartDataCollection& collection) noexcept
{
    // Only solid-state drives count wear.
    if (collection.WearLevelingCount.RawValue.has_value()) return true;
    if (collection.ModelName.has_value() &&
        (collection.ModelName->find("SSD") != std::string::npos ||
         collection.ModelName->find("NVMe") != std::string::npos))
        return true;
    if (disk.MediaType == DiskDriveMediaType::SSD) return true;

    bool solidState = false;
    detail::RunDroppingFailures([&] {
        std::uint8_t identify[kSectorBytes] = {};
        if (!AtaIdentifyDevice(disk.PhysicalDrivePath, identify) &&
            !SatIdentifyDevice(disk.PhysicalDrivePath, identify))
            return;
        solidState = Word(identify, kNominalRotationRateWord) == kNonRotatingMedium ||
                     Word(identify, 0) == kCompactFlashSignature ||
                     (Word(identify, kCommandSetsWord) & kCompactFlashFeatureSet) != 0;
    });
    return solidState;
}

SmartDataCollection SmartDataFetcher::GetSmartInformation(const BasicDiskInfo& disk,
                                                          const std::vector<std::uint8_t>& vendorSpecific)
{
    SmartDataCollection collection;
    collection.DeviceNumber = disk.DeviceNumber;
    // A failure ends the sequence where it happens; what was filled so far is
    // the answer. Only the threshold request and the texts can fail here.
    detail::RunDroppingFailures([&] {
        if (TryReadSmartAttributes(disk.PhysicalDrivePath, collection)) {
            std::uint8_t thresholds[kSectorBytes] = {};
            if (ReadSmartThresholds(disk.PhysicalDrivePath, thresholds)) ParseSmartThresholds(collection, thresholds);
        }
        if (!vendorSpecific.empty()) {
            // WMI's values replace the drive's attribute by attribute.
            std::uint8_t data[kSectorBytes] = {};
            std::copy_n(vendorSpecific.begin(), std::min(vendorSpecific.size(), kSectorBytes), data);
            ParseSmartAttributes(collection, data);
        }
        if (std::string eppid = GetEppid(disk.PhysicalDrivePath); !eppid.empty()) collection.Eppid = std::move(eppid);
        if (std::string model = GetModelNumber(disk.PhysicalDrivePath); !model.empty())
            collection.ModelName = std::move(model);
        collection.Name = IsSsd(disk, collection) ? "SSD" : "SMART" + std::to_string(collection.DeviceNumber);
    });
    return collection;
}

std::vector<SmartDataCollection> SmartDataFetcher::GetAllSmartInformation(const MediaTypes& mediaTypes)
{
    std::vector<SmartDataCollection> collections;
    const bool complete = detail::RunDroppingFailures([&] {
        const std::vector<BasicDiskInfo> disks = GetAllBasicDiskInfo(mediaTypes);
        if (disks.empty()) RAISE_HR(E_UNEXPECTED);
        for (const BasicDiskInfo& disk : disks)
            if (IsSmartCapableBus(disk.PhysicalDrivePath)) collections.push_back(GetSmartInformation(disk, {}));
    });
    if (!complete) collections.clear();
    return collections;
}

}  // namespace Talvex::Quorlin::Cpp::Common
