// A described machine seen through the platform API: SetupAPI lists its disk
// interfaces, CreateFileW opens its disks and volumes, and DeviceIoControl
// gets the answers the description implies, defaults included.
#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <thread>

#include "PlatformCalls.h"
#include "SimMachineFixture.h"

namespace sim_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kEntry = 48;   // first PARTITION_INFORMATION_EX of a layout
constexpr std::size_t kEntrySize = 144;

std::string Utf16At(const Bytes& bytes, std::size_t offset, std::size_t units)
{
    std::string text;
    for (std::size_t i = 0; i < units && bytes[offset + 2 * i] != 0; ++i) text += static_cast<char>(bytes[offset + 2 * i]);
    return text;
}

unsigned SectorSum(const Bytes& sector) { return std::accumulate(sector.begin(), sector.end(), 0u) & 0xFF; }

class MachineHardware : public SimMachineFixture {};

TEST_F(MachineHardware, ListsInterfacesInDescriptionOrderWithTheirInstanceIds)
{
    Describe(R"({"disks": [
        {"number": 0, "model": "Alpha", "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_ALPHA\\4&1A2B&0&000000", "sizeBytes": 1000000000},
        {"number": 2, "model": "Gamma", "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_GAMMA\\4&1A2B&0&020000", "sizeBytes": 1000000000,
         "interfacePath": null},
        {"number": 1, "model": "Beta", "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_BETA\\4&1A2B&0&010000", "sizeBytes": 1000000000,
         "instanceId": ""},
        {"number": 3, "model": "Delta", "pnpDeviceId": "USBSTOR\\DISK&VEN_D\\9", "sizeBytes": 1000000000,
         "interfacePath": "\\\\?\\usbstor#own#path", "instanceId": "USBSTOR\\OWN\\9"}],
        "interfaces": [{"path": "\\\\?\\scsi#gone#1", "instanceId": "SCSI\\GONE\\1", "index": 1}]})");

    const auto listed = ListDiskInterfaces();
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(listed[0].path, L"\\\\?\\scsi#disk&ven_&prod_alpha#4&1a2b&0&000000#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}");
    EXPECT_EQ(listed[0].instanceId, L"SCSI\\DISK&VEN_&PROD_ALPHA\\4&1A2B&0&000000");
    EXPECT_EQ(listed[1].path, L"\\\\?\\scsi#gone#1");
    EXPECT_EQ(listed[1].instanceId, L"SCSI\\GONE\\1");
    EXPECT_EQ(listed[2].path, L"\\\\?\\scsi#disk&ven_&prod_beta#4&1a2b&0&010000#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}");
    EXPECT_FALSE(listed[2].instanceRead);
    EXPECT_EQ(listed[3].path, L"\\\\?\\usbstor#own#path");
    EXPECT_EQ(listed[3].instanceId, L"USBSTOR\\OWN\\9");

    // Each listed path opens its own disk, or nothing for the extra interface.
    const std::pair<std::size_t, DWORD> numbers[] = {{0, 0}, {2, 1}, {3, 3}};
    for (const auto& [index, number] : numbers) {
        Device disk(listed[index].path);
        STORAGE_DEVICE_NUMBER answer{};
        ASSERT_TRUE(disk.Get(IOCTL_STORAGE_GET_DEVICE_NUMBER, answer)) << index;
        EXPECT_EQ(answer.DeviceNumber, number);
        EXPECT_EQ(answer.DeviceType, static_cast<DWORD>(FILE_DEVICE_DISK));
    }
    Device gone(listed[1].path);
    EXPECT_FALSE(gone.Open());
    EXPECT_EQ(gone.OpenError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // A disk without a listed interface still opens by its drive number.
    Device unlisted(L"\\\\.\\PHYSICALDRIVE2");
    STORAGE_DEVICE_NUMBER answer{};
    ASSERT_TRUE(unlisted.Get(IOCTL_STORAGE_GET_DEVICE_NUMBER, answer));
    EXPECT_EQ(answer.DeviceNumber, 2u);
}

