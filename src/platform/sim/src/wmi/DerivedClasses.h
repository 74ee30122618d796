// The WMI classes whose rows the simulated machine derives from its hardware.
// Each class lives in a file of its own with its property types and the
// function that makes its rows; the table in DerivedClasses.cpp lists them.
#pragma once

#include <string_view>
#include <vector>

#include "platform/WmiData.h"
#include "sim/MachineDescription.h"

namespace sim::wmi {

struct PropertyType {
    const wchar_t* name;
    platform::CimType type;
    bool isArray = false;
};

struct DerivedClass {
    const wchar_t* nameSpace;
    const wchar_t* className;
    // Every property the class declares, in order.
    const std::vector<PropertyType>& (*properties)();
    std::vector<platform::WmiInstance> (*rows)(const MachineDescription& machine);
};

const std::vector<DerivedClass>& DerivedClasses();
const DerivedClass* FindDerivedClass(std::wstring_view nameSpace, std::wstring_view className);
// The declared type of a property of a derived class, or null.
const PropertyType* FindPropertyType(const DerivedClass& derived, std::wstring_view property);

// One file each.
const std::vector<PropertyType>& Win32DiskDriveProperties();
std::vector<platform::WmiInstance> Win32DiskDriveRows(const MachineDescription& machine);
const std::vector<PropertyType>& PerfDiskPhysicalDiskProperties();
std::vector<platform::WmiInstance> PerfDiskPhysicalDiskRows(const MachineDescription& machine);
const std::vector<PropertyType>& MsftPhysicalDiskProperties();
std::vector<platform::WmiInstance> MsftPhysicalDiskRows(const MachineDescription& machine);
const std::vector<PropertyType>& AtapiSmartDataProperties();
std::vector<platform::WmiInstance> AtapiSmartDataRows(const MachineDescription& machine);

}  // namespace sim::wmi
