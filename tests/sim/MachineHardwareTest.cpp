// Loads that swap the whole machine while it is in use, seen through the
// platform API. What each disk answers is checked by the collectors' tests
// over described machines.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "SimMachineFixture.h"
#include "platform/Win32.h"

namespace {

// The product text of the disk behind `handle`, or of the disk at `path`; "" when none.
std::string Product(HANDLE handle)
{
    STORAGE_PROPERTY_QUERY query{};
    std::vector<char> reply(1024, 0);
    DWORD returned = 0;
    if (!DeviceIoControl(handle, IOCTL_STORAGE_QUERY_PROPERTY, &query, 12, reply.data(), 1024, &returned, nullptr))
        return "";
    std::uint32_t offset = 0;
    std::memcpy(&offset, reply.data() + offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset), 4);
    return offset != 0 ? std::string(reply.data() + offset) : "";
}

std::string Product(const wchar_t* path)
{
    const HANDLE handle = CreateFileW(path, GENERIC_READ, 3, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return "";
    const std::string product = Product(handle);
    CloseHandle(handle);
    return product;
}

std::wstring DriveStrings()
{
    wchar_t buffer[128] = {};
    return std::wstring(buffer, GetLogicalDriveStringsW(128, buffer));
}

class MachineHardware : public SimMachineFixture {};

TEST_F(MachineHardware, LoadSwapsTheWholeMachineOrNothing)
{
    Describe(R"({"disks": [{"number": 0, "model": "First", "pnpDeviceId": "P0", "sizeBytes": 1000000000,
        "layout": {"style": "gpt", "partitions": [{"length": 1048576}]}}],
        "volumes": [{"letter": "C", "disk": 0, "partition": 1}]})");
    const HANDLE kept = CreateFileW(L"\\\\.\\PhysicalDrive0", GENERIC_READ, 3, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(kept, INVALID_HANDLE_VALUE);

    Describe(R"({"disks": [{"number": 0, "model": "Second", "pnpDeviceId": "Q0", "sizeBytes": 1000000000},
                           {"number": 1, "model": "Third", "pnpDeviceId": "Q1", "sizeBytes": 1000000000}]})");
    EXPECT_EQ(Product(kept), "First");
    CloseHandle(kept);
    EXPECT_EQ(Product(L"\\\\.\\PhysicalDrive0"), "Second");
    EXPECT_EQ(Product(L"\\\\.\\PhysicalDrive1"), "Third");
    EXPECT_EQ(DriveStrings(), L"");

    // A machine made in code is checked as a loaded one is; a refusal changes nothing.
    sim::MachineDescription unfit = machine.Description();
    sim::VolumeModel volume;
    volume.letter = L'D';
    volume.disk = 7;
    unfit.volumes.push_back(volume);
    try {
        machine.Load(unfit);
        FAIL() << "a volume on a missing disk must be refused";
    } catch (const sim::DescriptionError& error) {
        EXPECT_EQ(error.Path(), "$.volumes[0].disk");
    }
    EXPECT_EQ(Product(L"\\\\.\\PhysicalDrive1"), "Third");
    EXPECT_EQ(DriveStrings(), L"");
}

TEST_F(MachineHardware, ReadersSeeOneMachineOrTheOtherWhileLoadsGoOn)
{
    const auto description = [](const char* model) {
        return sim::ParseDescription(std::string(R"({"disks": [{"number": 0, "model": ")") + model +
                                     R"(", "pnpDeviceId": "P", "sizeBytes": 1000000000}]})");
    };
    const sim::MachineDescription first = description("First");
    const sim::MachineDescription second = description("Second");
    machine.Load(first);
    std::atomic<bool> stop{false};
    std::atomic<int> odd{0};
    std::thread reader([&] {
        platform::MachineScope readerScope(machine);
        while (!stop) {
            const auto product = Product(L"\\\\.\\PhysicalDrive0");
            if (product != "First" && product != "Second") ++odd;
        }
    });
    for (int i = 0; i < 200; ++i) machine.Load(i % 2 == 0 ? second : first);
    stop = true;
    reader.join();
    EXPECT_EQ(odd, 0);
}

// A fault narrowed to the device descriptor, given by the drive's section or
// the disk's own, fails that query alone: the controller still answers.
TEST_F(MachineHardware, ADescriptorFaultLeavesTheControllersQueriesAlone)
{
    Describe(R"({"disks": [
        {"number": 0, "model": "N", "pnpDeviceId": "P0", "sizeBytes": 1000000000,
         "nvme": {"faults": {"deviceDescriptor": 1117}}},
        {"number": 1, "model": "N", "pnpDeviceId": "P1", "sizeBytes": 1000000000, "nvme": {},
         "faults": {"requests": [{"ioctl": "IOCTL_STORAGE_QUERY_PROPERTY", "property": 0, "error": 21}]}}]})");
    const std::pair<const wchar_t*, DWORD> disks[] = {{L"\\\\.\\PhysicalDrive0", 1117}, {L"\\\\.\\PhysicalDrive1", 21}};
    for (const auto& [path, error] : disks) {
        const HANDLE handle = CreateFileW(path, GENERIC_READ, 3, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(Product(handle), "") << error;
        EXPECT_EQ(GetLastError(), error);
        const DWORD identify[] = {StorageAdapterProtocolSpecificProperty, PropertyStandardQuery, ProtocolTypeNvme,
                                  NVMeDataTypeIdentify, 1, 0, 40, 4096};
        std::vector<std::uint8_t> query(8 + 40 + 4096, 0);
        std::memcpy(query.data(), identify, sizeof identify);
        DWORD returned = 0;
        EXPECT_TRUE(DeviceIoControl(handle, IOCTL_STORAGE_QUERY_PROPERTY, query.data(), static_cast<DWORD>(query.size()),
                                    query.data(), static_cast<DWORD>(query.size()), &returned, nullptr))
            << error;
        CloseHandle(handle);
    }
}

}  // namespace