TEST_F(MachineHardware, DiskAnswersDescriptorGeometryAndGptLayoutFromItsDefaults)
{
    const std::string description = R"({"disks": [{"number": 0, "model": "Alpha Disk", "serial": "S0", "firmware": "F1",
        "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_ALPHA\\4&1&0&000000", "interfaceType": "IDE", "sizeBytes": 8225280000,
        "ata": {"rotationRate": 7200},
        "layout": {"style": "gpt", "partitions": [
            {"type": "efi", "length": 104857600}, {"type": "msr", "length": 16777216},
            {"number": 7, "length": 1073741824}, {"offset": 4294967296, "length": 1048576, "name": "Spare",
             "type": "0FC63DAF-8483-4772-8E79-3D69D8477DE4", "id": "{01234567-89ab-cdef-0123-456789ABCDEF}"}]}}],
        "volumes": [{"letter": "c:", "disk": 0, "partition": 7,
                     "counters": {"bytesRead": 3221225472, "bytesWritten": 1048575, "readCount": 9}},
                    {"letter": "Z", "disk": null}]})";
    Describe(description);
    Device disk(L"\\\\.\\PhysicalDrive0");
    ASSERT_TRUE(disk.Open());

    const Bytes descriptor = disk.Descriptor();
    ASSERT_GE(descriptor.size(), 40u);
    EXPECT_EQ(At(descriptor, offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType), 4), static_cast<std::uint64_t>(BusTypeSata));
    EXPECT_EQ(At(descriptor, offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset), 4), 0u);
    EXPECT_EQ(DescriptorText(descriptor, offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset)), "Alpha Disk");
    EXPECT_EQ(DescriptorText(descriptor, offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductRevisionOffset)), "F1");
    EXPECT_EQ(DescriptorText(descriptor, offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset)), "S0");

    DISK_GEOMETRY geometry{};
    ASSERT_TRUE(disk.Get(IOCTL_DISK_GET_DRIVE_GEOMETRY, geometry));
    EXPECT_EQ(geometry.Cylinders.QuadPart, 1000);  // 8225280000 / (255 * 63 * 512)
    EXPECT_EQ(geometry.TracksPerCylinder, 255u);
    EXPECT_EQ(geometry.SectorsPerTrack, 63u);
    EXPECT_EQ(geometry.BytesPerSector, 512u);

    const Bytes layout = disk.Layout();
    ASSERT_FALSE(layout.empty());
    EXPECT_EQ(At(layout, 0, 4), 1u);  // GPT
    ASSERT_EQ(At(layout, 4, 4), 4u);
    const auto entry = [](std::size_t i) { return kEntry + kEntrySize * i; };
    const std::uint64_t offsets[] = {1048576, 1048576 + 104857600, 1048576 + 104857600 + 16777216, 4294967296};
    const std::uint64_t numbers[] = {1, 2, 7, 4};
    const char* types[] = {"C12A7328-F81F-11D2-BA4B-00A0C93EC93B", "E3C9E316-0B5C-4DB8-817D-F92DF00215AE",
                           "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7", "0FC63DAF-8483-4772-8E79-3D69D8477DE4"};
    const char* names[] = {"EFI system partition", "Microsoft reserved partition", "Basic data partition", "Spare"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(At(layout, entry(i) + 8, 8), offsets[i]) << i;
        EXPECT_EQ(At(layout, entry(i) + 24, 4), numbers[i]) << i;
        EXPECT_EQ(GuidAt(layout, entry(i) + 32), types[i]) << i;
        EXPECT_EQ(Utf16At(layout, entry(i) + 72, 36), names[i]) << i;
    }
    EXPECT_EQ(GuidAt(layout, entry(3) + 48), "01234567-89AB-CDEF-0123-456789ABCDEF");
    // Made-up identifiers differ between partitions and stay the same when the
    // description is loaded again.
    EXPECT_NE(GuidAt(layout, entry(0) + 48), GuidAt(layout, entry(1) + 48));
    EXPECT_NE(GuidAt(layout, 8), "00000000-0000-0000-0000-000000000000");
    Describe(description);
    EXPECT_EQ(Device(L"\\\\.\\PhysicalDrive0").Layout(), layout);

    Device volume(L"\\\\.\\C:");
    PARTITION_INFORMATION_EX partition{};
    ASSERT_TRUE(volume.Get(IOCTL_DISK_GET_PARTITION_INFO_EX, partition));
    EXPECT_EQ(partition.PartitionNumber, 7u);
    EXPECT_EQ(partition.PartitionLength.QuadPart, 1073741824);
    STORAGE_DEVICE_NUMBER number{};
    ASSERT_TRUE(volume.Get(IOCTL_STORAGE_GET_DEVICE_NUMBER, number));
    EXPECT_EQ(number.DeviceNumber, 0u);
    EXPECT_EQ(number.PartitionNumber, 7u);
    Device counters(L"\\\\.\\c:", FILE_READ_ATTRIBUTES);
    DISK_PERFORMANCE performance{};
    ASSERT_TRUE(counters.Get(IOCTL_DISK_PERFORMANCE, performance));
    EXPECT_EQ(performance.BytesRead.QuadPart, 3221225472);
    EXPECT_EQ(performance.BytesWritten.QuadPart, 1048575);
    EXPECT_EQ(performance.ReadCount, 9u);

    // The share opens, but has no partition and no device number.
    Device share(L"\\\\.\\Z:");
    ASSERT_TRUE(share.Open());
    EXPECT_FALSE(share.Get(IOCTL_DISK_GET_PARTITION_INFO_EX, partition));
    EXPECT_FALSE(share.Get(IOCTL_STORAGE_GET_DEVICE_NUMBER, number));
    EXPECT_EQ(DriveStrings(), std::wstring(L"C:\\\0Z:\\\0", 8));
}

