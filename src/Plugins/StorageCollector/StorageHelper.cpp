#include "StorageHelper.h"

#include <exception>

#include "Common/WmiCommonLib.h"

namespace Talvex::Quorlin::Plugins::StorageHelper {

std::vector<DiskDeviceInfo> getDeviceInfo()
{
    std::vector<DiskDeviceInfo> devices;
    Cpp::Common::WmiCommonLib wmi(L"SELECT * FROM Win32_DiskDrive", 2);
    while (!wmi.IsEnd()) {
        try {
            DiskDeviceInfo device;
            device.index = wmi.GetUint32ByField(L"Index");
            device.model = wmi.GetStringByField(L"Model");
            device.pnpDeviceId = wmi.GetStringByField(L"PNPDeviceID");
            devices.push_back(std::move(device));
        } catch (const std::exception&) {
            // A row that cannot be read is left out; the next one may be fine.
        }
        wmi.Next();
    }
    return devices;
}

DiskDeviceInfo findDeviceId(const std::vector<DiskDeviceInfo>& devices, uint32_t index)
{
    for (const DiskDeviceInfo& device : devices)
        if (device.index == index) return device;
    return DiskDeviceInfo{};
}

}  // namespace Talvex::Quorlin::Plugins::StorageHelper
