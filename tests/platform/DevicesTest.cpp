#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/Layouts.h"
#include "platform/Machine.h"
#include "platform/Win32.h"

namespace {

// Answers every request with four bytes 1, 2, 3, 4.
class EchoDevice : public platform::Device {
public:
    platform::IoResult Control(const platform::IoRequest& request) override
    {
        lastCode = request.code;
        if (request.outSize < 4) return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
        const unsigned char bytes[4] = {1, 2, 3, 4};
        std::memcpy(request.out, bytes, 4);
        return platform::IoResult::Success(4);
    }
    DWORD lastCode = 0;
};

class DeviceMachine : public platform::Machine {
public:
    platform::OpenResult OpenDevice(std::wstring_view path, DWORD access) override
    {
        if (path == L"\\\\.\\PhysicalDrive0") return {device, ERROR_SUCCESS};
        if (path == L"\\\\.\\PhysicalDrive1" && (access & GENERIC_WRITE) != 0) return {nullptr, ERROR_ACCESS_DENIED};
        if (path == L"\\\\.\\PhysicalDrive1") return {device, ERROR_SUCCESS};
        return {nullptr, ERROR_FILE_NOT_FOUND};
    }

    std::shared_ptr<EchoDevice> device = std::make_shared<EchoDevice>();
};

class DevicesTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(machine.Ledger().OpenReport(), ""); }
    DeviceMachine machine;
    platform::MachineScope scope{machine};
};

TEST_F(DevicesTest, OpensControlsAndClosesADevice)
{
    HANDLE handle = CreateFileW(L"\\\\.\\PhysicalDrive0", GENERIC_READ | GENERIC_WRITE, 3, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(machine.Ledger().Open(platform::Resource::Handle), 1);
    unsigned char out[8] = {};
    DWORD returned = 99;
    ASSERT_TRUE(DeviceIoControl(handle, IOCTL_ATA_PASS_THROUGH_DIRECT, nullptr, 0, out, 8, &returned, nullptr));
    EXPECT_EQ(returned, 4u);
    EXPECT_EQ(out[3], 4);
    EXPECT_EQ(machine.device->lastCode, 0x0004D030u);
    EXPECT_FALSE(DeviceIoControl(handle, IOCTL_DISK_PERFORMANCE, nullptr, 0, out, 2, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_TRUE(CloseHandle(handle));
    EXPECT_FALSE(CloseHandle(handle));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(DevicesTest, OpenFailuresAndAccessChecksSetTheLastError)
{
    EXPECT_EQ(CreateFileW(L"\\\\.\\PhysicalDrive7", GENERIC_READ, 3, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CreateFileW(L"\\\\.\\PhysicalDrive1", GENERIC_READ | GENERIC_WRITE, 3, nullptr, OPEN_EXISTING, 0,
                          nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // A read-only handle may ask for what any handle may, but not pass through.
    HANDLE readOnly = CreateFileW(L"\\\\.\\PhysicalDrive1", GENERIC_READ, 3, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(readOnly, INVALID_HANDLE_VALUE);
    unsigned char out[4] = {};
    DWORD returned = 0;
    EXPECT_TRUE(DeviceIoControl(readOnly, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, out, 4, &returned, nullptr));
    EXPECT_FALSE(DeviceIoControl(readOnly, IOCTL_SCSI_PASS_THROUGH_DIRECT, nullptr, 0, out, 4, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(readOnly);
}

}  // namespace
