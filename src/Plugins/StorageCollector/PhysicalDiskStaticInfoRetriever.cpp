#include "PhysicalDiskStaticInfoRetriever.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <stdexcept>
#include <string_view>

#include "Common/PhysicalDiskInfo.h"
#include "Common/PhysicalDiskInfoProvider.h"
#include "Common/WmiCommonLib.h"
#include "CommonCLI/HostText.h"
#include "DecimalText.h"
#include "StorageHelper.h"

namespace Talvex::Quorlin::Plugins {

namespace {

using Cpp::Common::MarshalToHostText;
using Cpp::Common::NativeDescription;
using Cpp::Common::PhysicalDiskInfo;
using Cpp::Common::PhysicalDiskInfoProvider;
using Cpp::Common::HardwareAccessLib::DiskDriveMediaType;
using Datatypes::PhysicalDiskPartitionInfo;
using Datatypes::PhysicalDiskStaticInfo;

constexpr std::string_view kSourceFile = "src/Plugins/StorageCollector/PhysicalDiskStaticInfoRetriever";
constexpr std::string_view kFetchMediaTypeFunction = "Talvex::Quorlin::Plugins::fetchMediaType";
constexpr std::string_view kGetStaticDiskDataFunction =
    "Talvex::Quorlin::Plugins::PhysicalDiskStaticInfoRetriever::GetStaticDiskData";
constexpr std::string_view kCollectDataFunction =
    "Talvex::Quorlin::Plugins::PhysicalDiskStaticInfoRetriever::CollectData";

// `Type` and the second capability by media type; any code other than the
// three known ones reads as unknown.
PhysicalDiskStaticInfo::DiskType DiskTypeOf(DiskDriveMediaType mediaType)
{
    switch (mediaType) {
    case DiskDriveMediaType::HDD: return PhysicalDiskStaticInfo::DISK_TYPE_HDD;
    case DiskDriveMediaType::SSD: return PhysicalDiskStaticInfo::DISK_TYPE_SSD;
    case DiskDriveMediaType::SCM: return PhysicalDiskStaticInfo::DISK_TYPE_SCM;
    default: return PhysicalDiskStaticInfo::DISK_TYPE_UNKNOWN;
    }
}

const char* CapabilityOf(DiskDriveMediaType mediaType)
{
    switch (mediaType) {
    case DiskDriveMediaType::HDD: return "HDD";
    case DiskDriveMediaType::SSD: return "SSD";
    case DiskDriveMediaType::SCM: return "SCM";
    default: return "Unknown";
    }
}

PhysicalDiskStaticInfo MakeMessage(const PhysicalDiskInfo& disk, const DiskDeviceInfo& device,
                                   const std::string& itemId)
{
    PhysicalDiskStaticInfo message;
    message.set_name(MarshalToHostText(disk.Name));
    message.set_description("Storage");
    // The drive list's model stands in when the drive did not tell its own
    // (it is empty when the drive list has no record of this disk either).
    message.set_make_model(MarshalToHostText(disk.MakeModel ? *disk.MakeModel : device.model));
    message.mutable_size()->set_value(disk.Size);
    message.set_type(DiskTypeOf(disk.MediaType));
    message.add_capability("HardDrive");
    message.add_capability(CapabilityOf(disk.MediaType));
    message.set_device_instance_id(itemId);
    message.set_eppid(disk.Eppid ? MarshalToHostText(*disk.Eppid) : std::string());
    message.set_guid(MarshalToHostText(disk.Guid));
    for (const auto& partition : disk.Partitions) {
        PhysicalDiskPartitionInfo& entry = *message.add_partitions();
        entry.set_name(MarshalToHostText(partition.Name));
        entry.mutable_size()->set_value(partition.Size);
        entry.mutable_index()->set_value(partition.Index);
        entry.set_guid(MarshalToHostText(partition.Guid));
    }
    return message;
}

}  // namespace

MediaTypeList fetchMediaType(Kvr::IKvrLog& log)
{
    MediaTypeList mediaTypes;
    try {
        Cpp::Common::WmiCommonLib wmi(L"SELECT * FROM MSFT_PhysicalDisk", 5);
        for (; !wmi.IsEnd(); wmi.Next()) {
            try {
                const std::string deviceId = wmi.GetStringByField(L"DeviceId");
                const std::uint32_t diskNumber = DecimalText::ToUInt32(deviceId);
                const bool seen = std::any_of(mediaTypes.begin(), mediaTypes.end(),
                                              [diskNumber](const auto& pair) { return pair.first == diskNumber; });
                // The first row of a disk number stands; a later one is refused.
                if (seen) throw std::invalid_argument("Invalid device id : " + deviceId);

                DiskDriveMediaType mediaType = DiskDriveMediaType::Unknown;
                switch (wmi.GetUint32ByField(L"MediaType")) {
                case 3:
                    log.Debug("GetDynamicDiskData: HardwareAccessLib::DiskDriveMediaType::HDD", __LINE__, kSourceFile,
                              kFetchMediaTypeFunction);
                    mediaType = DiskDriveMediaType::HDD;
                    break;
                case 4:
                    log.Debug("GetDynamicDiskData: HardwareAccessLib::DiskDriveMediaType::SSD", __LINE__, kSourceFile,
                              kFetchMediaTypeFunction);
                    mediaType = DiskDriveMediaType::SSD;
                    break;
                case 5:
                    log.Debug("GetDynamicDiskData: HardwareAccessLib::DiskDriveMediaType::SCM", __LINE__, kSourceFile,
                              kFetchMediaTypeFunction);
                    mediaType = DiskDriveMediaType::SCM;
                    break;
                default: break;
                }
                mediaTypes.emplace_back(diskNumber, mediaType);
            } catch (const std::exception& error) {
                log.Error("GetDynamicDiskData::fetchMediaType: skipped, read next: " + NativeDescription(error),
                          __LINE__, kSourceFile, kFetchMediaTypeFunction);
            }
        }
    } catch (const std::exception& error) {
        // Without media types the disks are still listed, each as unknown media.
        log.Error("GetStaticDiskData::fetchMediaType: error when reaching info via WMI : " + NativeDescription(error),
                  __LINE__, kSourceFile, kFetchMediaTypeFunction);
        return {};
    }
    return mediaTypes;
}

PhysicalDiskStaticInfoRetriever::PhysicalDiskStaticInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log)
    : m_Log(std::move(log))
{
}

