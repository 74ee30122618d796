#include "live/LiveMachine.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "ReplayKernel.h"
#include "platform/Layouts.h"

namespace {

using livetest::Bytes;
using livetest::recorded;

constexpr GUID diskClass{0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};

struct Lab {
    explicit Lab(bool denyOpen = false, std::filesystem::path proc = recorded / "tree/proc")
        : kernel(std::make_shared<livetest::ReplayKernel>()),
          machine((kernel->denyOpen = denyOpen, live::Roots{recorded / "tree/sys", proc, livetest::DevRoot()}),
                  live::LiveOptions{std::chrono::milliseconds(5)}, kernel),
          scope(machine)
    {
    }
    std::shared_ptr<livetest::ReplayKernel> kernel;
    live::LiveMachine machine;
    platform::MachineScope scope;
};

// One request on a freshly opened path; the Win32 error (0 on success).
DWORD Io(const std::wstring& path, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD returned = 0;
    const DWORD error = DeviceIoControl(file, code, in, inSize, out, outSize, &returned, nullptr) ? 0 : GetLastError();
    CloseHandle(file);
    return error;
}

std::wstring Drive(int n) { return L"\\\\.\\PhysicalDrive" + std::to_wstring(n); }

std::string GuidText(const GUID& g)
{
    char text[40];
    std::snprintf(text, sizeof text, "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", g.Data1, g.Data2, g.Data3,
                  g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

struct Layout {
    DWORD error = 0;
    DRIVE_LAYOUT_INFORMATION_EX head{};
    std::vector<PARTITION_INFORMATION_EX> entries;
};

Layout ReadLayout(int drive)
{
    std::vector<std::uint8_t> buffer(48 + 16 * sizeof(PARTITION_INFORMATION_EX));
    Layout layout;
    layout.error = Io(Drive(drive), IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::memcpy(&layout.head, buffer.data(), 48);
    for (DWORD i = 0; layout.error == 0 && i < layout.head.PartitionCount; ++i) {
        PARTITION_INFORMATION_EX entry;
        std::memcpy(&entry, buffer.data() + 48 + i * sizeof(entry), sizeof(entry));
        layout.entries.push_back(entry);
    }
    return layout;
}

TEST(LiveMachine, DisksInDriveNumberOrderWithIdentitiesBusesAndGeometries)
{
    Lab lab;
    struct Row {
        const wchar_t* instanceId;
        std::uint32_t bus;
        LONGLONG cylinders;
    };
    const Row rows[] = {
        {L"SCSI\\DISK&VEN_ATA&PROD_HWLAB_SATA_SSD_4\\HWLAB-SATA-0001", BusTypeSata, 522},
        {L"SCSI\\DISK&VEN_ATA&PROD_HWLAB_SATA_HDD_2\\HWLAB-SATA-0002", BusTypeSata, 261},
        {L"SCSI\\DISK&VEN_NVME&PROD_QEMU_NVME_CTRL\\HWLABNVME0001", BusTypeNvme, 391},
        {L"SCSI\\DISK&VEN_VIRTIO&PROD_BLOCK_DEVICE\\HWLAB-VIRTIO-1", BusTypeScsi, 65},
    };
    const auto interfaces = lab.machine.DeviceInterfaces(diskClass);
    ASSERT_EQ(interfaces.size(), std::size(rows));
    for (int n = 0; n < static_cast<int>(std::size(rows)); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(interfaces[n].instanceId, rows[n].instanceId);
        STORAGE_DEVICE_NUMBER number{};
        ASSERT_EQ(Io(interfaces[n].path, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof number), 0u);
        EXPECT_EQ(number.DeviceNumber, static_cast<DWORD>(n));
        STORAGE_PROPERTY_QUERY query{StorageDeviceProperty, PropertyStandardQuery, {0}};
        std::uint8_t descriptor[512] = {};
        ASSERT_EQ(Io(Drive(n), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, descriptor, sizeof descriptor), 0u);
        STORAGE_DEVICE_DESCRIPTOR head;
        std::memcpy(&head, descriptor, sizeof head);
        EXPECT_EQ(static_cast<std::uint32_t>(head.BusType), rows[n].bus);
        DISK_GEOMETRY geometry{};
        ASSERT_EQ(Io(Drive(n), IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry, sizeof geometry), 0u);
        EXPECT_EQ(geometry.Cylinders.QuadPart, rows[n].cylinders);
        EXPECT_EQ(geometry.TracksPerCylinder * geometry.SectorsPerTrack * geometry.BytesPerSector, 255u * 63 * 512);
    }
    EXPECT_EQ(Io(Drive(4), IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, nullptr, 0), DWORD{ERROR_FILE_NOT_FOUND});
}

// The partition ids are those blkid printed in the lab (tools/blkid.txt).
TEST(LiveMachine, PartitionTablesAsBlkidReadThem)
{
    Lab lab;
    const Layout gpt = ReadLayout(0);
    ASSERT_EQ(gpt.error, 0u);
    EXPECT_EQ(gpt.head.PartitionStyle, DWORD{PARTITION_STYLE_GPT});
    ASSERT_EQ(gpt.entries.size(), 3u);
    const char* ids[] = {"4857424c-0001-4000-8000-000000005a01", "4857424c-0002-4000-8000-000000005a02",
                         "4857424c-0003-4000-8000-000000005a03"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(GuidText(gpt.entries[i].Gpt.PartitionId), ids[i]) << i;
        EXPECT_EQ(gpt.entries[i].PartitionNumber, i + 1);
    }
    EXPECT_EQ(gpt.entries[1].StartingOffset.QuadPart, 269484032);
    EXPECT_EQ(std::u16string(gpt.entries[1].Gpt.Name), u"lab-root");

    const Layout mbr = ReadLayout(1);
    ASSERT_EQ(mbr.error, 0u);
    EXPECT_EQ(mbr.head.PartitionStyle, DWORD{PARTITION_STYLE_MBR});
    EXPECT_EQ(mbr.head.Mbr.Signature, 0x4857424Cu);
    ASSERT_EQ(mbr.entries.size(), 4u);
    EXPECT_EQ(mbr.entries[0].Mbr.PartitionType, 0x0C);
    EXPECT_EQ(mbr.entries[1].PartitionNumber, 0u) << "the extended container";
    EXPECT_EQ(mbr.entries[2].PartitionNumber, 5u);
    EXPECT_EQ(mbr.entries[2].Mbr.PartitionType, 0x83);
    EXPECT_EQ(mbr.entries[2].StartingOffset.QuadPart, 538968064);
    // Readers take a partition's id from offset 48 of its entry: for MBR that
    // must name the disk (its signature) and the partition (its first sector,
    // 538968064 / 512), or the same layout on two disks would give equal ids.
    GUID read{};
    std::memcpy(&read, reinterpret_cast<const std::uint8_t*>(&mbr.entries[2]) + 48, sizeof read);
    EXPECT_EQ(GuidText(read), "4857424c-1000-0010-0000-000000000000");

    const Layout raw = ReadLayout(3);
    EXPECT_EQ(raw.error, 0u);
    EXPECT_EQ(raw.head.PartitionStyle, DWORD{PARTITION_STYLE_RAW});
    EXPECT_EQ(raw.head.PartitionCount, 0u);
}

TEST(LiveMachine, LettersFollowTheMountsAndVolumesAnswerForTheirPartitions)
{
    Lab lab;
    wchar_t strings[32] = {};
    ASSERT_EQ(GetLogicalDriveStringsW(32, strings), 12u);
    EXPECT_EQ(std::wstring(strings, 12), std::wstring(L"C:\\\0D:\\\0E:\\\0", 12));
    struct Row {
        const wchar_t* volume;
        DWORD disk, partition;
        const char* statFile;
    };
    const Row rows[] = {
        {L"\\\\.\\c:", 0, 2, "tree/sys/block/sda/sda2/stat"},
        {L"\\\\.\\D:", 1, 5, "tree/sys/block/sdb/sdb5/stat"},
        {L"\\\\?\\E:", 2, 1, "tree/sys/block/nvme0n1/nvme0n1p1/stat"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.partition);
        STORAGE_DEVICE_NUMBER number{};
        ASSERT_EQ(Io(row.volume, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof number), 0u);
        EXPECT_EQ(number.DeviceNumber, row.disk);
        EXPECT_EQ(number.PartitionNumber, row.partition);
        PARTITION_INFORMATION_EX info{};
        ASSERT_EQ(Io(row.volume, IOCTL_DISK_GET_PARTITION_INFO_EX, nullptr, 0, &info, sizeof info), 0u);
        EXPECT_EQ(info.PartitionNumber, row.partition);
        const Layout layout = ReadLayout(static_cast<int>(row.disk));
        const auto same = std::find_if(layout.entries.begin(), layout.entries.end(), [&](const auto& e) {
            return e.PartitionNumber == row.partition && std::memcmp(&e, &info, sizeof info) == 0;
        });
        EXPECT_NE(same, layout.entries.end()) << "the volume's entry differs from the layout's";
        DISK_PERFORMANCE performance{};
        ASSERT_EQ(Io(row.volume, IOCTL_DISK_PERFORMANCE, nullptr, 0, &performance, sizeof performance), 0u);
        const auto stat = Bytes(recorded / row.statFile);
        std::istringstream fields(std::string(stat.begin(), stat.end()));
        long long reads = 0, merged = 0, sectorsRead = 0;
        fields >> reads >> merged >> sectorsRead;
        EXPECT_EQ(performance.BytesRead.QuadPart, 512 * sectorsRead);
        EXPECT_EQ(performance.ReadCount, static_cast<DWORD>(reads));
        EXPECT_EQ(performance.StorageDeviceNumber, row.disk);
    }
    EXPECT_EQ(Io(L"\\\\.\\F:", IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, nullptr, 0), DWORD{ERROR_FILE_NOT_FOUND});
}

ATA_PASS_THROUGH_DIRECT AtaRequest(std::initializer_list<UCHAR> taskFile, void* data, USHORT flags = ATA_FLAGS_DATA_IN)
{
    ATA_PASS_THROUGH_DIRECT block{};
    block.Length = sizeof block;
    block.AtaFlags = flags;
    block.DataTransferLength = data != nullptr ? 512 : 0;
    block.TimeOutValue = 10;
    block.DataBuffer = data;
    std::copy(taskFile.begin(), taskFile.end(), block.CurrentTaskFile);
    return block;
}

struct ScsiRequest {
    SCSI_PASS_THROUGH_DIRECT block{};
    UCHAR sense[32]{};
};

ScsiRequest Scsi(std::initializer_list<UCHAR> cdb, void* data, UCHAR direction = SCSI_IOCTL_DATA_IN)
{
    ScsiRequest request;
    request.block.Length = sizeof request.block;
    request.block.CdbLength = static_cast<UCHAR>(cdb.size());
    request.block.SenseInfoLength = sizeof request.sense;
    request.block.DataIn = direction;
    request.block.DataTransferLength = data != nullptr ? 512 : 0;
    request.block.TimeOutValue = 10;
    request.block.DataBuffer = data;
    request.block.SenseInfoOffset = offsetof(ScsiRequest, sense);
    std::copy(cdb.begin(), cdb.end(), request.block.Cdb);
    return request;
}

// The query head without its one-byte tail: the protocol data takes its place.
struct NvmeQuery {
    DWORD propertyId;
    DWORD queryType;
    STORAGE_PROTOCOL_SPECIFIC_DATA protocol;
    std::uint8_t data[4096];
};

DWORD Nvme(NvmeQuery& query, DWORD dataType, DWORD value, DWORD length = 512)
{
    std::memset(&query, 0, sizeof query);
    query.propertyId = dataType == NVMeDataTypeIdentify ? StorageAdapterProtocolSpecificProperty
                                                        : StorageDeviceProtocolSpecificProperty;
    query.protocol.ProtocolType = ProtocolTypeNvme;
    query.protocol.DataType = dataType;
    query.protocol.ProtocolDataRequestValue = value;
    query.protocol.ProtocolDataOffset = sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA);
    query.protocol.ProtocolDataLength = length;
    return Io(Drive(2), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &query, sizeof query);
}

TEST(LiveMachine, PassThroughCarriesTheDrivesRecordedReplies)
{
    Lab lab;
    alignas(16) std::uint8_t sector[512] = {};
    auto identify = AtaRequest({0, 1, 0, 0, 0, 0, 0xEC, 0}, sector);
    ASSERT_EQ(Io(Drive(0), IOCTL_ATA_PASS_THROUGH_DIRECT, &identify, sizeof identify, &identify, sizeof identify), 0u);
    EXPECT_EQ(std::vector<std::uint8_t>(sector, sector + 512), Bytes(recorded / "replies/sda.ec.bin"));
    EXPECT_EQ(identify.CurrentTaskFile[6], 0x50) << "status of a completed command";

    // The lab's drives keep no log 9Ah: the abort comes back in the task file.
    auto log = AtaRequest({0, 1, 0x9A, 0, 0, 0, 0x2F, 0}, sector, ATA_FLAGS_DATA_IN | ATA_FLAGS_48BIT_COMMAND);
    ASSERT_EQ(Io(Drive(1), IOCTL_ATA_PASS_THROUGH_DIRECT, &log, sizeof log, &log, sizeof log), 0u);
    EXPECT_EQ(log.CurrentTaskFile[6], 0x51);
    EXPECT_EQ(log.CurrentTaskFile[0], 0x04);

    auto smart = Scsi({0x85, 0x08, 0x0E, 0, 0xD0, 0, 1, 0, 0, 0, 0x4F, 0, 0xC2, 0, 0xB0, 0}, sector);
    ASSERT_EQ(Io(Drive(1), IOCTL_SCSI_PASS_THROUGH_DIRECT, &smart, sizeof smart, &smart, sizeof smart), 0u);
    EXPECT_EQ(smart.block.ScsiStatus, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(sector, sector + 512), Bytes(recorded / "replies/sdb.b0-d0.bin"));

    // The buffered form: the data follows the block in the request's own buffer.
    struct {
        ATA_PASS_THROUGH_DIRECT block;
        std::uint8_t data[512];
    } buffered{};
    buffered.block = AtaRequest({0, 1, 0, 0, 0, 0, 0xEC, 0}, reinterpret_cast<void*>(offsetof(decltype(buffered), data)));
    ASSERT_EQ(Io(Drive(1), 0x4D02C, &buffered, sizeof buffered, &buffered, sizeof buffered), 0u);
    EXPECT_EQ(std::vector<std::uint8_t>(buffered.data, buffered.data + 512), Bytes(recorded / "replies/sdb.ec.bin"));

    NvmeQuery query;
    ASSERT_EQ(Nvme(query, NVMeDataTypeIdentify, 1, 4096), 0u);
    EXPECT_EQ(std::vector<std::uint8_t>(query.data, query.data + 4096), Bytes(recorded / "replies/nvme0.identify-01.bin"));
    ASSERT_EQ(Nvme(query, NVMeDataTypeLogPage, 0x02), 0u);
    EXPECT_EQ(std::vector<std::uint8_t>(query.data, query.data + 512), Bytes(recorded / "replies/nvme0.log-02.bin"));
    EXPECT_EQ(Nvme(query, NVMeDataTypeLogPage, 0xCA), DWORD{ERROR_INVALID_FUNCTION}) << "the lab's drive has no such log";
}

// Every form of request a write could take is refused before any device sees it.
TEST(LiveMachine, WriteCommandsOfEveryFormAreRefused)
{
    Lab lab;
    alignas(16) std::uint8_t sector[512] = {};
    const std::vector<std::pair<const char*, std::vector<UCHAR>>> ataTaskFiles = {
        {"WRITE SECTORS", {0, 1, 0, 0, 0, 0x40, 0x30, 0}},
        {"WRITE DMA EXT", {0, 1, 0, 0, 0, 0x40, 0x35, 0}},
        {"DATA SET MANAGEMENT", {1, 1, 0, 0, 0, 0x40, 0x06, 0}},
        {"SECURITY ERASE UNIT", {0, 0, 0, 0, 0, 0, 0xF4, 0}},
        {"DOWNLOAD MICROCODE", {7, 1, 0, 0, 0, 0, 0x92, 0}},
        {"SET FEATURES", {0x02, 0, 0, 0, 0, 0, 0xEF, 0}},
        {"SMART WRITE LOG", {0xD6, 1, 0x80, 0x4F, 0xC2, 0, 0xB0, 0}},
        {"SMART ENABLE", {0xD8, 0, 0, 0x4F, 0xC2, 0, 0xB0, 0}},
        {"SMART EXECUTE OFFLINE", {0xD4, 0, 1, 0x4F, 0xC2, 0, 0xB0, 0}},
        {"READ LOG EXT of another log", {0, 1, 0x04, 0, 0, 0, 0x2F, 0}},
        {"SMART READ DATA without its signature", {0xD0, 1, 0, 0, 0, 0, 0xB0, 0}},
    };
    for (const auto& [name, taskFile] : ataTaskFiles) {
        auto block = AtaRequest({}, sector);
        std::copy(taskFile.begin(), taskFile.end(), block.CurrentTaskFile);
        EXPECT_EQ(Io(Drive(0), IOCTL_ATA_PASS_THROUGH_DIRECT, &block, sizeof block, &block, sizeof block),
                  DWORD{ERROR_ACCESS_DENIED})
            << name;
        block.DataTransferLength = 0;
        block.DataBuffer = nullptr;
        EXPECT_EQ(Io(Drive(0), 0x4D02C, &block, sizeof block, &block, sizeof block), DWORD{ERROR_ACCESS_DENIED})
            << name << ", buffered";
    }
    auto identifyOut = AtaRequest({0, 1, 0, 0, 0, 0, 0xEC, 0}, sector, ATA_FLAGS_DATA_OUT);
    EXPECT_EQ(Io(Drive(0), IOCTL_ATA_PASS_THROUGH_DIRECT, &identifyOut, sizeof identifyOut, &identifyOut,
                 sizeof identifyOut),
              DWORD{ERROR_ACCESS_DENIED})
        << "IDENTIFY sending data";

    const std::vector<std::pair<const char*, ScsiRequest>> cdbs = {
        {"WRITE(10)", Scsi({0x2A, 0, 0, 0, 0, 0, 0, 0, 1, 0}, sector, SCSI_IOCTL_DATA_OUT)},
        {"WRITE(16)", Scsi({0x8A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, sector, SCSI_IOCTL_DATA_OUT)},
        {"WRITE SAME(16)", Scsi({0x93, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, sector, SCSI_IOCTL_DATA_OUT)},
        {"UNMAP", Scsi({0x42, 0, 0, 0, 0, 0, 0, 0, 24, 0}, sector, SCSI_IOCTL_DATA_OUT)},
        {"FORMAT UNIT", Scsi({0x04, 0, 0, 0, 0, 0}, nullptr, SCSI_IOCTL_DATA_UNSPECIFIED)},
        {"MODE SELECT(10)", Scsi({0x55, 0x10, 0, 0, 0, 0, 0, 0, 24, 0}, sector, SCSI_IOCTL_DATA_OUT)},
        {"SYNCHRONIZE CACHE", Scsi({0x35, 0, 0, 0, 0, 0, 0, 0, 0, 0}, nullptr, SCSI_IOCTL_DATA_UNSPECIFIED)},
        {"SECURITY PROTOCOL OUT", Scsi({0xB5, 0xEF, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, sector, SCSI_IOCTL_DATA_OUT)},
        {"READ(10), which the collector never sends", Scsi({0x28, 0, 0, 0, 0, 0, 0, 0, 1, 0}, sector)},
        {"INQUIRY sending data", Scsi({0x12, 0, 0, 0, 36, 0}, sector, SCSI_IOCTL_DATA_OUT)},
        {"ATA(16) WRITE SECTORS", Scsi({0x85, 0x0A, 0x06, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0x40, 0x30, 0}, sector, SCSI_IOCTL_DATA_OUT)},
        {"ATA(16) TRIM", Scsi({0x85, 0x0D, 0x06, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0x40, 0x06, 0}, sector, SCSI_IOCTL_DATA_OUT)},
        {"ATA(16) IDENTIFY as PIO data-out", Scsi({0x85, 0x0A, 0x06, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0xEC, 0}, sector)},
        {"ATA(12) SECURITY ERASE", Scsi({0xA1, 0x06, 0x20, 0, 0, 0, 0, 0, 0, 0xF4, 0, 0}, nullptr, SCSI_IOCTL_DATA_UNSPECIFIED)},
        {"ATA(12) SMART WRITE LOG", Scsi({0xA1, 0x0A, 0x06, 0xD6, 1, 0x80, 0x4F, 0xC2, 0, 0xB0, 0, 0}, sector, SCSI_IOCTL_DATA_OUT)},
    };
    for (auto [name, request] : cdbs) {
        EXPECT_EQ(Io(Drive(1), IOCTL_SCSI_PASS_THROUGH_DIRECT, &request, sizeof request, &request, sizeof request),
                  DWORD{ERROR_ACCESS_DENIED})
            << name;
        // The buffered form, data inside the request (its sense area here).
        request.block.DataBuffer = reinterpret_cast<void*>(offsetof(ScsiRequest, sense));
        request.block.DataTransferLength = std::min<ULONG>(request.block.DataTransferLength, sizeof request.sense);
        EXPECT_EQ(Io(Drive(1), 0x4D004, &request, sizeof request, &request, sizeof request), DWORD{ERROR_ACCESS_DENIED})
            << name << ", buffered";
    }

    NvmeQuery query;
    EXPECT_EQ(Nvme(query, NVMeDataTypeFeature, 0x06), DWORD{ERROR_ACCESS_DENIED}) << "features";
    EXPECT_EQ(Nvme(query, NVMeDataTypeIdentify, 0x02, 4096), DWORD{ERROR_ACCESS_DENIED}) << "identify, another CNS";
    EXPECT_EQ(Nvme(query, NVMeDataTypeLogPage, 0x03), DWORD{ERROR_ACCESS_DENIED}) << "firmware slot log";
    EXPECT_EQ(Nvme(query, 7, 0), DWORD{ERROR_ACCESS_DENIED}) << "an unknown data type";
    EXPECT_EQ(lab.kernel->reached, 0) << "a refused command reached the kernel";
}

TEST(LiveMachine, WmiClassesFromTheSystemWithWindowsValueTypes)
{
    Lab lab;
    const auto drives = lab.machine.WmiInstances(L"ROOT\\CIMV2", L"win32_diskdrive");
    ASSERT_EQ(drives.instances.size(), 4u);
    const auto interfaces = lab.machine.DeviceInterfaces(diskClass);
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& row = drives.instances[i];
        EXPECT_EQ(std::get<std::wstring>(row.Find(L"PNPDeviceID")->value.elements[0]), interfaces[i].instanceId);
        EXPECT_EQ(row.Find(L"Index")->value.type, platform::CimType::Uint32);
        EXPECT_EQ(row.Find(L"Size")->value.type, platform::CimType::Uint64);
    }
    EXPECT_EQ(std::get<std::wstring>(drives.instances[0].Find(L"Model")->value.elements[0]), L"HWLAB SATA SSD 4G");
    EXPECT_EQ(std::get<std::wstring>(drives.instances[1].Find(L"FirmwareRevision")->value.elements[0]), L"HWL2.0");

    const auto disks = lab.machine.WmiInstances(L"root\\microsoft\\windows\\storage", L"MSFT_PhysicalDisk");
    std::vector<std::uint64_t> media;
    for (const auto& row : disks.instances) media.push_back(std::get<std::uint64_t>(row.Find(L"MediaType")->value.elements[0]));
    EXPECT_EQ(media, (std::vector<std::uint64_t>{4, 3, 4, 0})) << "SSD, HDD, NVMe, virtio unspecified";

    const auto perf = lab.machine.WmiInstances(L"root\\cimv2", L"Win32_PerfFormattedData_PerfDisk_PhysicalDisk");
    std::vector<std::wstring> names;
    for (const auto& row : perf.instances) names.push_back(std::get<std::wstring>(row.Find(L"Name")->value.elements[0]));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"0 C:", L"1 D:", L"2 E:", L"3", L"_Total"}));

    const auto smart = lab.machine.WmiInstances(L"root\\WMI", L"MSStorageDriver_ATAPISmartData");
    ASSERT_EQ(smart.instances.size(), 2u) << "the two ATA disks";
    std::vector<std::uint8_t> sector;
    for (const auto& byte : smart.instances[1].Find(L"VendorSpecific")->value.elements)
        sector.push_back(static_cast<std::uint8_t>(std::get<std::uint64_t>(byte)));
    EXPECT_EQ(sector, Bytes(recorded / "replies/sdb.b0-d0.bin"));
    EXPECT_EQ(std::get<std::wstring>(smart.instances[1].Find(L"InstanceName")->value.elements[0]),
              interfaces[1].instanceId + L"_0");

    EXPECT_EQ(lab.machine.WmiInstances(L"root\\cimv2", L"Win32_Volume").result, WBEM_E_INVALID_CLASS);
    EXPECT_EQ(lab.machine.WmiConnect(L"root\\nothing"), WBEM_E_INVALID_NAMESPACE);
    EXPECT_EQ(lab.machine.WmiConnect(L"root\\cimv2\\power"), S_OK);
}

// Without the right to open the devices: sysfs still answers, the drives and
// partition tables do not, and the note says why.
TEST(LiveMachine, WithoutReadAccessSysfsAnswersAndTheNoteSaysWhatIsMissing)
{
    const auto proc = std::filesystem::path(testing::TempDir()) / "live-unprivileged-proc";
    std::filesystem::create_directories(proc / "self");
    std::ofstream(proc / "self/status") << "Name:\tstorcoll\nCapEff:\t0000000000000000\n";
    Lab lab(true, proc);
    DISK_GEOMETRY geometry{};
    EXPECT_EQ(Io(Drive(0), IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry, sizeof geometry), 0u);
    EXPECT_EQ(geometry.Cylinders.QuadPart, 522);
    EXPECT_EQ(ReadLayout(0).error, DWORD{ERROR_ACCESS_DENIED});
    alignas(16) std::uint8_t sector[512] = {};
    auto identify = AtaRequest({0, 1, 0, 0, 0, 0, 0xEC, 0}, sector);
    EXPECT_EQ(Io(Drive(0), IOCTL_ATA_PASS_THROUGH_DIRECT, &identify, sizeof identify, &identify, sizeof identify),
              DWORD{ERROR_ACCESS_DENIED});
    const std::string note = lab.machine.AccessNote();
    for (const char* words : {"CAP_SYS_RAWIO", "CAP_SYS_ADMIN", "partition tables", "SMART"})
        EXPECT_NE(note.find(words), std::string::npos) << words << " in: " << note;

    Lab root;
    EXPECT_EQ(root.machine.AccessNote(), "");
}

}  // namespace
