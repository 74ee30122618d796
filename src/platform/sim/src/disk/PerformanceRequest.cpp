// IOCTL_DISK_PERFORMANCE on a volume: DISK_PERFORMANCE, 88 bytes.
#include <cstring>

#include "Requests.h"

namespace sim::requests {

platform::IoResult AnswerPerformance(const platform::IoRequest& request, const VolumeCounters& counters,
                                     std::uint32_t deviceNumber)
{
    constexpr DWORD kSize = 88;
    if (request.out == nullptr || request.outSize < kSize) return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    std::memset(request.out, 0, kSize);
    wire::Writer out(request.out, kSize);
    out.U64(0, static_cast<std::uint64_t>(counters.bytesRead));
    out.U64(8, static_cast<std::uint64_t>(counters.bytesWritten));
    out.U64(16, static_cast<std::uint64_t>(counters.readTime));
    out.U64(24, static_cast<std::uint64_t>(counters.writeTime));
    out.U64(32, static_cast<std::uint64_t>(counters.idleTime));
    out.U32(40, counters.readCount);
    out.U32(44, counters.writeCount);
    out.U32(48, counters.queueDepth);
    out.U32(52, counters.splitCount);
    out.U64(56, static_cast<std::uint64_t>(counters.queryTime));
    out.U32(64, deviceNumber);
    out.Units(68, L"VOLMGR", 8);  // the volume manager keeps the counters
    return platform::IoResult::Success(kSize);
}

}  // namespace sim::requests
