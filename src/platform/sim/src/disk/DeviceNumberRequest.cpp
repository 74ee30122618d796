// IOCTL_STORAGE_GET_DEVICE_NUMBER: STORAGE_DEVICE_NUMBER, 12 bytes.
#include "Requests.h"

namespace sim::requests {

platform::IoResult AnswerDeviceNumber(const platform::IoRequest& request, std::uint32_t number,
                                      std::uint32_t partition)
{
    constexpr DWORD kSize = 12;
    constexpr std::uint32_t kFileDeviceDisk = 7;
    if (request.out == nullptr || request.outSize < kSize) return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    wire::Writer out(request.out, kSize);
    out.U32(0, kFileDeviceDisk);
    out.U32(4, number);
    out.U32(8, partition);
    return platform::IoResult::Success(kSize);
}

}  // namespace sim::requests