TEST_F(MachineHardware, MbrPartitionsAreIdentifiedBySignatureAndOffset)
{
    Describe(R"({"disks": [{"number": 4, "model": "Stick", "pnpDeviceId": "USBSTOR\\DISK&VEN_K\\1", "interfaceType": "USB",
        "sizeBytes": 64023257088,
        "geometry": {"tracksPerCylinder": 16, "sectorsPerTrack": 32},
        "layout": {"style": "mbr", "signature": "0x12345678", "partitions": [
            {"length": 1048576000, "bootIndicator": true}, {"type": "0x0C", "length": 2097152}]}}],
        "volumes": [{"letter": "E", "disk": 4, "partition": 2}]})");
    Device disk(L"\\\\.\\PhysicalDrive4");
    EXPECT_EQ(At(disk.Descriptor(), offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType), 4), static_cast<std::uint64_t>(BusTypeUsb));
    DISK_GEOMETRY geometry{};
    ASSERT_TRUE(disk.Get(IOCTL_DISK_GET_DRIVE_GEOMETRY, geometry));
    EXPECT_EQ(geometry.Cylinders.QuadPart, 64023257088 / (16 * 32 * 512));

    const Bytes layout = disk.Layout();
    ASSERT_FALSE(layout.empty());
    EXPECT_EQ(At(layout, 0, 4), 0u);  // MBR
    EXPECT_EQ(At(layout, 4, 4), 4u);  // reported four entries at a time
    EXPECT_EQ(At(layout, 8, 4), 0x12345678u);
    const std::size_t second = kEntry + kEntrySize;
    EXPECT_EQ(layout[kEntry + 32], 0x07);  // basic data
    EXPECT_EQ(layout[kEntry + 33], 1);     // active
    EXPECT_EQ(layout[second + 32], 0x0C);
    EXPECT_EQ(At(layout, second + 36, 4), (1048576u + 1048576000u) / 512);  // hidden sectors
    // PartitionId (40): the signature, then the starting offset.
    EXPECT_EQ(GuidAt(layout, kEntry + 40), "12345678-0000-0000-0000-100000000000");
    EXPECT_EQ(At(layout, second + 48, 8), 1048576u + 1048576000u);
    EXPECT_EQ(At(layout, kEntry + kEntrySize * 2 + 24, 4), 0u);  // an unused slot
}

