// The simulated disks at the protocol level, driven with hand-built request
// bytes: names, malformed requests, and the sectors the ATA drive returns.
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "DiskMachine.h"

namespace hardware_test {
namespace {

class Handle {
public:
    explicit Handle(const wchar_t* path, DWORD access = GENERIC_READ | GENERIC_WRITE)
        : m_handle(CreateFileW(path, access, 3, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~Handle()
    {
        if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    }
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }

    // Sends `block` as input and output; false with the last error kept.
    bool Send(DWORD code, std::vector<std::uint8_t>& block, DWORD outSize = 0)
    {
        DWORD returned = 0;
        const BOOL ok = DeviceIoControl(m_handle, code, block.data(), static_cast<DWORD>(block.size()), block.data(),
                                        outSize != 0 ? outSize : static_cast<DWORD>(block.size()), &returned, nullptr);
        m_returned = returned;
        return ok != FALSE;
    }
    DWORD Returned() const { return m_returned; }

private:
    HANDLE m_handle;
    DWORD m_returned = 0;
};

// An SCSI_PASS_THROUGH_DIRECT with a 64-byte sense area at 64, reading into `data`.
std::vector<std::uint8_t> ScsiBlock(const std::vector<std::uint8_t>& cdb, std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> block(128, 0);
    block[0] = 56;
    block[6] = static_cast<std::uint8_t>(cdb.size());
    block[7] = 64;
    block[8] = 1;
    const auto length = static_cast<std::uint32_t>(data.size());
    std::memcpy(&block[12], &length, 4);
    block[16] = 60;
    void* pointer = data.data();
    std::memcpy(&block[24], &pointer, sizeof(pointer));
    block[32] = 64;
    std::memcpy(&block[36], cdb.data(), cdb.size());
    return block;
}

std::vector<std::uint8_t> SmartCdb(std::uint8_t feature)
{
    return {0x85, 0x08, 0x0E, 0, feature, 0, 1, 0, 0, 0, 0x4F, 0, 0xC2, 0, 0xB0, 0};
}

unsigned SectorSum(const std::vector<std::uint8_t>& sector)
{
    return std::accumulate(sector.begin(), sector.end(), 0u) & 0xFF;
}

using SimulatedDiskTest = DiskTest;

TEST_F(SimulatedDiskTest, NamesCompareWithoutRegardToCase)
{
    machine.disks.AddDisk(AtaDisk(0));
    auto volume = sim::VolumeModel{};
    volume.letter = L'C';
    volume.disk = 0;
    machine.disks.AddVolume(volume);

    EXPECT_TRUE(Handle(L"\\\\.\\physicaldrive0").Valid());
    EXPECT_TRUE(Handle(L"\\\\.\\c:").Valid());
    std::wstring upper = InterfacePath(0);
    for (auto& c : upper) c = static_cast<wchar_t>(std::towupper(c));
    EXPECT_TRUE(Handle(upper.c_str()).Valid());
    EXPECT_FALSE(Handle(L"\\\\.\\PhysicalDrive00").Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(Handle(L"\\\\.\\D:").Valid());
}

TEST_F(SimulatedDiskTest, MalformedPassThroughRequestsAreRefused)
{
    machine.disks.AddDisk(AtaDisk(0));
    Handle disk(L"\\\\.\\PhysicalDrive0");
    std::vector<std::uint8_t> data(512, 0);

    // IDENTIFY asked for as PIO data-out: invalid field in CDB, in the sense area.
    auto block = ScsiBlock({0x85, 0x0A, 0x0E, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0xEC, 0}, data);
    ASSERT_TRUE(disk.Send(IOCTL_SCSI_PASS_THROUGH_DIRECT, block));
    EXPECT_EQ(block[2], 0x02);
    EXPECT_EQ(block[64], 0x70);
    EXPECT_EQ(block[64 + 2], 0x05);
    EXPECT_EQ(block[64 + 12], 0x24);
    EXPECT_EQ(disk.Returned(), 64u + 18u);
    EXPECT_EQ(std::count(data.begin(), data.end(), 0), 512);

    // An ATA block without the data-in flag, and one without a timeout.
    std::vector<std::uint8_t> ata(48, 0);
    ata[0] = 48;
    ata[2] = 0x01;
    ata[8] = 0x00;
    ata[9] = 0x02;
    ata[12] = 60;
    void* pointer = data.data();
    std::memcpy(&ata[24], &pointer, sizeof(pointer));
    ata[46] = 0xEC;
    EXPECT_FALSE(disk.Send(IOCTL_ATA_PASS_THROUGH_DIRECT, ata));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    ata[2] = 0x03;
    ata[12] = 0;
    EXPECT_FALSE(disk.Send(IOCTL_ATA_PASS_THROUGH_DIRECT, ata));
    ata[12] = 60;
    ASSERT_TRUE(disk.Send(IOCTL_ATA_PASS_THROUGH_DIRECT, ata));
    EXPECT_EQ(ata[46], 0x50);  // status: ready, no error
    EXPECT_EQ(SectorSum(data), 0u);
    EXPECT_EQ(data[510], 0xA5);
}

TEST_F(SimulatedDiskTest, SmartSectorsComeThroughAtaPassThrough16)
{
    auto model = AtaDisk(0);
    model.ata->smartAttributes = {{194, 0x0022, 100, 90, 0x0000'3200'1200'28ull}, {9, 0x0032, 98, 98, 0x0100000001ull}};
    model.ata->smartThresholds = {{9, 0}, {5, 36}};
    auto disabled = AtaDisk(1);
    disabled.ata->smartEnabled = false;
    machine.disks.AddDisk(model);
    machine.disks.AddDisk(disabled);

    Handle disk(L"\\\\.\\PhysicalDrive0");
    std::vector<std::uint8_t> data(512, 0);
    auto block = ScsiBlock(SmartCdb(0xD0), data);
    ASSERT_TRUE(disk.Send(IOCTL_SCSI_PASS_THROUGH_DIRECT, block));
    EXPECT_EQ(block[2], 0x00);
    EXPECT_EQ(SectorSum(data), 0u);
    EXPECT_EQ(std::vector<std::uint8_t>(data.begin() + 2, data.begin() + 14),
              (std::vector<std::uint8_t>{194, 0x22, 0x00, 100, 90, 0x28, 0x00, 0x12, 0x00, 0x32, 0x00, 0}));
    EXPECT_EQ(data[14], 9);

    std::fill(data.begin(), data.end(), 0);
    block = ScsiBlock(SmartCdb(0xD1), data);
    ASSERT_TRUE(disk.Send(IOCTL_SCSI_PASS_THROUGH_DIRECT, block));
    EXPECT_EQ(data[14], 5);
    EXPECT_EQ(data[15], 36);
    EXPECT_EQ(SectorSum(data), 0u);

    Handle off(L"\\\\.\\PhysicalDrive1");
    block = ScsiBlock(SmartCdb(0xD0), data);
    ASSERT_TRUE(off.Send(IOCTL_SCSI_PASS_THROUGH_DIRECT, block));
    EXPECT_EQ(block[2], 0x02);
    EXPECT_EQ(block[64 + 2], 0x0B);  // aborted command
}

TEST_F(SimulatedDiskTest, DescriptorAndLayoutAnswerShortBuffersAsWindowsDoes)
{
    auto model = AtaDisk(0);
    model.descriptor.busType = BusTypeNvme;
    model.descriptor.vendor = "";
    model.descriptor.product = "PRODUCT";
    model.layout.style = sim::PartitionStyle::Mbr;  // one table: four entries
    machine.disks.AddDisk(model);
    machine.disks.AddDisk(AtaDisk(1));  // no partition table
    Handle disk(L"\\\\.\\PhysicalDrive0");

    std::vector<std::uint8_t> query(64, 0);  // StorageDeviceProperty, PropertyStandardQuery
    ASSERT_TRUE(disk.Send(IOCTL_STORAGE_QUERY_PROPERTY, query, 8));
    EXPECT_EQ(disk.Returned(), 8u);
    EXPECT_EQ(query[4], 40 + 8);  // head, then "PRODUCT" and its zero
    query.assign(64, 0);
    ASSERT_TRUE(disk.Send(IOCTL_STORAGE_QUERY_PROPERTY, query, 48));
    EXPECT_EQ(query[28], 17);     // bus type
    EXPECT_EQ(query[12], 0);      // no vendor text
    EXPECT_EQ(query[16], 40);
    EXPECT_STREQ(reinterpret_cast<const char*>(&query[40]), "PRODUCT");

    std::vector<std::uint8_t> layout(48 + 3 * 144, 0);
    EXPECT_FALSE(disk.Send(IOCTL_DISK_GET_DRIVE_LAYOUT_EX, layout));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    layout.assign(48 + 4 * 144, 0);
    ASSERT_TRUE(disk.Send(IOCTL_DISK_GET_DRIVE_LAYOUT_EX, layout));
    EXPECT_EQ(layout[4], 4);
    Handle raw(L"\\\\.\\PhysicalDrive1");
    layout.assign(48, 0xFF);
    ASSERT_TRUE(raw.Send(IOCTL_DISK_GET_DRIVE_LAYOUT_EX, layout));
    EXPECT_EQ(raw.Returned(), 48u);
    EXPECT_EQ(layout[0], 2);  // PARTITION_STYLE_RAW
    EXPECT_EQ(layout[4], 0);
}

}  // namespace
}  // namespace hardware_test
