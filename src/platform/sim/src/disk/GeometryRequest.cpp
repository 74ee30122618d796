// IOCTL_DISK_GET_DRIVE_GEOMETRY: DISK_GEOMETRY, 24 bytes.
#include "Requests.h"

namespace sim::requests {

platform::IoResult AnswerGeometry(const platform::IoRequest& request, const DiskGeometry& geometry)
{
    constexpr DWORD kSize = 24;
    if (request.out == nullptr || request.outSize < kSize) return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    wire::Writer out(request.out, kSize);
    out.U64(0, static_cast<std::uint64_t>(geometry.cylinders));
    out.U32(8, geometry.mediaType);
    out.U32(12, geometry.tracksPerCylinder);
    out.U32(16, geometry.sectorsPerTrack);
    out.U32(20, geometry.bytesPerSector);
    return platform::IoResult::Success(kSize);
}

}  // namespace sim::requests
