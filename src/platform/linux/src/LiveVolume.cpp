#include "LiveVolume.h"

#include "Answers.h"

namespace live {

LiveVolume::LiveVolume(std::shared_ptr<LiveDisk> disk, const DiskEntry& entry, const PartitionEntry& partition,
                       const Roots& roots)
    : m_disk(std::move(disk)),
      m_diskNumber(entry.Number),
      m_partition(partition),
      m_statFile(roots.Sys / "block" / entry.Name / partition.Name / "stat"),
      m_procRoot(roots.Proc)
{
}

platform::IoResult LiveVolume::Control(const platform::IoRequest& request)
{
    switch (request.code) {
    case IOCTL_STORAGE_GET_DEVICE_NUMBER: return answers::DeviceNumber(request, m_diskNumber, m_partition.Number);
    case IOCTL_DISK_PERFORMANCE: return answers::Performance(request, m_statFile, m_procRoot, m_diskNumber);
    case IOCTL_DISK_GET_PARTITION_INFO_EX: {
        PartitionTable table;
        if (const DWORD error = m_disk->Table(table); error != ERROR_SUCCESS)
            return platform::IoResult::Failure(error);
        const TableEntry* entry = table.Find(m_partition.Number);
        if (entry == nullptr) return platform::IoResult::Failure(ERROR_INVALID_FUNCTION);
        return answers::PartitionInfo(request, *entry, table.Style);
    }
    default: return platform::IoResult::Failure(ERROR_INVALID_FUNCTION);
    }
}

}  // namespace live
