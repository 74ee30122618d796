// Linux has no drive letters; mounted partitions get them from C upwards:
// the partition holding the root file system first, then the others in the
// byte order of the path each is first mounted on. A partition mounted twice
// gets one letter; partitions of disks that are not listed get none.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "DiskCatalog.h"

namespace live {

struct LetteredPartition {
    wchar_t Letter = L'C';
    std::size_t Disk = 0;       // index into the disk list
    std::size_t Partition = 0;  // index into its partitions
};

// mountinfo: the text of procfs's self/mountinfo.
std::vector<LetteredPartition> AssignLetters(const std::vector<DiskEntry>& disks, const std::string& mountinfo);

}  // namespace live
