// Win32_PerfFormattedData_PerfDisk_PhysicalDisk (root\cimv2): the formatted
// counters of each disk, ascending by disk number, then the _Total row. A
// disk's row is named by its number followed by the letters of its volumes
// ("0 C:", "1 D: E:"), by its number alone when it has none. _Total adds up
// the rates and averages the percentages.
#include <algorithm>
#include <cstdint>

#include "Common.h"
#include "DerivedClasses.h"

namespace sim::wmi {

using platform::CimType;

namespace {

std::wstring InstanceName(const DiskDescription& disk, const std::vector<VolumeModel>& volumes)
{
    std::vector<wchar_t> letters;
    for (const VolumeModel& volume : volumes)
        if (volume.disk == disk.number) letters.push_back(volume.letter);
    std::sort(letters.begin(), letters.end());
    std::wstring name = std::to_wstring(disk.number);
    for (wchar_t letter : letters) name += std::wstring(L" ") + letter + L":";
    return name;
}

// Counters add up without wrapping around.
std::uint64_t Sum(std::uint64_t a, std::uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

platform::WmiInstance Row(const std::wstring& name, const DiskPerformance& perf)
{
    RowBuilder row(PerfDiskPhysicalDiskProperties());
    row.Null(L"Caption")
        .Null(L"Description")
        .Text(L"Name", name)
        .Unsigned(L"PercentIdleTime", perf.percentIdleTime)
        .Unsigned(L"PercentDiskTime", std::min<std::uint64_t>(100, Sum(perf.percentDiskReadTime, perf.percentDiskWriteTime)))
        .Unsigned(L"PercentDiskReadTime", perf.percentDiskReadTime)
        .Unsigned(L"PercentDiskWriteTime", perf.percentDiskWriteTime)
        .Unsigned(L"DiskBytesPersec", Sum(perf.diskReadBytesPersec, perf.diskWriteBytesPersec))
        .Unsigned(L"DiskReadBytesPersec", perf.diskReadBytesPersec)
        .Unsigned(L"DiskWriteBytesPersec", perf.diskWriteBytesPersec)
        .Unsigned(L"CurrentDiskQueueLength", 0)
        .Unsigned(L"AvgDiskQueueLength", 0)
        .Unsigned(L"SplitIOPerSec", 0);
    return row.Take();
}

}  // namespace

const std::vector<PropertyType>& PerfDiskPhysicalDiskProperties()
{
    static const std::vector<PropertyType> properties = {
        {L"AvgDiskQueueLength", CimType::Uint64},
        {L"Caption", CimType::String},
        {L"CurrentDiskQueueLength", CimType::Uint32},
        {L"Description", CimType::String},
        {L"DiskBytesPersec", CimType::Uint64},
        {L"DiskReadBytesPersec", CimType::Uint64},
        {L"DiskWriteBytesPersec", CimType::Uint64},
        {L"Name", CimType::String},
        {L"PercentDiskReadTime", CimType::Uint64},
        {L"PercentDiskTime", CimType::Uint64},
        {L"PercentDiskWriteTime", CimType::Uint64},
        {L"PercentIdleTime", CimType::Uint64},
        {L"SplitIOPerSec", CimType::Uint32},
    };
    return properties;
}

std::vector<platform::WmiInstance> PerfDiskPhysicalDiskRows(const MachineDescription& machine)
{
    std::vector<const DiskDescription*> disks;
    for (const DiskDescription& disk : machine.disks) disks.push_back(&disk);
    std::sort(disks.begin(), disks.end(), [](const auto* a, const auto* b) { return a->number < b->number; });

    std::vector<platform::WmiInstance> rows;
    DiskPerformance total{0, 0, 0, 0, 0};
    for (const DiskDescription* disk : disks) {
        rows.push_back(Row(InstanceName(*disk, machine.volumes), disk->perf));
        total.percentIdleTime = Sum(total.percentIdleTime, disk->perf.percentIdleTime);
        total.percentDiskReadTime = Sum(total.percentDiskReadTime, disk->perf.percentDiskReadTime);
        total.percentDiskWriteTime = Sum(total.percentDiskWriteTime, disk->perf.percentDiskWriteTime);
        total.diskReadBytesPersec = Sum(total.diskReadBytesPersec, disk->perf.diskReadBytesPersec);
        total.diskWriteBytesPersec = Sum(total.diskWriteBytesPersec, disk->perf.diskWriteBytesPersec);
    }
    if (!disks.empty()) {
        total.percentIdleTime /= disks.size();
        total.percentDiskReadTime /= disks.size();
        total.percentDiskWriteTime /= disks.size();
    } else {
        total.percentIdleTime = 100;
    }
    rows.push_back(Row(L"_Total", total));
    return rows;
}

}  // namespace sim::wmi