TEST_F(MachineHardware, AtaDriveAnswersIdentifyLogsAndSmartOnBothPaths)
{
    Describe(R"({"disks": [
        {"number": 0, "model": "Alpha Drive", "serial": "SN-A", "firmware": "FW1", "pnpDeviceId": "P0",
         "sizeBytes": 8225280000,
         "ata": {"rotationRate": 7200, "words": {"83": "0x4004", "0": 64}, "eppid": "EPPID-0123456789ABCD",
                 "logPages": {"0xA0": "01 02"},
                 "smart": {"attributes": [
                     {"id": 9, "flags": "0x32", "current": 99, "worst": 98, "raw": "0x010000000001"},
                     {"id": 194, "rawHex": "28 00 12 00 32 00"}],
                   "thresholds": [{"id": 5, "threshold": 36}]}}},
        {"number": 1, "model": "Beta Drive", "pnpDeviceId": "P1", "sizeBytes": 8225280000,
         "ata": {"gpl": false, "model": "Own Model", "smart": {"enabled": false}}}]})");

    Device alpha(L"\\\\.\\PhysicalDrive0");
    Bytes identify;
    std::uint8_t status = 0;
    ASSERT_TRUE(alpha.AtaRead(0xEC, 1, 0, identify, status));
    EXPECT_EQ(status & 0x01, 0);
    EXPECT_EQ(AtaText(identify, 54, 40), "Alpha Drive");
    EXPECT_EQ(AtaText(identify, 20, 20), "SN-A");
    EXPECT_EQ(AtaText(identify, 46, 8), "FW1");
    EXPECT_EQ(At(identify, 2 * 217, 2), 7200u);
    EXPECT_EQ(At(identify, 2 * 83, 2), 0x4004u);
    EXPECT_EQ(At(identify, 2 * 84, 2) & 0x20, 0x20u);
    EXPECT_EQ(At(identify, 2 * 100, 8), 8225280000u / 512);

    Bytes log;
    ASSERT_TRUE(alpha.AtaRead(0x2F, 1, 0x9A, log, status));
    EXPECT_EQ(status & 0x01, 0);
    EXPECT_EQ(AtaText(log, 0, 20), "EPPID-0123456789ABCD");
    ASSERT_TRUE(alpha.AtaRead(0x2F, 1, 0xA0, log, status));
    EXPECT_EQ(log[0], 0x01);
    EXPECT_EQ(log[1], 0x02);
    EXPECT_EQ(std::accumulate(log.begin() + 2, log.end(), 0u), 0u);

    Bytes data;
    std::uint8_t scsiStatus = 0xFF;
    ASSERT_TRUE(alpha.SmartSector(0xD0, data, scsiStatus));
    EXPECT_EQ(scsiStatus, 0);
    EXPECT_EQ(At(data, 0, 2), 0x0010u);  // revision
    const Bytes first(data.begin() + 2, data.begin() + 14);
    EXPECT_EQ(first, (Bytes{9, 0x32, 0x00, 99, 98, 0x01, 0, 0, 0, 0, 0x01, 0}));
    const Bytes second(data.begin() + 14, data.begin() + 26);
    EXPECT_EQ(second, (Bytes{194, 0, 0, 100, 100, 0x28, 0x00, 0x12, 0x00, 0x32, 0x00, 0}));
    EXPECT_EQ(data[26], 0);  // no third attribute
    EXPECT_EQ(SectorSum(data), 0u);
    Bytes thresholds;
    ASSERT_TRUE(alpha.SmartSector(0xD1, thresholds, scsiStatus));
    EXPECT_EQ(thresholds[2], 5);
    EXPECT_EQ(thresholds[3], 36);
    EXPECT_EQ(SectorSum(thresholds), 0u);
    // The ATA path reads the same sector.
    Bytes direct;
    ASSERT_TRUE(alpha.AtaRead(0xB0, 1, 0, direct, status, 0xD0, 0x4F, 0xC2));
    EXPECT_EQ(direct, data);

    Device beta(L"\\\\.\\PhysicalDrive1");
    ASSERT_TRUE(beta.AtaRead(0xEC, 1, 0, identify, status));
    EXPECT_EQ(AtaText(identify, 54, 40), "Own Model");
    EXPECT_EQ(At(identify, 2 * 84, 2) & 0x20, 0u);
    ASSERT_TRUE(beta.AtaRead(0x2F, 1, 0x9A, log, status));
    EXPECT_EQ(status & 0x01, 0x01);  // no logging: aborted
    ASSERT_TRUE(beta.SmartSector(0xD0, data, scsiStatus));
    EXPECT_EQ(scsiStatus, 0x02);  // SMART disabled: CHECK CONDITION
}