ItemTable<PhysicalDiskStaticInfo> PhysicalDiskStaticInfoRetriever::GetStaticDiskData()
{
    ItemTable<PhysicalDiskStaticInfo> table;
    const std::vector<DiskDeviceInfo> devices = StorageHelper::getDeviceInfo();
    const MediaTypeList mediaTypes = fetchMediaType(*m_Log);
    PhysicalDiskInfoProvider provider;
    for (const auto& basic : provider.GetAllBasicDiskInfo(mediaTypes)) {
        const PhysicalDiskInfo disk = provider.GetPhysicalDiskInfo(basic);
        const DiskDeviceInfo device = StorageHelper::findDeviceId(devices, disk.DiskNumber);
        const std::string itemId = "Disk_" + MarshalToHostText(device.pnpDeviceId);
        PhysicalDiskStaticInfo message = MakeMessage(disk, device, itemId);
        m_Log->Debug("got disk index: '" + std::to_string(disk.DiskNumber) + "', name: '" + message.name() + "'",
                     __LINE__, kSourceFile, kGetStaticDiskDataFunction);
        table.Add(itemId, std::move(message));
    }
    return table;
}

Kvr::DatatypeItemList<PhysicalDiskStaticInfo> PhysicalDiskStaticInfoRetriever::CollectData(
    const std::optional<std::string>& itemId)
{
    // Held for the whole collection, failures included: two static
    // collections never read the disks at the same time.
    const std::lock_guard<std::mutex> lock(m_lockObject);
    const Kvr::CollectionTime time = std::chrono::system_clock::now();
    const ItemTable<PhysicalDiskStaticInfo> table = GetStaticDiskData();
    if (table.Empty()) {
        m_Log->Debug("No disk data been reached out", __LINE__, kSourceFile, kCollectDataFunction);
        return std::nullopt;
    }

    std::vector<Kvr::DatatypeItem<PhysicalDiskStaticInfo>> items;
    if (AsksForAllItems(itemId)) {
        items = table.AllItems(time);
    } else {
        m_Log->Trace("Specific data for PhysicalDiskStaticInfoCollector, itemId : " + *itemId, __LINE__, kSourceFile,
                     kCollectDataFunction);
        items = table.OneItem(*itemId, time);
    }
    m_Log->Trace("Got total info for PhysicalDiskStaticInfoCollector: " + std::to_string(items.size()), __LINE__,
                 kSourceFile, kCollectDataFunction);
    return items;
}

}  // namespace Talvex::Quorlin::Plugins
