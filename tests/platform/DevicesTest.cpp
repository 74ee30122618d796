// Device handles over a described machine: opening, controlling and closing,
// and the access a handle was opened with checked against each control code.
#include <gtest/gtest.h>

#include "SimMachineFixture.h"
#include "platform/Layouts.h"
#include "platform/Win32.h"

namespace {

// Disk 1 opens for reading only.
class DevicesTest : public SimMachineFixture {
protected:
    void SetUp() override
    {
        Describe(R"({"disks": [{"number": 0, "model": "M", "pnpDeviceId": "P0", "sizeBytes": 1000000000},
                               {"number": 1, "model": "M", "pnpDeviceId": "P1", "sizeBytes": 1000000000,
                                "faults": {"access": "readOnly", "openError": 5}}]})");
    }
};

TEST_F(DevicesTest, OpensControlsAndClosesADevice)
{
    HANDLE handle = CreateFileW(L"\\\\.\\PhysicalDrive0", GENERIC_READ | GENERIC_WRITE, 3, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(machine.Ledger().Open(platform::Resource::Handle), 1);
    DISK_GEOMETRY geometry{};
    DWORD returned = 99;
    ASSERT_TRUE(DeviceIoControl(handle, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry, sizeof geometry,
                                &returned, nullptr));
    EXPECT_EQ(returned, sizeof geometry);
    EXPECT_EQ(geometry.BytesPerSector, 512u);
    EXPECT_FALSE(DeviceIoControl(handle, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry, 2, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_TRUE(CloseHandle(handle));
    EXPECT_FALSE(CloseHandle(handle));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(DevicesTest, OpenFailuresAndAccessChecksSetTheLastError)
{
    EXPECT_EQ(CreateFileW(L"\\\\.\\PhysicalDrive1", GENERIC_READ | GENERIC_WRITE, 3, nullptr, OPEN_EXISTING, 0,
                          nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    // A read-only handle may ask for what any handle may, but not pass through.
    HANDLE readOnly = CreateFileW(L"\\\\.\\PhysicalDrive1", GENERIC_READ, 3, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(readOnly, INVALID_HANDLE_VALUE);
    STORAGE_DEVICE_NUMBER number{};
    DWORD returned = 0;
    EXPECT_TRUE(DeviceIoControl(readOnly, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof number,
                                &returned, nullptr));
    EXPECT_EQ(number.DeviceNumber, 1u);
    SCSI_PASS_THROUGH_DIRECT block{};
    EXPECT_FALSE(DeviceIoControl(readOnly, IOCTL_SCSI_PASS_THROUGH_DIRECT, &block, sizeof block, &block, sizeof block,
                                 &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(readOnly);
}

}  // namespace
