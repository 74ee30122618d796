// The disk paths that only a broken reply, a strange layout or an empty WMI
// class reaches: described machines, and the fetcher's own request seam where
// no description can make a device answer that way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "Common/PhysicalDiskInfoFetcher.h"
#include "SimMachineFixture.h"
#include "failure_reporting/ResultException.h"
#include "RaisedCode.h"

namespace physical_disk_test {
namespace {

using Talvex::Quorlin::Cpp::Common::PhysicalDiskInfoFetcher;
using Talvex::Quorlin::Cpp::Common::ResultException;

constexpr const char* kOneGptDisk = R"({
  "disks": [{"number": 0, "model": "SSD", "pnpDeviceId": "SCSI\\DISK&VEN_ATA&PROD_SSD\\4&0", "sizeBytes": 8225280000,
             "layout": {"style": "gpt", "diskId": "00000000-0000-0000-0000-000000000000", "partitions": [
               {"length": 104857600, "id": "00000000-0000-0000-0000-000000000000"},
               {"length": 536870912, "id": "a1a2a3a4-0003-4000-8000-00000000000c"}]}}],
  "volumes": [{"letter": "C", "disk": 0, "partition": 2}]
})";

// The fetcher with its requests passed through a test's edit of each answer.
class EditedFetcher final : public PhysicalDiskInfoFetcher {
public:
    using Edit = std::function<void(DWORD code, void* out, DWORD* returned)>;
    explicit EditedFetcher(Edit edit) : m_edit(std::move(edit)) {}

    BOOL SendIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                       DWORD* returned, OVERLAPPED* overlapped) override
    {
        const BOOL ok = PhysicalDiskInfoFetcher::SendIoControl(device, code, in, inSize, out, outSize, returned,
                                                               overlapped);
        if (ok) m_edit(code, out, returned);
        return ok;
    }

private:
    Edit m_edit;
};

class DiskFailurePaths : public SimMachineFixture {
protected:
    void SetUp() override { Describe(kOneGptDisk); }
};

TEST_F(DiskFailurePaths, ShortOrEmptyRepliesRaiseUnexpected)
{
    EditedFetcher shortNumber([](DWORD code, void*, DWORD* returned) {
        if (code == IOCTL_STORAGE_GET_DEVICE_NUMBER) *returned = 8;
    });
    EXPECT_EQ(Raised([&] { shortNumber.GetDeviceNumber(L"\\\\.\\PhysicalDrive0"); }), E_UNEXPECTED);

    EditedFetcher noCounters([](DWORD code, void*, DWORD* returned) {
        if (code == IOCTL_DISK_PERFORMANCE) *returned = 0;
    });
    std::int64_t read = -1;
    std::int64_t written = -1;
    EXPECT_EQ(Raised([&] { noCounters.GetBytesTransferred("C", read, written); }), E_UNEXPECTED);
    EXPECT_EQ(read, -1) << "counters are left as they were";
}

TEST_F(DiskFailurePaths, LayoutTooLargeToHoldGivesOutOfMemoryAndAnEmptyRecord)
{
    // 2^25 entries of 144 bytes do not fit the 32-bit size of the request.
    EditedFetcher huge([](DWORD code, void* out, DWORD*) {
        if (code != IOCTL_DISK_GET_DRIVE_LAYOUT_EX) return;
        const DWORD count = 1u << 25;
        std::memcpy(static_cast<std::uint8_t*>(out) + offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionCount), &count,
                    sizeof(count));
    });
    std::vector<Talvex::Quorlin::Cpp::Common::DiskPartitionEntry> partitions;
    std::wstring guid;
    EXPECT_EQ(Raised([&] { huge.GetDiskLayout(0, partitions, guid); }), E_OUTOFMEMORY);

    const auto disks = huge.GetAllBasicDiskInfo({});
    ASSERT_EQ(disks.size(), 1u);
    const auto record = huge.GetPhysicalDiskInfo(disks[0]);
    EXPECT_EQ(record.Name, "DISK0");
    EXPECT_EQ(record.Guid, "");
    EXPECT_TRUE(record.Partitions.empty());
}

