#include "Answers.h"

#include <algorithm>
#include <cstring>

#include "SysfsFiles.h"

namespace live::answers {

namespace {

constexpr std::uint64_t kSectorBytes = 512;
constexpr std::int64_t kUnitsPerMillisecond = 10000;  // 100 ns units

template <typename T>
platform::IoResult Reply(const platform::IoRequest& request, const T& value)
{
    if (request.out == nullptr || request.outSize < sizeof(T)) return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(request.out, &value, sizeof(T));
    return platform::IoResult::Success(sizeof(T));
}

// The uptime in milliseconds, from the first field of procfs's uptime.
std::int64_t UptimeMilliseconds(const std::filesystem::path& procRoot)
{
    const std::string text = files::Text(procRoot / "uptime");
    std::int64_t whole = 0;
    std::int64_t fraction = 0;
    int fractionDigits = -1;
    for (char c : text) {
        if (c == '.')
            fractionDigits = 0;
        else if (c < '0' || c > '9')
            break;
        else if (fractionDigits < 0)
            whole = whole * 10 + (c - '0');
        else if (fractionDigits < 3)
            fraction = fraction * 10 + (c - '0'), ++fractionDigits;
    }
    for (; fractionDigits >= 0 && fractionDigits < 3; ++fractionDigits) fraction *= 10;
    return whole * 1000 + fraction;
}

}  // namespace

platform::IoResult DeviceNumber(const platform::IoRequest& request, std::uint32_t disk, std::uint32_t partition)
{
    return Reply(request, STORAGE_DEVICE_NUMBER{FILE_DEVICE_DISK, disk, partition});
}

platform::IoResult Performance(const platform::IoRequest& request, const std::filesystem::path& statFile,
                               const std::filesystem::path& procRoot, std::uint32_t disk)
{
    // reads, merged, sectors read, ms reading, writes, merged, sectors written,
    // ms writing, in flight, ms doing I/O, ...
    const std::vector<std::uint64_t> f = files::Fields(statFile);
    if (f.size() < 11) return platform::IoResult::Failure(ERROR_INVALID_FUNCTION);
    DISK_PERFORMANCE p;
    std::memset(&p, 0, sizeof(p));
    const std::int64_t uptime = UptimeMilliseconds(procRoot);
    p.BytesRead.QuadPart = static_cast<LONGLONG>(f[2] * kSectorBytes);
    p.BytesWritten.QuadPart = static_cast<LONGLONG>(f[6] * kSectorBytes);
    p.ReadTime.QuadPart = static_cast<LONGLONG>(f[3]) * kUnitsPerMillisecond;
    p.WriteTime.QuadPart = static_cast<LONGLONG>(f[7]) * kUnitsPerMillisecond;
    p.IdleTime.QuadPart = std::max<std::int64_t>(0, uptime - static_cast<std::int64_t>(f[9])) * kUnitsPerMillisecond;
    p.ReadCount = static_cast<DWORD>(f[0]);
    p.WriteCount = static_cast<DWORD>(f[4]);
    p.QueueDepth = static_cast<DWORD>(f[8]);
    p.QueryTime.QuadPart = uptime * kUnitsPerMillisecond;
    p.StorageDeviceNumber = disk;
    const char16_t manager[] = u"VOLMGR";
    std::copy(std::begin(manager), std::end(manager), p.StorageManagerName);
    return Reply(request, p);
}

void FillPartitionEntry(PARTITION_INFORMATION_EX& out, const TableEntry& entry, PARTITION_STYLE style)
{
    std::memset(&out, 0, sizeof(out));
    out.PartitionStyle = style;
    out.StartingOffset.QuadPart = static_cast<LONGLONG>(entry.Offset);
    out.PartitionLength.QuadPart = static_cast<LONGLONG>(entry.Length);
    out.PartitionNumber = entry.Number;
    if (style == PARTITION_STYLE_GPT) {
        out.Gpt.PartitionType = entry.Type;
        out.Gpt.PartitionId = entry.Id;
        out.Gpt.Attributes = entry.Attributes;
        std::copy_n(entry.Name.begin(), std::min<std::size_t>(entry.Name.size(), 36), out.Gpt.Name);
    } else if (style == PARTITION_STYLE_MBR) {
        out.Mbr.PartitionType = entry.MbrType;
        out.Mbr.BootIndicator = entry.Boot ? TRUE : FALSE;
        out.Mbr.RecognizedPartition = entry.Container ? FALSE : TRUE;
        out.Mbr.HiddenSectors = static_cast<DWORD>(entry.Offset / kSectorBytes);
        out.Mbr.PartitionId = entry.Id;
    }
}

platform::IoResult PartitionInfo(const platform::IoRequest& request, const TableEntry& entry, PARTITION_STYLE style)
{
    PARTITION_INFORMATION_EX info;
    FillPartitionEntry(info, entry, style);
    return Reply(request, info);
}

}  // namespace live::answers
