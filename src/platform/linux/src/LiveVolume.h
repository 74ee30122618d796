// A lettered partition behind \\.\X:: its device number, its entry of the
// disk's partition table, and its counters.
#pragma once

#include <memory>

#include "DiskCatalog.h"
#include "LiveDisk.h"
#include "platform/Device.h"

namespace live {

class LiveVolume : public platform::Device {
public:
    LiveVolume(std::shared_ptr<LiveDisk> disk, const DiskEntry& entry, const PartitionEntry& partition,
               const Roots& roots);
    platform::IoResult Control(const platform::IoRequest& request) override;

private:
    std::shared_ptr<LiveDisk> m_disk;
    std::uint32_t m_diskNumber;
    PartitionEntry m_partition;
    std::filesystem::path m_statFile;
    std::filesystem::path m_procRoot;
};

}  // namespace live
