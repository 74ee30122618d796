#include "DerivedClasses.h"

namespace sim::wmi {

const std::vector<DerivedClass>& DerivedClasses()
{
    static const std::vector<DerivedClass> classes = {
        {L"root\\cimv2", L"Win32_DiskDrive", &Win32DiskDriveProperties, &Win32DiskDriveRows},
        {L"root\\cimv2", L"Win32_PerfFormattedData_PerfDisk_PhysicalDisk", &PerfDiskPhysicalDiskProperties,
         &PerfDiskPhysicalDiskRows},
        {L"root\\microsoft\\windows\\storage", L"MSFT_PhysicalDisk", &MsftPhysicalDiskProperties,
         &MsftPhysicalDiskRows},
        {L"root\\WMI", L"MSStorageDriver_ATAPISmartData", &AtapiSmartDataProperties, &AtapiSmartDataRows},
    };
    return classes;
}

const DerivedClass* FindDerivedClass(std::wstring_view nameSpace, std::wstring_view className)
{
    for (const auto& derived : DerivedClasses())
        if (platform::WmiNamesEqual(derived.nameSpace, nameSpace) && platform::WmiNamesEqual(derived.className, className))
            return &derived;
    return nullptr;
}

const PropertyType* FindPropertyType(const DerivedClass& derived, std::wstring_view property)
{
    for (const auto& type : derived.properties())
        if (platform::WmiNamesEqual(type.name, property)) return &type;
    return nullptr;
}

}  // namespace sim::wmi
