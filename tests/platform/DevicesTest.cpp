#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/Layouts.h"
#include "platform/Machine.h"
#include "platform/WideText.h"
#include "platform/Win32.h"

namespace {

constexpr GUID kDiskInterfaceClass{0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
constexpr DEVPROPKEY kInstanceIdKey{{0x78C34FC8, 0x104A, 0x4ACA, {0x9E, 0xA4, 0x52, 0x4D, 0x52, 0x99, 0x6E, 0x57}}, 256};

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
    std::vector<platform::DeviceInterfaceRecord> DeviceInterfaces(const GUID& interfaceClass) override
    {
        if (!(interfaceClass == kDiskInterfaceClass)) return {};
        return {{L"\\\\?\\scsi#disk&ven_a#1#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}", L"SCSI\\DISK&VEN_A\\1"},
                {L"\\\\?\\scsi#disk&ven_b#2#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}", L""}};
    }
    std::wstring LogicalDriveStrings() override { return std::wstring(L"C:\\\0D:\\\0", 8); }

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

TEST_F(DevicesTest, LogicalDriveStringsReportTheirSize)
{
    EXPECT_EQ(GetLogicalDriveStringsW(0, nullptr), 9u);
    std::vector<wchar_t> buffer(9, L'x');
    EXPECT_EQ(GetLogicalDriveStringsW(9, buffer.data()), 8u);
    EXPECT_EQ(std::wstring(buffer.data(), 9), std::wstring(L"C:\\\0D:\\\0\0", 9));
}

TEST_F(DevicesTest, DeviceSetsListInterfacesWithTheSizeQueryProtocol)
{
    HDEVINFO set = SetupDiGetClassDevsW(&kDiskInterfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    ASSERT_TRUE(SetupDiEnumDeviceInterfaces(set, nullptr, &kDiskInterfaceClass, 1, &data));
    DWORD required = 0;
    EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &required, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    const std::wstring path = L"\\\\?\\scsi#disk&ven_b#2#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
    EXPECT_EQ(required, 4 + (path.size() + 1) * 2);

    std::vector<unsigned char> buffer(required);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = 6;  // the 32-bit size: refused on 64-bit Windows
    EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailW(set, &data, detail, required, &required, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    ASSERT_TRUE(SetupDiGetDeviceInterfaceDetailW(set, &data, detail, required, &required, nullptr));
    EXPECT_EQ(platform::FromUnits(detail->DevicePath, path.size() + 1), path);

    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &kDiskInterfaceClass, 2, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set));
}

TEST_F(DevicesTest, InstanceIdIsAStringPropertyOfTheDevice)
{
    HDEVINFO set = SetupDiGetClassDevsW(&kDiskInterfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(SetupDiEnumDeviceInfo(set, 0, &info));
    WCHAR buffer[255] = {};
    DEVPROPTYPE type = 0;
    DWORD required = 0;
    ASSERT_TRUE(SetupDiGetDevicePropertyW(set, &info, &kInstanceIdKey, &type, reinterpret_cast<PBYTE>(buffer),
                                          sizeof(buffer), &required, 0));
    EXPECT_EQ(type, static_cast<DEVPROPTYPE>(DEVPROP_TYPE_STRING));
    EXPECT_EQ(platform::FromUnits(buffer, 255), L"SCSI\\DISK&VEN_A\\1");
    EXPECT_EQ(required, 18u * 2);

    ASSERT_TRUE(SetupDiEnumDeviceInfo(set, 1, &info));
    EXPECT_FALSE(SetupDiGetDevicePropertyW(set, &info, &kInstanceIdKey, &type, reinterpret_cast<PBYTE>(buffer),
                                           sizeof(buffer), &required, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_FOUND));
    EXPECT_FALSE(SetupDiEnumDeviceInfo(set, 2, &info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    SetupDiDestroyDeviceInfoList(set);
    EXPECT_FALSE(SetupDiDestroyDeviceInfoList(set));
}

}  // namespace
