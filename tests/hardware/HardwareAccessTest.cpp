#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "Common/HardwareAccess.h"
#include "DiskMachine.h"
#include "failure_reporting/ResultException.h"
#include "RaisedCode.h"

namespace hardware_test {
namespace {

using Talvex::Quorlin::Cpp::Common::ResultException;
using Talvex::Quorlin::Cpp::Common::HardwareAccessLib::DiskDriveMediaType;
using Talvex::Quorlin::Cpp::Common::HardwareAccessLib::HardwareAccess;

std::vector<std::uint8_t> Bytes(const std::vector<std::uint8_t>& input, std::size_t offset, std::size_t count)
{
    return {input.begin() + static_cast<std::ptrdiff_t>(offset),
            input.begin() + static_cast<std::ptrdiff_t>(offset + count)};
}

std::uint32_t U32(const std::vector<std::uint8_t>& input, std::size_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, input.data() + offset, 4);
    return value;
}

using HardwareAccessTest = DiskTest;

TEST_F(HardwareAccessTest, ListsDisksByDeviceNumberKeepingWhereTheyWereFound)
{
    for (std::uint32_t number : {2u, 0u, 1u}) machine.disks.AddDisk(AtaDisk(number));
    auto unnamed = AtaDisk(12);
    unnamed.interfacePath = L"\\\\?\\SCSI#Disk&Ven_X#12#{53F56307-B6BF-11D0-94F2-00A0C91EFB8B}";
    unnamed.instanceId.clear();
    machine.disks.AddDisk(unnamed);

    HardwareAccess access;
    const auto disks = access.GetAllBasicDiskInfo({{1, DiskDriveMediaType::SSD}, {1, DiskDriveMediaType::HDD}, {2, DiskDriveMediaType::HDD}});
    ASSERT_EQ(disks.size(), 4u);
    const std::uint32_t numbers[] = {0, 1, 2, 12};
    const std::uint32_t indexes[] = {1, 2, 0, 3};
    const DiskDriveMediaType types[] = {DiskDriveMediaType::Unknown, DiskDriveMediaType::SSD,
                                        DiskDriveMediaType::HDD, DiskDriveMediaType::Unknown};
    for (std::size_t i = 0; i < disks.size(); ++i) {
        EXPECT_EQ(disks[i].DeviceNumber, numbers[i]);
        EXPECT_EQ(disks[i].Index, indexes[i]);
        EXPECT_EQ(disks[i].MediaType, types[i]);
    }
    EXPECT_EQ(disks[0].DevicePath, InterfacePath(0));
    EXPECT_EQ(disks[0].InstanceId, L"SCSI\\DISK&VEN_ATA&PROD_TEST\\4&0");
    EXPECT_EQ(disks[3].PhysicalDrivePath, L"\\\\.\\PhysicalDrive12");
    EXPECT_EQ(disks[3].DevicePath, unnamed.interfacePath);
    EXPECT_EQ(disks[3].InstanceId, L"");
}

TEST_F(HardwareAccessTest, AnInterfaceThatCannotBeOpenedEndsTheList)
{
    HardwareAccess access;
    EXPECT_TRUE(access.GetAllBasicDiskInfo({}).empty());

    machine.disks.AddDisk(AtaDisk(3));
    machine.disks.AddInterface({L"\\\\?\\scsi#disk&ven_gone#1#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}", L"GONE"});
    machine.disks.AddDisk(AtaDisk(1));
    auto disks = access.GetAllBasicDiskInfo({});
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(disks[0].DeviceNumber, 3u);

    // A disk that refuses even a read-only open ends it the same way.
    DiskMachine other;
    platform::MachineScope otherScope(other);
    auto locked = AtaDisk(0);
    locked.faults.access = sim::OpenAccess::None;
    other.disks.AddDisk(AtaDisk(5));
    other.disks.AddDisk(locked);
    other.disks.AddDisk(AtaDisk(6));
    disks = access.GetAllBasicDiskInfo({});
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(disks[0].DeviceNumber, 5u);
    EXPECT_EQ(other.Ledger().OpenReport(), "");
    EXPECT_EQ(Raised([&] { access.GetDeviceNumber(L"\\\\.\\PhysicalDrive0"); }), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
}

TEST_F(HardwareAccessTest, IdentifyAndLogRequestsCarryTheExpectedBlocks)
{
    machine.disks.AddDisk(AtaDisk(0, "MODEL X", "ABCDEFGHIJKLMNOPQRST"));
    HardwareAccess access;
    EXPECT_EQ(access.GetEppid(L"\\\\.\\PhysicalDrive0"), "ABCDEFGHIJKLMNOPQRST");
    ASSERT_TRUE(access.ProbeScsiInquiry(L"\\\\.\\PhysicalDrive0"));
    std::uint8_t data[512] = {};
    ASSERT_TRUE(access.SatIdentifyDevice(L"\\\\.\\PhysicalDrive0", data));

    const auto ata = machine.disks.Disk(0)->Requests(IOCTL_ATA_PASS_THROUGH_DIRECT);
    ASSERT_EQ(ata.size(), 2u);  // IDENTIFY, then READ LOG EXT
    for (const auto& request : ata) {
        EXPECT_EQ(request.inSize, 48u);
        EXPECT_EQ(request.outSize, 48u);
        EXPECT_TRUE(request.sameBuffer);
        EXPECT_EQ(Bytes(request.input, 0, 8), (std::vector<std::uint8_t>{48, 0, 3, 0, 0, 0, 0, 0}));
        EXPECT_EQ(U32(request.input, 8), 512u);
        EXPECT_EQ(U32(request.input, 12), 60u);
        EXPECT_EQ(Bytes(request.input, 16, 8), std::vector<std::uint8_t>(8, 0));
        EXPECT_EQ(Bytes(request.input, 32, 8), std::vector<std::uint8_t>(8, 0));
    }
    EXPECT_EQ(Bytes(ata[0].input, 40, 8), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0xEC, 0}));
    EXPECT_EQ(Bytes(ata[1].input, 40, 8), (std::vector<std::uint8_t>{0, 1, 0x9A, 0, 0, 0, 0x2F, 0}));