TEST_F(MachineHardware, RecordedSmartSectorsAreAnsweredUnchanged)
{
    std::string dataHex, thresholdsHex;
    Bytes data(512), thresholds(512);
    for (std::size_t i = 0; i < 512; ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7 + 3);  // a checksum that does not add up: kept as recorded
        thresholds[i] = static_cast<std::uint8_t>(255 - i);
        char pair[4];
        std::snprintf(pair, sizeof(pair), "%02x ", data[i]);
        dataHex += pair;
        std::snprintf(pair, sizeof(pair), "%02X", thresholds[i]);
        thresholdsHex += pair;
    }
    Describe(R"({"disks": [{"number": 0, "model": "Recorded", "pnpDeviceId": "P", "sizeBytes": 1000000000,
        "ata": {"smart": {"dataHex": ")" + dataHex + R"(", "thresholdsHex": ")" + thresholdsHex + R"("}}}]})");
    Device disk(L"\\\\.\\PhysicalDrive0");
    Bytes answered;
    std::uint8_t status = 0;
    ASSERT_TRUE(disk.SmartSector(0xD0, answered, status));
    EXPECT_EQ(answered, data);
    ASSERT_TRUE(disk.SmartSector(0xD1, answered, status));
    EXPECT_EQ(answered, thresholds);
}

