#include "Common/PhysicalDiskInfoFetcher.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "Common/Utilities.h"
#include "DeviceHandles.h"
#include "DroppedFailures.h"
#include "failure_reporting/Result.h"
#include "platform/Layouts.h"

namespace Talvex::Quorlin::Cpp::Common {

namespace {

using detail::ScopedDeviceHandle;
using HardwareAccessLib::BasicDiskInfo;

const std::wstring kNotUsed = L"Not Used";
const std::wstring kZeroGuidText = L"00000000-0000-0000-0000-000000000000";
const std::wstring kPhysicalDrivePrefix = L"\\\\.\\PhysicalDrive";
const std::wstring kVolumePrefix = L"\\\\.\\";

constexpr std::size_t kLayoutHeadBytes = offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry);
constexpr std::size_t kPartitionEntryBytes = sizeof(PARTITION_INFORMATION_EX);
constexpr std::size_t kLayoutCountOffset = offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionCount);
// The disk and partition identifiers are read at these offsets whatever the
// partition style, where GPT keeps its DiskId and PartitionId.
constexpr std::size_t kDiskIdOffset = 8;
constexpr std::size_t kPartitionIdOffset = 48;

std::wstring VolumePath(const std::wstring& letter) { return kVolumePrefix + letter + L":"; }

HANDLE OpenReadWrite(HardwareAccessLib::HardwareAccess& access, std::uint32_t diskNumber)
{
    const std::wstring path = kPhysicalDrivePrefix + std::to_wstring(diskNumber);
    return access.OpenDevice(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
}

// A zeroed layout buffer with room for `entries` partitions.
std::unique_ptr<std::uint8_t[]> AllocateLayout(std::uint32_t entries, DWORD& size)
{
    const std::uint64_t bytes = static_cast<std::uint64_t>(entries) * kPartitionEntryBytes + kLayoutHeadBytes;
    if (bytes > std::numeric_limits<DWORD>::max()) RAISE_HR(E_OUTOFMEMORY);
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[bytes]());
    if (!buffer) RAISE_HR(E_OUTOFMEMORY);
    size = static_cast<DWORD>(bytes);
    return buffer;
}

struct TaskMemoryFree {
    void operator()(OLECHAR* text) const noexcept { CoTaskMemFree(text); }
};

// The GUID text of the 16 bytes at `bytes`, as StringFromCLSID writes it,
// without its braces.
HRESULT FormatGuid(const void* bytes, std::wstring& text)
{
    GUID guid;
    std::memcpy(&guid, bytes, sizeof(guid));
    LPOLESTR formatted = nullptr;
    const HRESULT hr = StringFromCLSID(guid, &formatted);
    if (FAILED(hr)) return hr;
    const std::unique_ptr<OLECHAR, TaskMemoryFree> owner(formatted);
    text.assign(formatted);
    std::erase(text, L'{');
    std::erase(text, L'}');
    return S_OK;
}

// Drive letters compare as unsigned 16-bit code units.
std::u16string CodeUnits(const std::wstring& text)
{
    std::u16string units;
    for (wchar_t c : text) {
        const auto point = static_cast<std::uint32_t>(c);
        if (point > 0xFFFF) {
            units.push_back(static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(point));
        }
    }
    return units;
}

}  // namespace

PhysicalDiskInfoFetcher::~PhysicalDiskInfoFetcher() = default;

DWORD PhysicalDiskInfoFetcher::QueryLogicalDriveStrings(DWORD length, LPWSTR buffer)
{
    return GetLogicalDriveStringsW(length, buffer);
}

DWORD PhysicalDiskInfoFetcher::ReadLogicalDriveStrings(DWORD length, std::vector<wchar_t>& out)
{
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const DWORD result = GetLogicalDriveStringsW(length, buffer.data());
    out.assign(buffer.begin(), buffer.end());
    return result;
}

PhysicalDiskInfo PhysicalDiskInfoFetcher::GetPhysicalDiskInfo(const BasicDiskInfo& disk) noexcept
{
    PhysicalDiskInfo record;
    detail::RunDescribingFailures([&] {
        FillDiskIdentity(disk, record);
        FillPartitions(record);
    });
    return record;
}

