// Win32_PerfFormattedData_PerfDisk_PhysicalDisk from two samples of the
// disks' stat files: rates per second and percentages of the time between
// the samples, as Windows formats its raw counters, capped at 100 %.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "DiskCatalog.h"
#include "DriveLetters.h"
#include "live/Roots.h"
#include "platform/WmiData.h"

namespace live::wmi {

// The stat fields of every disk, in disk-list order.
using CounterSample = std::vector<std::vector<std::uint64_t>>;

CounterSample SampleCounters(const std::vector<DiskEntry>& disks, const Roots& roots);

// One row per disk named "N C: D:" (its number and the letters of its
// partitions, by letter), or "N" alone, then "_Total", which adds up the
// rates and averages the percentages.
std::vector<platform::WmiInstance> PerfDiskRows(const std::vector<DiskEntry>& disks,
                                                const std::vector<LetteredPartition>& letters,
                                                const CounterSample& before, const CounterSample& after,
                                                std::chrono::milliseconds elapsed);

}  // namespace live::wmi
