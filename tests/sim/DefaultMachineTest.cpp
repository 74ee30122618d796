// The built-in machine: every disk, volume and interface answers, the WMI
// classes agree with what the devices say, and nothing is left open.
#include <gtest/gtest.h>

#include <set>

#include "PlatformCalls.h"
#include "SimMachineFixture.h"
#include "WmiRows.h"

namespace sim_test {
namespace {

class DefaultMachine : public SimMachineFixture {
protected:
    void SetUp() override { machine.Load(sim::DefaultDescription()); }
};

TEST_F(DefaultMachine, EveryDiskAndVolumeAnswers)
{
    const auto listed = ListDiskInterfaces();
    ASSERT_EQ(listed.size(), 5u);
    const auto drives = machine.WmiInstances(L"root\\cimv2", L"Win32_DiskDrive").instances;
    ASSERT_EQ(drives.size(), 5u);
    for (std::size_t i = 0; i < listed.size(); ++i) {
        Device disk(listed[i].path);
        STORAGE_DEVICE_NUMBER number{};
        ASSERT_TRUE(disk.Get(IOCTL_STORAGE_GET_DEVICE_NUMBER, number)) << i;
        EXPECT_EQ(number.DeviceNumber, i);
        // The instance id the system matches SMART rows and drive list entries with.
        EXPECT_EQ(listed[i].instanceId, Text(drives[i], L"PNPDeviceID"));
        DISK_GEOMETRY geometry{};
        ASSERT_TRUE(disk.Get(IOCTL_DISK_GET_DRIVE_GEOMETRY, geometry));
        const std::uint64_t size = static_cast<std::uint64_t>(geometry.Cylinders.QuadPart) * geometry.TracksPerCylinder *
                                   geometry.SectorsPerTrack * geometry.BytesPerSector;
        EXPECT_EQ(std::to_wstring(size), Text(drives[i], L"Size"));
        EXPECT_FALSE(disk.Layout().empty());
    }
    EXPECT_EQ(DriveStrings(), std::wstring(L"C:\\\0D:\\\0E:\\\0F:\\\0G:\\\0H:\\\0Z:\\\0", 28));
    const std::pair<const wchar_t*, DWORD> volumes[] = {{L"\\\\.\\C:", 0}, {L"\\\\.\\D:", 1}, {L"\\\\.\\E:", 1},
                                                        {L"\\\\.\\F:", 2}};
    for (const auto& [path, disk] : volumes) {
        Device volume(path, GENERIC_READ);
        STORAGE_DEVICE_NUMBER number{};
        ASSERT_TRUE(volume.Get(IOCTL_STORAGE_GET_DEVICE_NUMBER, number));
        EXPECT_EQ(number.DeviceNumber, disk);
        PARTITION_INFORMATION_EX partition{};
        ASSERT_TRUE(volume.Get(IOCTL_DISK_GET_PARTITION_INFO_EX, partition));
        EXPECT_GT(partition.PartitionLength.QuadPart, 0);
    }
    Device system(L"\\\\.\\C:", FILE_READ_ATTRIBUTES);
    DISK_PERFORMANCE performance{};
    ASSERT_TRUE(system.Get(IOCTL_DISK_PERFORMANCE, performance));
    EXPECT_GT(performance.BytesRead.QuadPart, 0);
    PARTITION_INFORMATION_EX none{};
    EXPECT_FALSE(Device(L"\\\\.\\Z:", GENERIC_READ).Get(IOCTL_DISK_GET_PARTITION_INFO_EX, none));
}

TEST_F(DefaultMachine, DrivesAnswerWhatTheirWmiRowsSay)
{
    // Disk 0: an SSD with a piece-part identifier; disk 1: a hard disk.
    Device ssd(L"\\\\.\\PhysicalDrive0");
    std::vector<std::uint8_t> sector;
    std::uint8_t status = 0;
    ASSERT_TRUE(ssd.AtaRead(0xEC, 1, 0, sector, status));
    EXPECT_EQ(At(sector, 2 * 217, 2), 1u);
    ASSERT_TRUE(ssd.AtaRead(0x2F, 1, 0x9A, sector, status));
    EXPECT_EQ(AtaText(sector, 0, 20).size(), 20u);

    const auto media = machine.WmiInstances(L"root\\microsoft\\windows\\storage", L"MSFT_PhysicalDisk").instances;
    ASSERT_EQ(media.size(), 5u);
    EXPECT_EQ(Text(media[0], L"MediaType"), L"4");
    EXPECT_EQ(Text(media[1], L"MediaType"), L"3");
    EXPECT_EQ(Text(media[2], L"MediaType"), L"4");
    EXPECT_EQ(Text(media[2], L"BusType"), L"17");
    EXPECT_EQ(Text(media[4], L"BusType"), L"7");

    const auto smart = machine.WmiInstances(L"root\\WMI", L"MSStorageDriver_ATAPISmartData").instances;
    // The ATA disks 0, 1 and 3; the USB stick's bridge refuses pass-through.
    const int ataDisks[] = {0, 1, 3};
    ASSERT_EQ(smart.size(), std::size(ataDisks));
    for (std::size_t i = 0; i < smart.size(); ++i) {
        Device disk(L"\\\\.\\PhysicalDrive" + std::to_wstring(ataDisks[i]));
        std::uint8_t scsiStatus = 0xFF;
        ASSERT_TRUE(disk.SmartSector(0xD0, sector, scsiStatus));
        ASSERT_EQ(scsiStatus, 0);
        std::vector<std::uint8_t> published;
        for (const auto& element : smart[i].Find(L"VendorSpecific")->value.elements)
            published.push_back(static_cast<std::uint8_t>(std::get<std::uint64_t>(element)));
        EXPECT_EQ(published, sector) << i;
    }

    const auto counters = machine.WmiInstances(L"root\\cimv2", L"Win32_PerfFormattedData_PerfDisk_PhysicalDisk").instances;
    std::vector<std::wstring> names;
    for (const auto& row : counters) names.push_back(Text(row, L"Name"));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"0 C:", L"1 D: E:", L"2 F:", L"3 H:", L"4 G:", L"_Total"}));

    // Disk 2: an NVMe drive with our vendor area and customized health log.
    Device nvme(L"\\\\.\\PhysicalDrive2");
    const auto identify = nvme.NvmeQuery(true, 1, 4096);
    ASSERT_EQ(identify.size(), 4096u);
    EXPECT_EQ(std::string(identify.begin() + 3072, identify.begin() + 3076), "TVXC");
    EXPECT_EQ(nvme.NvmeQuery(false, 0xCA, 512).size(), 512u);
}

TEST_F(DefaultMachine, TheDocumentedExampleLoadsAndAnswers)
{
    machine.Load(sim::LoadDescriptionFile(STORCOLL_SOURCE_DIR "/docs/examples/workstation.json"));
    const auto listed = ListDiskInterfaces();
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_FALSE(Device(listed[3].path).Open());  // the interface left behind by a removed disk
    EXPECT_FALSE(listed[2].instanceRead);
    EXPECT_TRUE(Device(L"\\\\.\\PhysicalDrive2", GENERIC_READ).Open());
    EXPECT_FALSE(Device(L"\\\\.\\PhysicalDrive2").Open());
    Device sata(L"\\\\.\\PhysicalDrive1");
    std::vector<std::uint8_t> sector;
    std::uint8_t status = 0xFF;
    ASSERT_TRUE(sata.SmartSector(0xD0, sector, status));
    EXPECT_EQ(status, 0);
    // Its threshold request fails, as the example's fault says.
    EXPECT_FALSE(sata.SmartSector(0xD1, sector, status));
    EXPECT_EQ(sata.Error(), static_cast<DWORD>(ERROR_GEN_FAILURE));
}

}  // namespace
}  // namespace sim_test
