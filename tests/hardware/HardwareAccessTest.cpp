// The disk access layer on the described machines of data/: the
// disk list, the pass-through requests and how each refusal or failure ends.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Common/HardwareAccess.h"
#include "RaisedCode.h"
#include "SimMachineFixture.h"
#include "failure_reporting/ResultException.h"

namespace {

using Talvex::Quorlin::Cpp::Common::ResultException;
using Talvex::Quorlin::Cpp::Common::HardwareAccessLib::DiskDriveMediaType;
using Talvex::Quorlin::Cpp::Common::HardwareAccessLib::HardwareAccess;
using Bytes = std::vector<std::uint8_t>;

Bytes Slice(const Bytes& input, std::size_t offset, std::size_t count)
{
    return {input.begin() + static_cast<std::ptrdiff_t>(offset),
            input.begin() + static_cast<std::ptrdiff_t>(offset + count)};
}

std::uint32_t U32(const Bytes& input, std::size_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, input.data() + offset, 4);
    return value;
}

std::wstring Drive(int number) { return L"\\\\.\\PhysicalDrive" + std::to_wstring(number); }

class HardwareAccessTest : public SimMachineFixture {};

TEST_F(HardwareAccessTest, ListsDisksByDeviceNumberKeepingWhereTheyWereFound)
{
    HardwareAccess access;
    EXPECT_TRUE(access.GetAllBasicDiskInfo({}).empty());

    DescribeFile(HARDWARE_TEST_DATA "/unsorted.json");  // disks 2, 0, 1, 12
    const auto disks = access.GetAllBasicDiskInfo({{1, DiskDriveMediaType::SSD}, {1, DiskDriveMediaType::HDD}, {2, DiskDriveMediaType::HDD}});
    ASSERT_EQ(disks.size(), 4u);
    const std::uint32_t numbers[] = {0, 1, 2, 12};
    const std::uint32_t indexes[] = {1, 2, 0, 3};
    const DiskDriveMediaType types[] = {DiskDriveMediaType::Unknown, DiskDriveMediaType::SSD, DiskDriveMediaType::HDD,
                                        DiskDriveMediaType::Unknown};
    for (std::size_t i = 0; i < disks.size(); ++i) {
        EXPECT_EQ(disks[i].DeviceNumber, numbers[i]) << i;
        EXPECT_EQ(disks[i].Index, indexes[i]) << i;
        EXPECT_EQ(disks[i].MediaType, types[i]) << i;
    }
    EXPECT_EQ(disks[0].DevicePath, L"\\\\?\\scsi#disk&ven_ata&prod_test#4&0#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}");
    EXPECT_EQ(disks[0].InstanceId, L"SCSI\\DISK&VEN_ATA&PROD_TEST\\4&0");
    EXPECT_EQ(disks[3].PhysicalDrivePath, L"\\\\.\\PhysicalDrive12");
    EXPECT_EQ(disks[3].DevicePath, L"\\\\?\\SCSI#Disk&Ven_X#12#{53F56307-B6BF-11D0-94F2-00A0C91EFB8B}");
    EXPECT_EQ(disks[3].InstanceId, L"");

    // An interface that cannot be opened ends the list, as does a disk that
    // refuses even a read-only open.
    for (const auto& [machineName, first] : {std::pair{"gone", 3u}, std::pair{"locked", 5u}}) {
        DescribeFile(HARDWARE_TEST_DATA "/" + std::string(machineName) + ".json");
        const auto listed = access.GetAllBasicDiskInfo({});
        ASSERT_EQ(listed.size(), 1u) << machineName;
        EXPECT_EQ(listed[0].DeviceNumber, first) << machineName;
    }
    EXPECT_EQ(Raised([&] { access.GetDeviceNumber(Drive(0)); }), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
}

TEST_F(HardwareAccessTest, IdentifyAndLogRequestsCarryTheExpectedBlocks)
{
    DescribeFile(HARDWARE_TEST_DATA "/quirks.json");
    HardwareAccess access;
    EXPECT_EQ(access.GetEppid(Drive(0)), "ABCDEFGHIJKLMNOPQRST");
    ASSERT_TRUE(access.ProbeScsiInquiry(Drive(0)));
    std::uint8_t data[512] = {};
    ASSERT_TRUE(access.SatIdentifyDevice(Drive(0), data));

    const auto ata = machine.Disks()->Disk(0)->Requests(IOCTL_ATA_PASS_THROUGH_DIRECT);
    ASSERT_EQ(ata.size(), 2u);  // IDENTIFY, then READ LOG EXT
    for (const auto& request : ata) {
        EXPECT_EQ(request.inSize, 48u);
        EXPECT_EQ(request.outSize, 48u);
        EXPECT_TRUE(request.sameBuffer);
        EXPECT_EQ(Slice(request.input, 0, 8), (Bytes{48, 0, 3, 0, 0, 0, 0, 0}));
        EXPECT_EQ(U32(request.input, 8), 512u);
        EXPECT_EQ(U32(request.input, 12), 60u);
        EXPECT_EQ(Slice(request.input, 16, 8), Bytes(8, 0));
        EXPECT_EQ(Slice(request.input, 32, 8), Bytes(8, 0));
    }
    EXPECT_EQ(Slice(ata[0].input, 40, 8), (Bytes{0, 0, 0, 0, 0, 0, 0xEC, 0}));
    EXPECT_EQ(Slice(ata[1].input, 40, 8), (Bytes{0, 1, 0x9A, 0, 0, 0, 0x2F, 0}));

    const auto scsi = machine.Disks()->Disk(0)->Requests(IOCTL_SCSI_PASS_THROUGH_DIRECT);
    // The block around them is the SMART reads' (checked there); here the CDBs.
    ASSERT_EQ(scsi.size(), 2u);  // INQUIRY, then the translated IDENTIFY
    EXPECT_EQ(scsi[0].input[6], 6);
    EXPECT_EQ(U32(scsi[0].input, 12), 36u);
    EXPECT_EQ(Slice(scsi[0].input, 36, 6), (Bytes{0x12, 0, 0, 0, 0x24, 0}));
    EXPECT_EQ(scsi[1].input[6], 16);
    EXPECT_EQ(U32(scsi[1].input, 12), 512u);
    EXPECT_EQ(Slice(scsi[1].input, 36, 16), (Bytes{0x85, 0x08, 0x0E, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0xEC, 0}));
}

TEST_F(HardwareAccessTest, ModelNumberFallsBackOnlyWhenTheAtaAnswerIsEmpty)
{
    DescribeFile(HARDWARE_TEST_DATA "/quirks.json");  // disk 1: the ATA path answers zeros; disk 2: the ATA request fails
    HardwareAccess access;
    std::uint8_t untouched[512];
    std::memset(untouched, 0xCC, sizeof(untouched));
    EXPECT_FALSE(access.AtaIdentifyDevice(Drive(1), untouched));
    EXPECT_EQ(untouched[0], 0xCC);
    EXPECT_EQ(untouched[511], 0xCC);
    EXPECT_EQ(access.GetModelNumber(Drive(1)), "ZERO ATA MODEL" + std::string(26, ' '));
    EXPECT_EQ(access.GetEppid(Drive(1)), "ZEROS-ATA-EPPID-0001");

    EXPECT_EQ(Raised([&] { access.AtaIdentifyDevice(Drive(2), untouched); }), HRESULT_FROM_WIN32(ERROR_IO_DEVICE));
    const auto scsiBefore = machine.Disks()->Disk(2)->Requests(IOCTL_SCSI_PASS_THROUGH_DIRECT).size();
    EXPECT_EQ(access.GetModelNumber(Drive(2)), "");
    EXPECT_EQ(machine.Disks()->Disk(2)->Requests(IOCTL_SCSI_PASS_THROUGH_DIRECT).size(), scsiBefore);
    // The piece-part identifier still goes on to the translated path.
    EXPECT_EQ(access.GetEppid(Drive(2)), "FAILING-ATA-EPPID-01");
}

TEST_F(HardwareAccessTest, EppidNeedsLoggingAndAPageTheDriveReturns)
{
    DescribeFile(HARDWARE_TEST_DATA "/quirks.json");
    HardwareAccess access;
    EXPECT_EQ(access.GetEppid(Drive(3)), "") << "no General Purpose Logging";
    EXPECT_EQ(machine.Disks()->Disk(3)->Requests(IOCTL_SCSI_PASS_THROUGH_DIRECT).size(), 1u);  // identify only
    EXPECT_EQ(access.GetEppid(Drive(4)), "REFUSED-ON-ATA-ONLY1");
    std::uint8_t page[512] = {};
    EXPECT_FALSE(access.AtaReadEppidLog(Drive(4), page));
    EXPECT_EQ(access.GetEppid(Drive(5)), "") << "refused on both paths";
    EXPECT_EQ(access.GetEppid(Drive(6)), "") << "an all-zero page";
    EXPECT_EQ(access.GetEppid(Drive(11)), "") << "no such disk";
}

TEST_F(HardwareAccessTest, InquiryProbeReadsTheScsiStatus)
{
    DescribeFile(HARDWARE_TEST_DATA "/quirks.json");
    HardwareAccess access;
    EXPECT_FALSE(access.ProbeScsiInquiry(Drive(7)));
    EXPECT_EQ(Raised([&] { access.ProbeScsiInquiry(Drive(8)); }), HRESULT_FROM_WIN32(ERROR_INVALID_FUNCTION));
    EXPECT_EQ(Raised([&] { access.ProbeScsiInquiry(Drive(9)); }), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    // Pass-through needs write access; the model and identifier quietly give up.
    EXPECT_EQ(access.GetModelNumber(Drive(9)), "");
    EXPECT_EQ(access.GetEppid(Drive(9)), "");
}

TEST_F(HardwareAccessTest, AtaStringsSwapEachWholePairAndKeepEveryByte)
{
    EXPECT_EQ(HardwareAccess::AtaBytesToString({'B', 'A', 'D', 'C'}), "ABCD");
    EXPECT_EQ(HardwareAccess::AtaBytesToString({'2', '1', 0, 'x', '3'}), std::string("12x\0"
                                                                                     "3",
                                                                                     5));
    EXPECT_EQ(HardwareAccess::AtaBytesToString({}), "");
}

TEST_F(HardwareAccessTest, SizeCountsWholeCylinders)
{
    DescribeFile(HARDWARE_TEST_DATA "/quirks.json");
    HardwareAccess access;
    EXPECT_EQ(access.GetDiskSizeInMegaBytes(0), 7844u);  // 1000 cylinders of 255 x 63 x 512 bytes
    EXPECT_EQ(Raised([&] { access.GetDiskSizeInMegaBytes(9); }), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Raised([&] { access.GetDiskSizeInMegaBytes(11); }), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

}  // namespace