std::vector<PhysicalDiskInfo> PhysicalDiskInfoFetcher::GetAllPhysicalDiskInfo(const MediaTypes& mediaTypes)
{
    std::vector<PhysicalDiskInfo> records;
    for (const auto& disk : GetAllBasicDiskInfo(mediaTypes)) records.push_back(GetPhysicalDiskInfo(disk));
    return records;
}

void PhysicalDiskInfoFetcher::FillDiskIdentity(const BasicDiskInfo& disk, PhysicalDiskInfo& record)
{
    record.DiskNumber = disk.DeviceNumber;
    record.Name = "DISK" + std::to_string(record.DiskNumber);
    // A disk that cannot be opened for reading and writing keeps number and name only.
    record.Size = GetDiskSizeInMegaBytes(record.DiskNumber);
    record.MediaType = disk.MediaType;
    if (std::string model = GetModelNumber(disk.PhysicalDrivePath); !model.empty()) record.MakeModel = std::move(model);
    if (std::string eppid = GetEppid(disk.PhysicalDrivePath); !eppid.empty()) record.Eppid = std::move(eppid);
}

void PhysicalDiskInfoFetcher::FillPartitions(PhysicalDiskInfo& record)
{
    std::vector<DiskPartitionEntry> partitions;
    std::wstring diskGuid;
    GetDiskLayout(record.DiskNumber, partitions, diskGuid);
    record.Guid = WideToUtf8OrEmpty(diskGuid);

    // Built anew for each disk: volumes come and go between disks.
    const std::vector<DiskPartitionEntry> volumes = GetVolumePartitions();
    for (const auto& entry : partitions) {
        const std::wstring* name = &entry.DriveLetter;
        const auto volume = std::find_if(volumes.begin(), volumes.end(), [&](const DiskPartitionEntry& candidate) {
            return candidate.PartitionGuid == entry.PartitionGuid;
        });
        if (volume != volumes.end()) name = &volume->DriveLetter;

        PartitionInfo partition;
        partition.Guid = WideToUtf8OrEmpty(entry.PartitionGuid);
        partition.Index = entry.Partition.PartitionNumber;
        partition.Name = WideToUtf8OrEmpty(*name);
        partition.Size = static_cast<std::uint64_t>(entry.Partition.PartitionLength.QuadPart) >> 20;
        record.Partitions.push_back(std::move(partition));
    }
}

std::uint32_t PhysicalDiskInfoFetcher::GetPartitionCount(std::uint32_t diskNumber, std::uint32_t entries)
{
    // Each attempt releases its own handle and buffer before the next, larger one.
    for (;; ++entries) {
        ScopedDeviceHandle device(OpenReadWrite(*this, diskNumber));
        if (!device.Valid()) RAISE_LAST_ERROR();
        DWORD size = 0;
        const auto buffer = AllocateLayout(entries, size);
        DWORD returned = 0;
        if (SendIoControl(device.Get(), IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, buffer.get(), size, &returned,
                          nullptr)) {
            DWORD count = 0;
            std::memcpy(&count, buffer.get() + kLayoutCountOffset, sizeof(count));
            return count;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) RAISE_LAST_ERROR();
    }
}

void PhysicalDiskInfoFetcher::GetDiskLayout(std::uint32_t diskNumber, std::vector<DiskPartitionEntry>& partitions,
                                            std::wstring& diskGuid)
{
    const std::uint32_t count = GetPartitionCount(diskNumber, 1);
    ScopedDeviceHandle device(OpenReadWrite(*this, diskNumber));
    if (!device.Valid()) RAISE_LAST_ERROR();
    DWORD size = 0;
    const auto buffer = AllocateLayout(count, size);
    DWORD returned = 0;
    if (!SendIoControl(device.Get(), IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, buffer.get(), size, &returned,
                       nullptr))
        RAISE_LAST_ERROR();

    if (const HRESULT hr = FormatGuid(buffer.get() + kDiskIdOffset, diskGuid); FAILED(hr)) {
        LOG_HR(hr);
        diskGuid = kZeroGuidText;
    }

    partitions.clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = buffer.get() + kLayoutHeadBytes + kPartitionEntryBytes * i;
        std::wstring guid;
        if (const HRESULT hr = FormatGuid(entry + kPartitionIdOffset, guid); FAILED(hr)) {
            LOG_HR(hr);
            continue;
        }
        if (guid.find(kZeroGuidText) != std::wstring::npos) continue;  // an unused entry
        DiskPartitionEntry used;
        used.DiskNumber = diskNumber;
        used.DriveLetter = kNotUsed;
        used.PartitionGuid = std::move(guid);
        std::memcpy(&used.Partition, entry, kPartitionEntryBytes);
        partitions.push_back(std::move(used));
    }
}