    const auto scsi = machine.disks.Disk(0)->Requests(IOCTL_SCSI_PASS_THROUGH_DIRECT);
    // The block around them is the SMART reads' (checked there); here the CDBs.
    ASSERT_EQ(scsi.size(), 2u);  // INQUIRY, then the translated IDENTIFY
    EXPECT_EQ(scsi[0].input[6], 6);
    EXPECT_EQ(U32(scsi[0].input, 12), 36u);
    EXPECT_EQ(Bytes(scsi[0].input, 36, 6), (std::vector<std::uint8_t>{0x12, 0, 0, 0, 0x24, 0}));
    EXPECT_EQ(scsi[1].input[6], 16);
    EXPECT_EQ(U32(scsi[1].input, 12), 512u);
    EXPECT_EQ(Bytes(scsi[1].input, 36, 16),
              (std::vector<std::uint8_t>{0x85, 0x08, 0x0E, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0xEC, 0}));
}

TEST_F(HardwareAccessTest, ModelNumberFallsBackOnlyWhenTheAtaAnswerIsEmpty)
{
    // Disk 0: the ATA path answers zeros; disk 1: the ATA request fails.
    auto zeros = AtaDisk(0, "ZERO ATA MODEL", "ZEROS-ATA-EPPID-0001");
    zeros.faults.requests.push_back(Fault(IOCTL_ATA_PASS_THROUGH_DIRECT, sim::FaultKind::ZeroData));
    auto failing = AtaDisk(1, "FAILING ATA MODEL", "FAILING-ATA-EPPID-01");
    failing.faults.requests.push_back(Fault(IOCTL_ATA_PASS_THROUGH_DIRECT, sim::FaultKind::Fail, ERROR_IO_DEVICE));
    machine.disks.AddDisk(zeros);
    machine.disks.AddDisk(failing);
    HardwareAccess access;

    std::uint8_t untouched[512];
    std::memset(untouched, 0xCC, sizeof(untouched));
    EXPECT_FALSE(access.AtaIdentifyDevice(L"\\\\.\\PhysicalDrive0", untouched));
    EXPECT_EQ(untouched[0], 0xCC);
    EXPECT_EQ(untouched[511], 0xCC);
    EXPECT_EQ(access.GetModelNumber(L"\\\\.\\PhysicalDrive0"), Padded("ZERO ATA MODEL", 40));
    EXPECT_EQ(access.GetEppid(L"\\\\.\\PhysicalDrive0"), "ZEROS-ATA-EPPID-0001");

    EXPECT_EQ(Raised([&] { access.AtaIdentifyDevice(L"\\\\.\\PhysicalDrive1", untouched); }),
              HRESULT_FROM_WIN32(ERROR_IO_DEVICE));
    const auto scsiBefore = machine.disks.Disk(1)->Requests(IOCTL_SCSI_PASS_THROUGH_DIRECT).size();
    EXPECT_EQ(access.GetModelNumber(L"\\\\.\\PhysicalDrive1"), "");
    EXPECT_EQ(machine.disks.Disk(1)->Requests(IOCTL_SCSI_PASS_THROUGH_DIRECT).size(), scsiBefore);
    // The piece-part identifier still goes on to the translated path.
    EXPECT_EQ(access.GetEppid(L"\\\\.\\PhysicalDrive1"), "FAILING-ATA-EPPID-01");
}

