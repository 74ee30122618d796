// A small machine for the disk tests: whatever its DiskSet holds for disks,
// volumes and device interfaces; the WMI of whatever description it is given.
// The fixture fails a test that leaves a handle, device set, COM reference,
// string or array behind.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/Machine.h"
#include "sim/DiskSet.h"
#include "sim/GuidText.h"
#include "sim/AtaData.h"
#include "sim/SimMachine.h"

namespace hardware_test {

class DiskMachine : public sim::SimMachine {
public:
    platform::OpenResult OpenDevice(std::wstring_view path, DWORD access) override
    {
        return disks.OpenDevice(path, access);
    }
    std::vector<platform::DeviceInterfaceRecord> DeviceInterfaces(const GUID& interfaceClass) override
    {
        return disks.DeviceInterfaces(interfaceClass);
    }
    std::wstring LogicalDriveStrings() override { return disks.LogicalDriveStrings(); }

    sim::DiskSet disks;
};

class DiskTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(machine.Ledger().OpenReport(), "") << "resources left open by the test"; }

    DiskMachine machine;
    platform::MachineScope scope{machine};
};

inline GUID Guid(const char* text) { return sim::GuidFromText(text).value(); }

inline std::wstring InterfacePath(std::uint32_t number)
{
    return L"\\\\?\\scsi#disk&ven_ata&prod_test#4&" + std::to_wstring(number) +
           L"#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
}

// A SATA disk with an ATA drive that supports logging and has a piece-part
// identifier page; no partitions.
inline sim::DiskModel AtaDisk(std::uint32_t number, const std::string& model = "TEST MODEL",
                              const std::string& eppid = "EPPID-0123456789ABCD")
{
    sim::DiskModel disk;
    disk.number = number;
    disk.interfacePath = InterfacePath(number);
    disk.instanceId = L"SCSI\\DISK&VEN_ATA&PROD_TEST\\4&" + std::to_wstring(number);
    disk.descriptor.vendor = "ATA";
    disk.descriptor.product = model.substr(0, 16);
    disk.geometry.cylinders = 1000;
    sim::AtaDriveModel drive;
    drive.identity.model = model;
    drive.identity.serial = "SERIAL" + std::to_string(number);
    drive.identity.firmware = "FW01";
    drive.logPages[sim::kEppidLogAddress] = sim::EppidLogPage(eppid);
    disk.ata = drive;
    return disk;
}

inline sim::RequestFault Fault(DWORD code, sim::FaultKind kind, DWORD error = ERROR_GEN_FAILURE)
{
    sim::RequestFault fault;
    fault.code = code;
    fault.kind = kind;
    fault.error = error;
    return fault;
}

inline std::string Padded(const std::string& text, std::size_t width) { return text + std::string(width - text.size(), ' '); }

}  // namespace hardware_test