PARTITION_INFORMATION_EX PhysicalDiskInfoFetcher::GetVolumePartitionInfo(const std::wstring& path) noexcept
{
    PARTITION_INFORMATION_EX result;
    std::memset(&result, 0, sizeof(result));
    detail::RunDescribingFailures([&] {
        ScopedDeviceHandle device(OpenDevice(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
        if (!device.Valid()) RAISE_LAST_ERROR();
        PARTITION_INFORMATION_EX info;
        std::memset(&info, 0, sizeof(info));
        DWORD returned = 0;
        if (!SendIoControl(device.Get(), IOCTL_DISK_GET_PARTITION_INFO_EX, nullptr, 0, &info, sizeof(info), &returned,
                           nullptr))
            RAISE_LAST_ERROR();
        result = info;
    });
    return result;
}

std::vector<std::wstring> PhysicalDiskInfoFetcher::GetDriveLetters() noexcept
{
    std::vector<std::wstring> letters;
    detail::RunDescribingFailures([&] {
        const DWORD needed = QueryLogicalDriveStrings(0, nullptr);
        std::vector<wchar_t> strings(needed, L'\0');
        const DWORD result = ReadLogicalDriveStrings(needed, strings);
        if (result == 0 || result == needed) return;
        // "C:\", "D:\" ... leave their letters once zeros, backslashes and colons go.
        std::erase(strings, L'\0');
        std::erase(strings, L'\\');
        std::erase(strings, L':');
        for (wchar_t letter : strings) letters.emplace_back(1, letter);
    });
    return letters;
}

std::vector<DiskPartitionEntry> PhysicalDiskInfoFetcher::GetVolumePartitions()
{
    std::vector<DiskPartitionEntry> volumes;
    for (const std::wstring& letter : GetDriveLetters()) {
        // A volume that cannot be opened or has no device number is left out.
        detail::RunDescribingFailures([&] {
            const std::wstring path = VolumePath(letter);
            DiskPartitionEntry volume;
            volume.Partition = GetVolumePartitionInfo(path);
            const auto* info = reinterpret_cast<const std::uint8_t*>(&volume.Partition);
            if (const HRESULT hr = FormatGuid(info + kPartitionIdOffset, volume.PartitionGuid); FAILED(hr)) {
                LOG_HR(hr);
                volume.PartitionGuid.clear();
            }
            volume.DiskNumber = GetDeviceNumber(path);
            volume.DriveLetter = letter;
            volumes.push_back(std::move(volume));
        });
    }
    // Without partition information (a network share, say) a volume matches nothing.
    std::erase_if(volumes, [](const DiskPartitionEntry& volume) { return volume.Partition.PartitionLength.QuadPart == 0; });
    std::stable_sort(volumes.begin(), volumes.end(), [](const DiskPartitionEntry& a, const DiskPartitionEntry& b) {
        if (a.DiskNumber != b.DiskNumber) return a.DiskNumber < b.DiskNumber;
        return CodeUnits(a.DriveLetter) < CodeUnits(b.DriveLetter);
    });
    return volumes;
}

void PhysicalDiskInfoFetcher::GetBytesTransferred(const std::string& driveLetter, std::int64_t& read,
                                                  std::int64_t& written)
{
    const std::wstring path = VolumePath(Utf8ToWideOrEmpty(driveLetter));
    ScopedDeviceHandle device(OpenDevice(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device.Valid()) RAISE_LAST_ERROR();
    DISK_PERFORMANCE performance;
    std::memset(&performance, 0, sizeof(performance));
    DWORD returned = 0;
    if (!SendIoControl(device.Get(), IOCTL_DISK_PERFORMANCE, nullptr, 0, &performance, sizeof(performance), &returned,
                       nullptr))
        RAISE_LAST_ERROR();
    if (returned == 0) RAISE_HR(E_UNEXPECTED);
    read = performance.BytesRead.QuadPart;
    written = performance.BytesWritten.QuadPart;
}

}  // namespace Talvex::Quorlin::Cpp::Common