TEST_F(MachineHardware, NvmeDiskAnswersAsADiskAndItsControllerAnswersProtocolQueries)
{
    Describe(R"({"disks": [
        {"number": 0, "model": "Quorlin QN700", "serial": "0025_38B4.", "firmware": "4B2Q", "pnpDeviceId": "N0",
         "sizeBytes": 512110190592,
         "nvme": {"busType": "raid", "identify": {"vid": "0x1F7A", "sn": "QN7SERIAL", "wctemp": 357,
                                                  "vendor": {"eppid": "CN0QN700", "componentId": "QN700"}},
                  "health": {"temperature": 318, "dataUnitsWritten": "18446744073709551617"},
                  "vendorHealth": {"wearLevelingCount": 7}},
         "layout": {"style": "gpt", "partitions": [{"length": 1048576000}]}},
        {"number": 1, "model": "Plain NVMe", "firmware": "F2", "pnpDeviceId": "N1", "sizeBytes": 256060514304,
         "nvme": {"faults": {"healthLog": 1117}}}],
        "volumes": [{"letter": "F", "disk": 0, "partition": 1}]})");

    Device raid(L"\\\\.\\PhysicalDrive0");
    const Bytes descriptor = raid.Descriptor();
    ASSERT_GE(descriptor.size(), 40u);
    EXPECT_EQ(At(descriptor, offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType), 4), static_cast<std::uint64_t>(BusTypeRAID));
    EXPECT_EQ(DescriptorText(descriptor, offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset)), "NVMe");
    EXPECT_EQ(DescriptorText(descriptor, offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset)), "Quorlin QN700");
    DISK_GEOMETRY geometry{};
    ASSERT_TRUE(raid.Get(IOCTL_DISK_GET_DRIVE_GEOMETRY, geometry));
    EXPECT_EQ(geometry.Cylinders.QuadPart, 512110190592 / (255 * 63 * 512));
    EXPECT_EQ(At(raid.Layout(), 4, 4), 1u);
    STORAGE_DEVICE_NUMBER number{};
    ASSERT_TRUE(Device(L"\\\\.\\F:").Get(IOCTL_STORAGE_GET_DEVICE_NUMBER, number));
    EXPECT_EQ(number.DeviceNumber, 0u);

    const Bytes identify = raid.NvmeQuery(true, 1, 4096);
    ASSERT_EQ(identify.size(), 4096u);
    EXPECT_EQ(At(identify, 0, 2), 0x1F7Au);
    EXPECT_EQ(std::string(identify.begin() + 4, identify.begin() + 24), "QN7SERIAL           ");
    EXPECT_EQ(std::string(identify.begin() + 24, identify.begin() + 37), "Quorlin QN700");  // mn from the model
    EXPECT_EQ(std::string(identify.begin() + 64, identify.begin() + 68), "4B2Q");        // fr from the firmware
    EXPECT_EQ(At(identify, 266, 2), 357u);
    EXPECT_EQ(At(identify, 280, 8), 512110190592u);  // tnvmcap from the size
    EXPECT_EQ(std::string(identify.begin() + 3072, identify.begin() + 3076), "TVXC");
    const Bytes health = raid.NvmeQuery(false, 2, 512);
    ASSERT_EQ(health.size(), 512u);
    EXPECT_EQ(At(health, 1, 2), 318u);
    EXPECT_EQ(At(health, 48, 8), 1u);  // data units written: 2^64 + 1
    EXPECT_EQ(At(health, 56, 8), 1u);
    EXPECT_EQ(raid.NvmeQuery(false, 0xCA, 512).size(), 512u);
    // No ATA drive behind an NVMe disk.
    Bytes sector;
    std::uint8_t status = 0;
    EXPECT_FALSE(raid.AtaRead(0xEC, 1, 0, sector, status));

    Device plain(L"\\\\.\\PhysicalDrive1");
    EXPECT_EQ(At(plain.Descriptor(), offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType), 4), static_cast<std::uint64_t>(BusTypeNvme));
    const Bytes plainIdentify = plain.NvmeQuery(true, 1, 4096);
    ASSERT_EQ(plainIdentify.size(), 4096u);
    EXPECT_EQ(std::accumulate(plainIdentify.begin() + 3072, plainIdentify.end(), 0u), 0u);  // no vendor area
    EXPECT_TRUE(plain.NvmeQuery(false, 2, 512).empty());
    EXPECT_EQ(plain.Error(), 1117u);
    EXPECT_TRUE(plain.NvmeQuery(false, 0xCA, 512).empty());  // no customized health log
}

TEST_F(MachineHardware, FaultsApplyPerDeviceAndPerRequest)
{
    Describe(R"({"disks": [
        {"number": 0, "model": "A", "pnpDeviceId": "P0", "sizeBytes": 1000000000, "faults": {"access": "readOnly"}},
        {"number": 1, "model": "B", "pnpDeviceId": "P1", "sizeBytes": 1000000000,
         "faults": {"access": "none", "openError": 21}},
        {"number": 2, "model": "C", "pnpDeviceId": "P2", "sizeBytes": 1000000000,
         "ata": {"smart": {"attributes": [{"id": 9, "raw": 1}]}},
         "layout": {"style": "gpt", "partitions": [{"length": 1048576}]},
         "faults": {"requests": [
             {"ioctl": "IOCTL_DISK_GET_DRIVE_GEOMETRY", "error": 1117},
             {"ioctl": "ioctl_scsi_pass_through_direct", "command": "0xB0", "feature": "0xD1", "kind": "refuse"},
             {"ioctl": "0x4D030", "command": "0xEC", "kind": "zeroData"}]}}],
        "volumes": [{"letter": "G", "disk": 2, "partition": 1,
                     "faults": {"requests": [{"ioctl": "IOCTL_DISK_PERFORMANCE", "kind": "fail", "error": 21}]}}]})");

    EXPECT_TRUE(Device(L"\\\\.\\PhysicalDrive0", GENERIC_READ).Open());
    Device readWrite(L"\\\\.\\PhysicalDrive0");
    EXPECT_FALSE(readWrite.Open());
    EXPECT_EQ(readWrite.OpenError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    Device none(L"\\\\.\\PhysicalDrive1", GENERIC_READ);
    EXPECT_FALSE(none.Open());
    EXPECT_EQ(none.OpenError(), 21u);

    Device faulty(L"\\\\.\\PhysicalDrive2");
    DISK_GEOMETRY geometry{};
    EXPECT_FALSE(faulty.Get(IOCTL_DISK_GET_DRIVE_GEOMETRY, geometry));
    EXPECT_EQ(faulty.Error(), 1117u);
    Bytes sector;
    std::uint8_t status = 0xFF;
    ASSERT_TRUE(faulty.SmartSector(0xD0, sector, status));
    EXPECT_EQ(status, 0);  // the data request is not the one refused
    EXPECT_EQ(sector[2], 9);
    ASSERT_TRUE(faulty.SmartSector(0xD1, sector, status));
    EXPECT_EQ(status, 0x02);
    ASSERT_TRUE(faulty.AtaRead(0xEC, 1, 0, sector, status));
    EXPECT_EQ(std::accumulate(sector.begin(), sector.end(), 0u), 0u);

    Device volume(L"\\\\.\\G:", FILE_READ_ATTRIBUTES);
    DISK_PERFORMANCE performance{};
    EXPECT_FALSE(volume.Get(IOCTL_DISK_PERFORMANCE, performance));
    EXPECT_EQ(volume.Error(), 21u);
    PARTITION_INFORMATION_EX partition{};
    EXPECT_TRUE(volume.Get(IOCTL_DISK_GET_PARTITION_INFO_EX, partition));
}

