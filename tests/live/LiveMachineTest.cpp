#include "live/LiveMachine.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include <gtest/gtest.h>

#include "ReplayKernel.h"
#include "platform/Layouts.h"

namespace {

using livetest::Bytes;
using livetest::recorded;

struct Lab {
    explicit Lab(bool denyOpen = false, std::filesystem::path proc = recorded / "tree/proc")
        : kernel(std::make_shared<livetest::ReplayKernel>(recorded / "replies")),
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

// A pass-through request with its sense and data areas in one buffer: the
// block points at them, by address when sent direct, by offset when buffered.
template <typename Block>
struct PassThrough {
    Block block{};
    UCHAR sense[32]{};
    alignas(16) std::uint8_t data[512]{};
};

template <typename Block>
DWORD Send(int drive, DWORD code, PassThrough<Block>& request, bool buffered)
{
    request.block.Length = sizeof(Block);
    if (request.block.DataTransferLength != 0)
        request.block.DataBuffer = buffered ? reinterpret_cast<void*>(offsetof(PassThrough<Block>, data)) : request.data;
    return Io(Drive(drive), code, &request, sizeof request, &request, sizeof request);
}

// The query head without its one-byte tail: the protocol data takes its place.
struct NvmeQuery {
    DWORD propertyId;
    DWORD queryType;
    STORAGE_PROTOCOL_SPECIFIC_DATA protocol;
    std::uint8_t data[4096];
};

// One row's request sent as the row says: its outcome in the table's words.
std::string Outcome(const std::string& form, int drive, const std::vector<unsigned>& bytes, const std::string& reply,
                    bool buffered)
{
    char registers[32] = "";
    DWORD error = 0;
    std::vector<std::uint8_t> data;
    if (form == "nvme") {
        NvmeQuery query{};
        query.propertyId = bytes[0] == NVMeDataTypeIdentify ? StorageAdapterProtocolSpecificProperty : StorageDeviceProtocolSpecificProperty;
        query.protocol = {ProtocolTypeNvme, bytes[0], bytes[1], 0, sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA), bytes[2], 0, 0, 0, 0};
        error = Io(Drive(drive), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &query, sizeof query);
        data.assign(query.data, query.data + bytes[2]);
    } else if (form.rfind("ata", 0) == 0) {
        PassThrough<ATA_PASS_THROUGH_DIRECT> request;
        request.block.AtaFlags = form == "ata-out" ? ATA_FLAGS_DATA_OUT : ATA_FLAGS_DATA_IN | (form == "ata48" ? ATA_FLAGS_48BIT_COMMAND : 0);
        request.block.DataTransferLength = 512;
        for (std::size_t i = 0; i < bytes.size(); ++i) request.block.CurrentTaskFile[i] = static_cast<UCHAR>(bytes[i]);
        error = Send(drive, buffered ? 0x4D02C : IOCTL_ATA_PASS_THROUGH_DIRECT, request, buffered);
        std::snprintf(registers, sizeof registers, " status %02x error %02x", request.block.CurrentTaskFile[6], request.block.CurrentTaskFile[0]);
        data.assign(request.data, request.data + 512);
    } else {
        PassThrough<SCSI_PASS_THROUGH_DIRECT> request;
        request.block.DataIn = form == "scsi-in" ? SCSI_IOCTL_DATA_IN : form == "scsi-out" ? SCSI_IOCTL_DATA_OUT
                                                                                           : SCSI_IOCTL_DATA_UNSPECIFIED;
        request.block.DataTransferLength = form == "scsi-none" ? 0 : 512;
        request.block.CdbLength = static_cast<UCHAR>(bytes.size());
        request.block.SenseInfoLength = sizeof request.sense;
        request.block.SenseInfoOffset = offsetof(PassThrough<SCSI_PASS_THROUGH_DIRECT>, sense);
        for (std::size_t i = 0; i < bytes.size(); ++i) request.block.Cdb[i] = static_cast<UCHAR>(bytes[i]);
        error = Send(drive, buffered ? 0x4D004 : IOCTL_SCSI_PASS_THROUGH_DIRECT, request, buffered);
        std::snprintf(registers, sizeof registers, " status %02x", request.block.ScsiStatus);
        data.assign(request.data, request.data + 512);
    }
    if (error == ERROR_ACCESS_DENIED) return "refused";
    if (error != 0) return "error " + std::to_string(error);
    const bool same = !reply.empty() && data == Bytes(recorded / "replies" / reply);
    std::string outcome = reply.empty() ? "" : same ? "reply " + reply
                                                    : "reply differs from " + reply;
    outcome += registers;
    return outcome.erase(0, outcome.find_first_not_of(' '));
}

// Each row of data/requests.txt, direct and buffered: the drives' recorded
// replies come back byte for byte, and every form of request a write could
// take is refused before any device sees it. Counters come from sysfs.
TEST(LiveMachine, RequestsGetTheRecordedRepliesAndWritesAreRefused)
{
    Lab lab;
    std::ifstream rows(LIVE_DATA_DIR "/requests.txt");
    ASSERT_TRUE(rows.is_open());
    int answered = 0;
    for (std::string line; std::getline(rows, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line.substr(0, line.find('|')));
        std::string form;
        int drive = 0;
        fields >> form >> drive >> std::hex;
        const std::vector<unsigned> bytes{std::istream_iterator<unsigned>(fields), std::istream_iterator<unsigned>()};
        std::istringstream outcome(line.substr(line.find('|') + 1));
        std::string first, reply;
        if (!(outcome >> first >> reply) || first != "reply") reply.clear();
        const std::string wanted = first == "refused" ? first : line.substr(line.find('|') + 2);
        for (const bool buffered : {false, true}) {
            if (buffered && form == "nvme") continue;
            answered += first != "refused";
            EXPECT_EQ(Outcome(form, drive, bytes, reply, buffered), wanted) << line << (buffered ? ", buffered" : "");
        }
    }
    EXPECT_EQ(Io(Drive(4), IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, nullptr, 0), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_EQ(Io(L"\\\\.\\F:", IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, nullptr, 0), DWORD{ERROR_FILE_NOT_FOUND});
    // C: is sda2, whose recorded stat shows 9 reads of 54 sectors.
    DISK_PERFORMANCE performance{};
    EXPECT_EQ(Io(L"\\\\.\\C:", IOCTL_DISK_PERFORMANCE, nullptr, 0, &performance, sizeof performance), 0u);
    EXPECT_EQ(performance.BytesRead.QuadPart, 54 * 512);
    EXPECT_EQ(performance.ReadCount, 9u);
    EXPECT_GT(answered, 0);
    EXPECT_EQ(lab.kernel->reached, answered) << "a refused request reached the kernel";
}

// Without the right to open the devices: sysfs still answers, the drives and partition tables do not, and the note says why.
TEST(LiveMachine, WithoutReadAccessSysfsAnswersAndTheNoteSaysWhatIsMissing)
{
    const auto proc = std::filesystem::path(testing::TempDir()) / "live-unprivileged-proc";
    std::filesystem::create_directories(proc / "self");
    std::ofstream(proc / "self/status") << "Name:\tstorcoll\nCapEff:\t0000000000000000\n";
    Lab lab(true, proc);
    DISK_GEOMETRY geometry{};
    EXPECT_EQ(Io(Drive(0), IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry, sizeof geometry), 0u);
    EXPECT_EQ(geometry.Cylinders.QuadPart, 522);
    std::uint8_t layout[4096];
    EXPECT_EQ(Io(Drive(0), IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, layout, sizeof layout), DWORD{ERROR_ACCESS_DENIED});
    EXPECT_EQ(Outcome("ata", 0, {0, 1, 0, 0, 0, 0, 0xEC, 0}, "", false), "refused") << "IDENTIFY";
    const std::string note = lab.machine.AccessNote();
    for (const char* words : {"CAP_SYS_RAWIO", "CAP_SYS_ADMIN", "partition tables", "SMART"})
        EXPECT_NE(note.find(words), std::string::npos) << words << " in: " << note;

    Lab root;
    EXPECT_EQ(root.machine.AccessNote(), "");
}

}  // namespace
