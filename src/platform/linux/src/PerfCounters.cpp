#include "PerfCounters.h"

#include <algorithm>

#include "SysfsFiles.h"
#include "WmiRows.h"

namespace live::wmi {

using platform::CimType;

namespace {

enum Field { Reads = 0,
             SectorsRead = 2,
             ReadMs = 3,
             Writes = 4,
             SectorsWritten = 6,
             WriteMs = 7,
             InFlight = 8,
             BusyMs = 9,
             QueueMs = 10 };

struct Formatted {
    std::uint64_t idle = 100;
    std::uint64_t read = 0;
    std::uint64_t write = 0;
    std::uint64_t readBytes = 0;
    std::uint64_t writeBytes = 0;
    std::uint64_t queue = 0;
    std::uint64_t averageQueue = 0;
};

std::uint64_t Delta(const std::vector<std::uint64_t>& before, const std::vector<std::uint64_t>& after, Field field)
{
    if (before.size() <= field || after.size() <= field || after[field] < before[field]) return 0;
    return after[field] - before[field];
}

std::uint64_t Percent(std::uint64_t part, std::uint64_t whole) { return std::min<std::uint64_t>(100, part * 100 / whole); }

Formatted Format(const std::vector<std::uint64_t>& before, const std::vector<std::uint64_t>& after, std::uint64_t ms)
{
    Formatted f;
    f.read = Percent(Delta(before, after, ReadMs), ms);
    f.write = Percent(Delta(before, after, WriteMs), ms);
    f.idle = 100 - Percent(Delta(before, after, BusyMs), ms);
    f.readBytes = Delta(before, after, SectorsRead) * 512 * 1000 / ms;
    f.writeBytes = Delta(before, after, SectorsWritten) * 512 * 1000 / ms;
    f.queue = after.size() > InFlight ? after[InFlight] : 0;
    f.averageQueue = Delta(before, after, QueueMs) / ms;
    return f;
}

platform::WmiInstance Row(const std::wstring& name, const Formatted& f)
{
    platform::WmiInstance row;
    Put(row, L"AvgDiskQueueLength", CimType::Uint64, f.averageQueue);
    row.Set(L"Caption", platform::WmiValue::Null(CimType::String));
    Put(row, L"CurrentDiskQueueLength", CimType::Uint32, f.queue);
    row.Set(L"Description", platform::WmiValue::Null(CimType::String));
    Put(row, L"DiskBytesPersec", CimType::Uint64, f.readBytes + f.writeBytes);
    Put(row, L"DiskReadBytesPersec", CimType::Uint64, f.readBytes);
    Put(row, L"DiskWriteBytesPersec", CimType::Uint64, f.writeBytes);
    Put(row, L"Name", name);
    Put(row, L"PercentDiskReadTime", CimType::Uint64, f.read);
    Put(row, L"PercentDiskTime", CimType::Uint64, std::min<std::uint64_t>(100, f.read + f.write));
    Put(row, L"PercentDiskWriteTime", CimType::Uint64, f.write);
    Put(row, L"PercentIdleTime", CimType::Uint64, f.idle);
    Put(row, L"SplitIOPerSec", CimType::Uint32, 0);
    return row;
}

}  // namespace

CounterSample SampleCounters(const std::vector<DiskEntry>& disks, const Roots& roots)
{
    CounterSample sample;
    for (const DiskEntry& disk : disks) sample.push_back(files::Fields(roots.Sys / "block" / disk.Name / "stat"));
    return sample;
}

std::vector<platform::WmiInstance> PerfDiskRows(const std::vector<DiskEntry>& disks,
                                                const std::vector<LetteredPartition>& letters,
                                                const CounterSample& before, const CounterSample& after,
                                                std::chrono::milliseconds elapsed)
{
    const std::uint64_t ms = std::max<std::int64_t>(1, elapsed.count());
    std::vector<platform::WmiInstance> rows;
    Formatted total;
    total.idle = 0;
    for (std::size_t d = 0; d < disks.size(); ++d) {
        const Formatted f = Format(d < before.size() ? before[d] : std::vector<std::uint64_t>{},
                                   d < after.size() ? after[d] : std::vector<std::uint64_t>{}, ms);
        std::vector<wchar_t> own;
        for (const LetteredPartition& lettered : letters)
            if (lettered.Disk == d) own.push_back(lettered.Letter);
        std::sort(own.begin(), own.end());
        std::wstring name = std::to_wstring(disks[d].Number);
        for (wchar_t letter : own) name += std::wstring(L" ") + letter + L":";
        rows.push_back(Row(name, f));
        total.idle += f.idle;
        total.read += f.read;
        total.write += f.write;
        total.readBytes += f.readBytes;
        total.writeBytes += f.writeBytes;
        total.queue += f.queue;
        total.averageQueue += f.averageQueue;
    }
    if (disks.empty()) {
        total.idle = 100;
    } else {
        total.idle /= disks.size();
        total.read /= disks.size();
        total.write /= disks.size();
    }
    rows.push_back(Row(L"_Total", total));
    return rows;
}

}  // namespace live::wmi
