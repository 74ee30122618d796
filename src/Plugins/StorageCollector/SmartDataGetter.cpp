#include "SmartDataGetter.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "Common/SmartDataProvider.h"
#include "Common/Utilities.h"
#include "Common/WmiCommonLib.h"
#include "CommonCLI/HostText.h"
#include "StorageHelper.h"

namespace Talvex::Quorlin::Plugins::SmartDataGetter {

namespace {

using Cpp::Common::HostTextFromAnsi;
using Cpp::Common::SmartAttributeDetailMisc;
using Cpp::Common::SmartDataCollection;

constexpr unsigned short kRootWmi = 1;
constexpr unsigned short kRootCimv2 = 2;

// The host names a disk by its PNP device id; a disk without a drive-list
// record is "Disk_" alone.
std::string ItemIdOf(const std::vector<DiskDeviceInfo>& devices, std::uint32_t deviceNumber)
{
    const DiskDeviceInfo record = StorageHelper::findDeviceId(devices, deviceNumber);
    return "Disk_" + Cpp::Common::MarshalToHostText(record.pnpDeviceId);
}

// The message field of each attribute of the table, found by the name the
// host knows it under, which is the table's name for it.
const google::protobuf::FieldDescriptor& AttributeField(std::string_view name)
{
    const google::protobuf::Descriptor* message = Datatypes::SmartDynamicInfo::descriptor();
    for (int i = 0; i < message->field_count(); ++i) {
        const google::protobuf::FieldDescriptor* field = message->field(i);
        if (field->json_name() == name) return *field;
    }
    throw std::logic_error("SmartDynamicInfo has no field " + std::string(name));
}

}  // namespace

// ---------------------------------------------------------------- SmartStaticInfo

DiskModels EnumDiskModels()
{
    DiskModels models;
    try {
        Cpp::Common::WmiCommonLib wmi(L"SELECT * FROM Win32_DiskDrive", kRootCimv2);
        while (!wmi.IsEnd()) {
            try {
                std::string model = wmi.GetStringByField(L"Model");
                const std::uint32_t index = wmi.GetUint32ByField(L"Index");
                models.emplace_back(index, std::move(model));
            } catch (const std::exception&) {
                // This row only; the others may be fine.
            }
            wmi.Next();
        }
    } catch (const std::exception&) {
        // Without WMI only the models the drives report appear.
        models.clear();
    }
    return models;
}

std::optional<std::string> getModelNameByIndex(std::uint32_t index, DiskModels& models)
{
    const auto found = std::find_if(models.begin(), models.end(), [index](const auto& m) { return m.first == index; });
    if (found == models.end()) return std::nullopt;
    return found->second;
}

template <>
Datatypes::SmartStaticInfo parseCacheToIMessage(const SmartDataCollection& collection)
{
    Datatypes::SmartStaticInfo message;
    message.set_name(HostTextFromAnsi(collection.Name.c_str()));
    if (collection.ModelName) message.set_model_name(HostTextFromAnsi(collection.ModelName->c_str()));
    if (collection.Eppid) message.set_eppid(HostTextFromAnsi(collection.Eppid->c_str()));
    return message;
}

ItemTable<Datatypes::SmartStaticInfo> GetStaticDiskData()
{
    Cpp::Common::SmartDataProvider provider;
    const auto disks = provider.GetAllBasicDiskInfo({});
    const std::vector<DiskDeviceInfo> devices = StorageHelper::getDeviceInfo();
    DiskModels models = EnumDiskModels();
    ItemTable<Datatypes::SmartStaticInfo> table;
    for (const auto& disk : disks) {
        SmartDataCollection collection = provider.GetSmartInformation(disk, {});
        // The drive's own model wins; WMI's stands in when the drive gave none.
        if (!collection.ModelName) collection.ModelName = getModelNameByIndex(disk.DeviceNumber, models);
        Datatypes::SmartStaticInfo message = parseCacheToIMessage<Datatypes::SmartStaticInfo>(collection);
        table.Add(ItemIdOf(devices, disk.DeviceNumber), std::move(message));
    }
    return table;
}

// ---------------------------------------------------------------- SmartDynamicInfo

std::vector<WmiSmartDiskData> GetWmiSmartData()
{
    std::vector<WmiSmartDiskData> rows;
    try {
        Cpp::Common::WmiCommonLib wmi(L"SELECT * FROM MSStorageDriver_ATAPISmartData", kRootWmi);
        while (!wmi.IsEnd()) {
            try {
                WmiSmartDiskData row;
                row.VendorSpecific = wmi.GetUint8ArrayByField(L"VendorSpecific");
                row.InstanceName = wmi.GetWstringByField(L"InstanceName");
                rows.push_back(std::move(row));
            } catch (const std::exception&) {
                // This row only; the others may be fine.
            }
            wmi.Next();
        }
    } catch (const std::exception&) {
        // Without WMI the drives' own answers are all there is.
        rows.clear();
    }
    return rows;
}

std::vector<std::uint8_t> getSmartDataByPath(std::wstring instanceId, std::vector<WmiSmartDiskData>& rows)
{
    // WMI writes the instance id in letter case of its own and adds an
    // instance suffix, so the id is looked for inside the name, caselessly.
    const std::wstring wanted = Cpp::Common::GetLower<wchar_t>(instanceId);
    const auto found = std::find_if(rows.begin(), rows.end(), [&wanted](const WmiSmartDiskData& row) {
        return Cpp::Common::GetLower<wchar_t>(row.InstanceName).find(wanted) != std::wstring::npos;
    });
    if (found == rows.end()) return {};
    std::vector<std::uint8_t> bytes = found->VendorSpecific;
    rows.erase(found);
    return bytes;
}

std::optional<Datatypes::SmartAttributeDetail> toSmartAttributeDetail(const SmartAttributeDetailMisc& attribute)
{
    if (!attribute.RawValue && !attribute.Normal && !attribute.Worst && !attribute.Threshold) return std::nullopt;
    Datatypes::SmartAttributeDetail detail;
    if (attribute.RawValue) detail.mutable_raw_value()->set_value(*attribute.RawValue);
    if (attribute.Normal) detail.mutable_normal()->set_value(*attribute.Normal);
    if (attribute.Worst) detail.mutable_worst()->set_value(*attribute.Worst);
    if (attribute.Threshold) detail.mutable_threshold()->set_value(*attribute.Threshold);
    return detail;
}

template <>
Datatypes::SmartDynamicInfo parseCacheToIMessage(const SmartDataCollection& collection)
{
    Datatypes::SmartDynamicInfo message;
    message.set_name(HostTextFromAnsi(collection.Name.c_str()));
    const google::protobuf::Reflection* reflection = message.GetReflection();
    for (const auto& entry : Cpp::Common::kSmartAttributeTable) {
        if (auto detail = toSmartAttributeDetail(collection.*(entry.Field)))
            reflection->MutableMessage(&message, &AttributeField(entry.Name))->CopyFrom(*detail);
    }
    return message;
}

ItemTable<Datatypes::SmartDynamicInfo> GetDynamicDiskData()
{
    Cpp::Common::SmartDataProvider provider;
    const auto disks = provider.GetAllBasicDiskInfo({});
    const std::vector<DiskDeviceInfo> devices = StorageHelper::getDeviceInfo();
    std::vector<WmiSmartDiskData> rows = GetWmiSmartData();
    ItemTable<Datatypes::SmartDynamicInfo> table;
    for (const auto& disk : disks) {
        const std::vector<std::uint8_t> bytes = getSmartDataByPath(disk.InstanceId, rows);
        const SmartDataCollection collection = provider.GetSmartInformation(disk, bytes);
        std::string itemId = ItemIdOf(devices, disk.DeviceNumber);
        table.Add(std::move(itemId), parseCacheToIMessage<Datatypes::SmartDynamicInfo>(collection));
    }
    return table;
}

}  // namespace Talvex::Quorlin::Plugins::SmartDataGetter