TEST_F(HardwareAccessTest, EppidNeedsLoggingAndAPageTheDriveReturns)
{
    auto noLogging = AtaDisk(0);
    noLogging.ata->identity.word84 = 0x4000;  // General Purpose Logging not supported
    auto refused = AtaDisk(1, "M", "REFUSED-ON-ATA-ONLY1");
    sim::RequestFault refuseLog = Fault(IOCTL_ATA_PASS_THROUGH_DIRECT, sim::FaultKind::Refuse);
    refuseLog.command = 0x2F;
    refused.faults.requests.push_back(refuseLog);
    auto refusedBoth = refused;
    refusedBoth.number = 2;
    refusedBoth.interfacePath.clear();
    sim::RequestFault checkCondition = Fault(IOCTL_SCSI_PASS_THROUGH_DIRECT, sim::FaultKind::Refuse);
    checkCondition.command = 0x2F;
    refusedBoth.faults.requests.push_back(checkCondition);
    auto emptyPage = AtaDisk(3, "M", "");
    emptyPage.ata->logPages[sim::kEppidLogAddress].assign(512, 0);
    for (const auto& disk : {noLogging, refused, refusedBoth, emptyPage}) machine.disks.AddDisk(disk);
    HardwareAccess access;

    EXPECT_EQ(access.GetEppid(L"\\\\.\\PhysicalDrive0"), "");
    EXPECT_EQ(machine.disks.Disk(0)->Requests(IOCTL_SCSI_PASS_THROUGH_DIRECT).size(), 1u);  // identify only
    EXPECT_EQ(access.GetEppid(L"\\\\.\\PhysicalDrive1"), "REFUSED-ON-ATA-ONLY1");
    std::uint8_t page[512] = {};
    EXPECT_FALSE(access.AtaReadEppidLog(L"\\\\.\\PhysicalDrive1", page));
    EXPECT_EQ(access.GetEppid(L"\\\\.\\PhysicalDrive2"), "");
    EXPECT_EQ(access.GetEppid(L"\\\\.\\PhysicalDrive3"), "");
    EXPECT_EQ(access.GetEppid(L"\\\\.\\PhysicalDrive9"), "");
}

TEST_F(HardwareAccessTest, InquiryProbeReadsTheScsiStatus)
{
    auto refusing = AtaDisk(0);
    sim::RequestFault refuse = Fault(IOCTL_SCSI_PASS_THROUGH_DIRECT, sim::FaultKind::Refuse);
    refuse.command = 0x12;
    refusing.faults.requests.push_back(refuse);
    auto noScsi = AtaDisk(1);
    noScsi.faults.requests.push_back(Fault(IOCTL_SCSI_PASS_THROUGH_DIRECT, sim::FaultKind::Fail, ERROR_INVALID_FUNCTION));
    auto readOnly = AtaDisk(2);
    readOnly.faults.access = sim::OpenAccess::ReadOnly;
    machine.disks.AddDisk(refusing);
    machine.disks.AddDisk(noScsi);
    machine.disks.AddDisk(readOnly);
    HardwareAccess access;

    EXPECT_FALSE(access.ProbeScsiInquiry(L"\\\\.\\PhysicalDrive0"));
    EXPECT_EQ(Raised([&] { access.ProbeScsiInquiry(L"\\\\.\\PhysicalDrive1"); }),
              HRESULT_FROM_WIN32(ERROR_INVALID_FUNCTION));
    EXPECT_EQ(Raised([&] { access.ProbeScsiInquiry(L"\\\\.\\PhysicalDrive2"); }),
              HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    // Pass-through needs write access; the model and identifier quietly give up.
    EXPECT_EQ(access.GetModelNumber(L"\\\\.\\PhysicalDrive2"), "");
    EXPECT_EQ(access.GetEppid(L"\\\\.\\PhysicalDrive2"), "");
}

TEST_F(HardwareAccessTest, AtaStringsSwapEachWholePairAndKeepEveryByte)
{
    std::vector<std::uint8_t> model(40, ' ');
    model[0] = 'B';
    model[1] = 'A';
    EXPECT_EQ(HardwareAccess::AtaBytesToString(model), "AB" + std::string(38, ' '));
    EXPECT_EQ(HardwareAccess::AtaBytesToString({'2', '1', 0, 'x', '3'}), std::string("12x\0"
                                                                                     "3",
                                                                                     5));
    EXPECT_EQ(HardwareAccess::AtaBytesToString({}), "");
}

TEST_F(HardwareAccessTest, SizeCountsWholeCylinders)
{
    auto disk = AtaDisk(0);
    disk.geometry = {1000, 12, 255, 63, 512};  // 8,225,280,000 bytes
    machine.disks.AddDisk(disk);
    auto readOnly = AtaDisk(1);
    readOnly.faults.access = sim::OpenAccess::ReadOnly;
    machine.disks.AddDisk(readOnly);
    HardwareAccess access;

    EXPECT_EQ(access.GetDiskSizeInMegaBytes(0), 7844u);
    EXPECT_EQ(Raised([&] { access.GetDiskSizeInMegaBytes(1); }), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Raised([&] { access.GetDiskSizeInMegaBytes(4); }), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

}  // namespace
}  // namespace hardware_test
