#include "PhysicalDiskDynamicInfoRetriever.h"

#include <chrono>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "Common/PhysicalDiskInfoProvider.h"
#include "Common/Utilities.h"
#include "Common/WmiCommonLib.h"
#include "CommonCLI/HostText.h"
#include "DecimalText.h"
#include "StorageHelper.h"

namespace Talvex::Quorlin::Plugins {

namespace {

using Cpp::Common::MarshalToHostText;
using Cpp::Common::NativeDescription;
using Datatypes::PhysicalDiskDynamicInfo;

constexpr std::string_view kSourceFile = "src/Plugins/StorageCollector/PhysicalDiskDynamicInfoRetriever";
constexpr std::string_view kGetDynamicDiskDataFunction =
    "Talvex::Quorlin::Plugins::PhysicalDiskDynamicInfoRetriever::GetDynamicDiskData";
constexpr std::string_view kCollectDataFunction =
    "Talvex::Quorlin::Plugins::PhysicalDiskDynamicInfoRetriever::CollectData";

// A counter row that names no disk: the error's description is the name.
[[noreturn]] void InvalidName(const std::string& lowerName) { throw std::invalid_argument(lowerName); }

}  // namespace

PhysicalDiskDynamicInfoRetriever::PhysicalDiskDynamicInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log)
    : m_Log(std::move(log))
{
}

std::string PhysicalDiskDynamicInfoRetriever::getLower(const std::string& text)
{
    return Cpp::Common::GetLower(text);
}

std::optional<ItemTable<PhysicalDiskDynamicInfo>> PhysicalDiskDynamicInfoRetriever::GetDynamicDiskData()
{
    try {
        Cpp::Common::WmiCommonLib wmi(L"SELECT * FROM Win32_PerfFormattedData_PerfDisk_PhysicalDisk", 2);
        const std::vector<DiskDeviceInfo> devices = StorageHelper::getDeviceInfo();
        ItemTable<PhysicalDiskDynamicInfo> table;
        for (; !wmi.IsEnd(); wmi.Next()) {
            // Only native errors are the row's own; anything else (a text the
            // host cannot take, an item id seen before) ends the collection.
            try {
                // Rows are named by disk number and drive letters ("0 C:",
                // "1 D: E:"), plus one summary row "_Total".
                const std::string name = getLower(wmi.GetStringByField(L"Name"));
                if (name.find("_total") != std::string::npos) InvalidName(name);

                PhysicalDiskDynamicInfo message;
                message.mutable_idle_time_percentage()->set_value(
                    DecimalText::ToUInt64(wmi.GetStringByField(L"PercentIdleTime")));
                message.mutable_read_time_percentage()->set_value(
                    DecimalText::ToUInt64(wmi.GetStringByField(L"PercentDiskReadTime")));
                message.mutable_write_time_percentage()->set_value(
                    DecimalText::ToUInt64(wmi.GetStringByField(L"PercentDiskWriteTime")));
                message.mutable_byte_read_per_sec_in_mb()->set_value(
                    DecimalText::ToUInt64(wmi.GetStringByField(L"DiskReadBytesPersec")) >> 20);
                message.mutable_byte_write_per_sec_in_mb()->set_value(
                    DecimalText::ToUInt64(wmi.GetStringByField(L"DiskWriteBytesPersec")) >> 20);

                // The transferred amounts come from the disk's last lettered volume.
                const std::size_t colon = name.rfind(':');
                if (colon == std::string::npos || colon == 0) InvalidName(name);
                const std::string driveLetter = name.substr(colon - 1, 1);
                std::int64_t megaBytesRead = 0;
                std::int64_t megaBytesWritten = 0;
                Cpp::Common::PhysicalDiskInfoProvider().GetMegaBytesTransferred(driveLetter, megaBytesRead,
                                                                                megaBytesWritten);
                m_Log->Trace("name: " + MarshalToHostText(driveLetter) + ", mega_bytes_read: " +
                                 std::to_string(megaBytesRead) + ", bytes_write: " + std::to_string(megaBytesWritten),
                             __LINE__, kSourceFile, kGetDynamicDiskDataFunction);
                message.mutable_byte_read_in_mb()->set_value(megaBytesRead);
                message.mutable_byte_write_in_mb()->set_value(megaBytesWritten);

                const std::size_t blank = name.find(' ');
                if (blank == std::string::npos || blank == 0) InvalidName(name);
                const std::uint32_t diskNumber = DecimalText::ToUInt32(name.substr(0, blank));

                const DiskDeviceInfo device = StorageHelper::findDeviceId(devices, diskNumber);
                table.Add("Disk_" + MarshalToHostText(device.pnpDeviceId), std::move(message));
            } catch (const std::invalid_argument& error) {
                m_Log->Warning("GetDynamicDiskData: the \"" + NativeDescription(error) +
                                   "\" name is invalid, skipping to the next one.",
                               __LINE__, kSourceFile, kGetDynamicDiskDataFunction);
            } catch (const std::exception& error) {
                m_Log->Error("GetDynamicDiskData: skipped as an exception was raised (" + NativeDescription(error) +
                                 ").",
                             __LINE__, kSourceFile, kGetDynamicDiskDataFunction);
            }
        }
        return table;
    } catch (const std::exception& error) {
        m_Log->Error("GetDynamicDiskData: error when reaching info via WMI : " + NativeDescription(error), __LINE__,
                     kSourceFile, kGetDynamicDiskDataFunction);
        return std::nullopt;
    }
}

Kvr::DatatypeItemList<PhysicalDiskDynamicInfo> PhysicalDiskDynamicInfoRetriever::CollectData(
    const std::optional<std::string>& itemId)
{
    const Kvr::CollectionTime time = std::chrono::system_clock::now();
    const std::optional<ItemTable<PhysicalDiskDynamicInfo>> table = GetDynamicDiskData();

    std::vector<Kvr::DatatypeItem<PhysicalDiskDynamicInfo>> items;
    // Counters that cannot be queried count as a machine without disk
    // counters: no items rather than a failed collection, whatever the item id,
    // as the failure is already in the log and the host would only log it again.
    if (table) {
        if (AsksForAllItems(itemId)) {
            items = table->AllItems(time);
        } else {
            m_Log->Trace("Specific data for PhysicalDiskDynamicInfoRetriever, itemId : " + *itemId, __LINE__,
                         kSourceFile, kCollectDataFunction);
            items = table->OneItem(*itemId, time);
        }
    }
    m_Log->Trace("Got total info for PhysicalDiskDynamicInfoRetriever: " + std::to_string(items.size()), __LINE__,
                 kSourceFile, kCollectDataFunction);
    return items;
}

}  // namespace Talvex::Quorlin::Plugins
