#include "Common/PhysicalDiskInfoProvider.h"

#include "Common/PhysicalDiskInfoFetcher.h"

namespace Talvex::Quorlin::Cpp::Common {

std::vector<HardwareAccessLib::BasicDiskInfo> PhysicalDiskInfoProvider::GetAllBasicDiskInfo(
    const MediaTypes& mediaTypes)
{
    PhysicalDiskInfoFetcher fetcher;
    return fetcher.GetAllBasicDiskInfo(mediaTypes);
}

PhysicalDiskInfo PhysicalDiskInfoProvider::GetPhysicalDiskInfo(const HardwareAccessLib::BasicDiskInfo& disk)
{
    PhysicalDiskInfoFetcher fetcher;
    return fetcher.GetPhysicalDiskInfo(disk);
}

void PhysicalDiskInfoProvider::GetMegaBytesTransferred(const std::string& driveLetter, std::int64_t& megaBytesRead,
                                                       std::int64_t& megaBytesWritten)
{
    PhysicalDiskInfoFetcher fetcher;
    std::int64_t read = 0;
    std::int64_t written = 0;
    fetcher.GetBytesTransferred(driveLetter, read, written);
    megaBytesRead = static_cast<std::int64_t>(static_cast<std::uint64_t>(read) >> 20);
    megaBytesWritten = static_cast<std::int64_t>(static_cast<std::uint64_t>(written) >> 20);
}

std::vector<PhysicalDiskInfo> PhysicalDiskInfoProvider::GetAllPhysicalDiskInfo(const MediaTypes& mediaTypes)
{
    PhysicalDiskInfoFetcher fetcher;
    return fetcher.GetAllPhysicalDiskInfo(mediaTypes);
}

void PhysicalDiskInfoProvider::GetBytesTransferred(const std::string& driveLetter, std::int64_t& read,
                                                   std::int64_t& written)
{
    PhysicalDiskInfoFetcher fetcher;
    fetcher.GetBytesTransferred(driveLetter, read, written);
}

}  // namespace Talvex::Quorlin::Cpp::Common
