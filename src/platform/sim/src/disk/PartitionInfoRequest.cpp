// IOCTL_DISK_GET_PARTITION_INFO_EX on a volume: its PARTITION_INFORMATION_EX.
#include <cstring>

#include "Requests.h"

namespace sim::requests {

platform::IoResult AnswerPartitionInfo(const platform::IoRequest& request, const PartitionModel& partition,
                                       PartitionStyle style)
{
    constexpr DWORD size = partitionEntrySize;
    if (request.out == nullptr || request.outSize < size) return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    std::memset(request.out, 0, size);
    wire::Writer out(request.out, size);
    WritePartitionEntry(out, 0, partition, style);
    return platform::IoResult::Success(size);
}

}  // namespace sim::requests
