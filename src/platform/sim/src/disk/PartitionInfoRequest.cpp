// IOCTL_DISK_GET_PARTITION_INFO_EX on a volume: its PARTITION_INFORMATION_EX.
#include <cstring>

#include "Requests.h"

namespace sim::requests {

platform::IoResult AnswerPartitionInfo(const platform::IoRequest& request, const PartitionModel& partition,
                                       PartitionStyle style)
{
    constexpr DWORD kSize = kPartitionEntrySize;
    if (request.out == nullptr || request.outSize < kSize) return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    std::memset(request.out, 0, kSize);
    wire::Writer out(request.out, kSize);
    WritePartitionEntry(out, 0, partition, style);
    return platform::IoResult::Success(kSize);
}

}  // namespace sim::requests
