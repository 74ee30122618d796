// Described machines for the benchmarks: `disks` disks in a repeating mix of
// SATA SSD, SATA hard disk and NVMe drive, each with a two-partition GPT
// layout, and `volumes` lettered volumes on the second partitions of the
// first disks.
#pragma once

#include <string>

namespace bench {

std::string BenchMachineJson(int disks, int volumes);

}  // namespace bench
