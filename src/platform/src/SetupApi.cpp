// SetupAPI device information sets over the machine's device interfaces.
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

#include "ObjectTable.h"
#include "platform/Machine.h"
#include "platform/WideText.h"
#include "platform/Win32.h"

namespace {

using Interfaces = std::vector<platform::DeviceInterfaceRecord>;

// Every call on a set looks it up by handle and gets a copy of it: the list is
// shared, so that a lookup costs the same however many disks the machine has.
struct DeviceSet {
    GUID interfaceClass{};
    std::shared_ptr<const Interfaces> interfaces = std::make_shared<const Interfaces>();
};

platform::ObjectTable<DeviceSet>& Sets()
{
    static platform::ObjectTable<DeviceSet> sets(0x20000000, platform::Resource::DeviceInfoSet);
    return sets;
}

// The disk drive setup class, which every listed device belongs to.
constexpr GUID kDiskDriveClass{0x4D36E967, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr DEVPROPKEY kInstanceIdKey{{0x78C34FC8, 0x104A, 0x4ACA, {0x9E, 0xA4, 0x52, 0x4D, 0x52, 0x99, 0x6E, 0x57}}, 256};
constexpr DWORD kInterfaceActive = 0x1;

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// Interface and device data carry the index of their entry, plus one, in Reserved.
const platform::DeviceInterfaceRecord* EntryOf(const DeviceSet& set, ULONG_PTR reserved)
{
    if (reserved == 0 || reserved > set.interfaces->size()) return nullptr;
    return &(*set.interfaces)[reserved - 1];
}

DWORD UnitBytes(const std::wstring& text)
{
    return static_cast<DWORD>((platform::UnitLength(text) + 1) * sizeof(WCHAR));
}

}  // namespace

HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, PCWSTR, HWND, DWORD flags)
{
    if (classGuid == nullptr && (flags & DIGCF_ALLCLASSES) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    DeviceSet set;
    if (classGuid != nullptr && (flags & DIGCF_DEVICEINTERFACE) != 0) {
        set.interfaceClass = *classGuid;
        set.interfaces = platform::CurrentMachine().SharedDeviceInterfaces(*classGuid);
    }
    SetLastError(ERROR_SUCCESS);
    return Sets().Add(std::move(set));
}

BOOL SetupDiEnumDeviceInterfaces(HDEVINFO handle, PSP_DEVINFO_DATA, const GUID* interfaceClass, DWORD index,
                                 PSP_DEVICE_INTERFACE_DATA data)
{
    const auto set = Sets().Find(handle);
    if (!set) return Fail(ERROR_INVALID_HANDLE);
    if (data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
    if (interfaceClass == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (!(*interfaceClass == set->interfaceClass) || index >= set->interfaces->size())
        return Fail(ERROR_NO_MORE_ITEMS);
    data->InterfaceClassGuid = *interfaceClass;
    data->Flags = kInterfaceActive;
    data->Reserved = static_cast<ULONG_PTR>(index) + 1;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO handle, PSP_DEVICE_INTERFACE_DATA data,
                                      PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail, DWORD detailSize,
                                      PDWORD requiredSize, PSP_DEVINFO_DATA device)
{
    const auto set = Sets().Find(handle);
    if (!set) return Fail(ERROR_INVALID_HANDLE);
    const auto* entry = data != nullptr ? EntryOf(*set, data->Reserved) : nullptr;
    if (entry == nullptr) return Fail(ERROR_INVALID_PARAMETER);

    using SizeQuery = platform::DeviceInterfaceRecord::SizeQuery;
    const DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) +
                         UnitBytes(entry->path);
    if (requiredSize != nullptr) *requiredSize = detail == nullptr && entry->sizeQuery == SizeQuery::ReportsZero ? 0 : needed;
    if (detail == nullptr && detailSize == 0 && entry->sizeQuery == SizeQuery::Succeeds) {
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    }
    if (detail == nullptr) return Fail(detailSize == 0 ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_USER_BUFFER);
    if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return Fail(ERROR_INVALID_USER_BUFFER);
    if (detailSize < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (device != nullptr) {
        if (device->cbSize != sizeof(SP_DEVINFO_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
        device->ClassGuid = kDiskDriveClass;
        device->DevInst = static_cast<DWORD>(data->Reserved);
        device->Reserved = data->Reserved;
    }
    platform::ToUnits(entry->path, detail->DevicePath,
                      (detailSize - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(WCHAR));
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL SetupDiEnumDeviceInfo(HDEVINFO handle, DWORD index, PSP_DEVINFO_DATA device)
{
    const auto set = Sets().Find(handle);
    if (!set) return Fail(ERROR_INVALID_HANDLE);
    if (device == nullptr || device->cbSize != sizeof(SP_DEVINFO_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
    if (index >= set->interfaces->size()) return Fail(ERROR_NO_MORE_ITEMS);
    device->ClassGuid = kDiskDriveClass;
    device->DevInst = index + 1;
    device->Reserved = static_cast<ULONG_PTR>(index) + 1;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL SetupDiGetDevicePropertyW(HDEVINFO handle, PSP_DEVINFO_DATA device, const DEVPROPKEY* key, DEVPROPTYPE* type,
                               PBYTE buffer, DWORD bufferSize, PDWORD requiredSize, DWORD flags)
{
    const auto set = Sets().Find(handle);
    if (!set) return Fail(ERROR_INVALID_HANDLE);
    if (flags != 0) return Fail(ERROR_INVALID_FLAGS);
    if (key == nullptr || type == nullptr || device == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (buffer == nullptr && bufferSize != 0) return Fail(ERROR_INVALID_USER_BUFFER);
    const auto* entry = EntryOf(*set, device->Reserved);
    if (entry == nullptr) return Fail(ERROR_NO_SUCH_DEVINST);
    if (!(key->fmtid == kInstanceIdKey.fmtid) || key->pid != kInstanceIdKey.pid || entry->instanceId.empty())
        return Fail(ERROR_NOT_FOUND);

    const DWORD needed = UnitBytes(entry->instanceId);
    if (requiredSize != nullptr) *requiredSize = needed;
    *type = DEVPROP_TYPE_STRING;
    if (bufferSize < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::vector<WCHAR> units(needed / sizeof(WCHAR));
    platform::ToUnits(entry->instanceId, units.data(), units.size());
    std::memcpy(buffer, units.data(), needed);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO handle)
{
    if (!Sets().Remove(handle)) return Fail(ERROR_INVALID_HANDLE);
    return TRUE;
}