TEST_F(DiskFailurePaths, AllZeroIdentifiersKeepTheDiskGuidAndSkipThePartition)
{
    PhysicalDiskInfoFetcher fetcher;
    const auto disks = fetcher.GetAllBasicDiskInfo({});
    ASSERT_EQ(disks.size(), 1u);
    const auto record = fetcher.GetPhysicalDiskInfo(disks[0]);
    EXPECT_EQ(record.Guid, "00000000-0000-0000-0000-000000000000");
    ASSERT_EQ(record.Partitions.size(), 1u);
    EXPECT_EQ(record.Partitions[0].Index, 2u);
    EXPECT_EQ(record.Partitions[0].Name, "C");
}

TEST_F(DiskFailurePaths, InterfaceWithoutAPathEndsTheDiskList)
{
    class PathlessFetcher final : public PhysicalDiskInfoFetcher {
    public:
        std::wstring GetDeviceInterfacePath(HDEVINFO, DWORD) override { return {}; }
    } fetcher;
    EXPECT_EQ(Raised([&] { fetcher.GetBasicDiskInfo(0, {}); }), E_UNEXPECTED);
    EXPECT_TRUE(fetcher.GetAllBasicDiskInfo({}).empty());
}

TEST_F(DiskFailurePaths, InterfaceDetailSizeQueryThatDoesNotFailRaisesUnexpected)
{
    // Windows fails the size query; the control row shows the interface is
    // otherwise listed (and then fails to open).
    const std::pair<const char*, HRESULT> rows[] = {
        {"succeeds", E_UNEXPECTED}, {"reportsZero", E_UNEXPECTED}, {"fails", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)}};
    for (const auto& [answer, expected] : rows) {
        Describe(std::string(R"({"interfaces": [{"path": "\\\\?\\scsi#disk#1", "sizeQuery": ")") + answer + R"("}]})");
        PhysicalDiskInfoFetcher fetcher;
        EXPECT_EQ(Raised([&] { fetcher.GetBasicDiskInfo(0, {}); }), expected) << answer;
    }
}

TEST_F(DiskFailurePaths, GuidTextWithoutTaskMemoryIsLoggedNotRaised)
{
    // The disk keeps the all-zero GUID, a layout entry is skipped and a volume
    // matches nothing; each refusal is one LogHr line, none ends the record.
    struct Row {
        const char* refused;
        const char* diskGuid;
        const char* partitions;
        std::size_t logged;
    };
    const Row rows[] = {
        {"d15c0000-0000-4000-8000-000000000001", "00000000-0000-0000-0000-000000000000", "1:C 2:D", 1},
        {"a1a2a3a4-0001-4000-8000-00000000000b", "D15C0000-0000-4000-8000-000000000001", "2:D", 2},
    };
    for (const Row& row : rows) {
        Describe(std::string(R"({"debuggerAttached": true, "faults": {"guidText": [")") + row.refused + R"("]},
          "disks": [{"number": 0, "model": "SSD", "pnpDeviceId": "SCSI\\DISK&VEN_ATA&PROD_SSD\\4&0", "sizeBytes": 8225280000,
            "layout": {"style": "gpt", "diskId": "d15c0000-0000-4000-8000-000000000001", "partitions": [
              {"length": 104857600, "id": "a1a2a3a4-0001-4000-8000-00000000000b"},
              {"length": 536870912, "id": "a1a2a3a4-0003-4000-8000-00000000000c"}]}}],
          "volumes": [{"letter": "C", "disk": 0, "partition": 1}, {"letter": "D", "disk": 0, "partition": 2}]})");
        const std::size_t before = machine.DebugLines().size();
        PhysicalDiskInfoFetcher fetcher;
        const auto record = fetcher.GetPhysicalDiskInfo(fetcher.GetAllBasicDiskInfo({}).at(0));
        std::string partitions;
        for (const auto& p : record.Partitions)
            partitions += (partitions.empty() ? "" : " ") + std::to_string(p.Index) + ":" + p.Name;
        EXPECT_EQ(record.Guid, row.diskGuid) << row.refused;
        EXPECT_EQ(partitions, row.partitions) << row.refused;
        const auto lines = machine.DebugLines();
        const auto logged = std::count_if(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end(),
                                          [](const std::wstring& line) {
                                              return line.find(L"LogHr(") != std::wstring::npos &&
                                                     line.find(L" 8007000E ") != std::wstring::npos;
                                          });
        EXPECT_EQ(static_cast<std::size_t>(logged), row.logged) << row.refused;
    }
}

}  // namespace
}  // namespace physical_disk_test