TEST_F(MachineHardware, LoadSwapsTheWholeMachineOrNothing)
{
    Describe(R"({"disks": [{"number": 0, "model": "First", "pnpDeviceId": "P0", "sizeBytes": 1000000000,
        "layout": {"style": "gpt", "partitions": [{"length": 1048576}]}}],
        "volumes": [{"letter": "C", "disk": 0, "partition": 1}]})");
    Device kept(L"\\\\.\\PhysicalDrive0");
    ASSERT_TRUE(kept.Open());

    Describe(R"({"disks": [{"number": 0, "model": "Second", "pnpDeviceId": "Q0", "sizeBytes": 1000000000},
                           {"number": 1, "model": "Third", "pnpDeviceId": "Q1", "sizeBytes": 1000000000}]})");
    EXPECT_EQ(DescriptorText(kept.Descriptor(), offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset)), "First");
    EXPECT_EQ(DescriptorText(Device(L"\\\\.\\PhysicalDrive0").Descriptor(), offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset)),
              "Second");
    EXPECT_EQ(ListDiskInterfaces().size(), 2u);
    EXPECT_EQ(DriveStrings(), L"");
    EXPECT_FALSE(Device(L"\\\\.\\C:").Open());

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
    EXPECT_EQ(ListDiskInterfaces().size(), 2u);
    EXPECT_EQ(DriveStrings(), L"");
}

TEST_F(MachineHardware, AMachineMadeInCodeAnswersWithItsDiskNumbers)
{
    sim::MachineDescription description;
    sim::DiskDescription disk;
    disk.number = 3;
    disk.model = "Coded";
    disk.hardware.interfacePath = L"\\\\?\\coded#3";
    description.disks.push_back(disk);
    machine.Load(description);
    const auto listed = ListDiskInterfaces();
    ASSERT_EQ(listed.size(), 1u);
    STORAGE_DEVICE_NUMBER number{};
    ASSERT_TRUE(Device(listed[0].path).Get(IOCTL_STORAGE_GET_DEVICE_NUMBER, number));
    EXPECT_EQ(number.DeviceNumber, 3u);
    EXPECT_TRUE(Device(L"\\\\.\\PhysicalDrive3").Open());
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
            const auto product = DescriptorText(Device(L"\\\\.\\PhysicalDrive0").Descriptor(),
                                                offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset));
            if (product != "First" && product != "Second") ++odd;
        }
    });
    for (int i = 0; i < 200; ++i) machine.Load(i % 2 == 0 ? second : first);
    stop = true;
    reader.join();
    EXPECT_EQ(odd, 0);
}

}  // namespace
}  // namespace sim_test
