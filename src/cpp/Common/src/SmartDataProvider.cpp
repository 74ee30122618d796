#include "Common/SmartDataProvider.h"

#include "Common/SmartDataFetcher.h"

namespace Talvex::Quorlin::Cpp::Common {

std::vector<HardwareAccessLib::BasicDiskInfo> SmartDataProvider::GetAllBasicDiskInfo(const MediaTypes& mediaTypes)
{
    SmartDataFetcher fetcher;
    return fetcher.GetAllBasicDiskInfo(mediaTypes);
}

SmartDataCollection SmartDataProvider::GetSmartInformation(const HardwareAccessLib::BasicDiskInfo& disk,
                                                           const std::vector<std::uint8_t>& vendorSpecific)
{
    SmartDataFetcher fetcher;
    return fetcher.GetSmartInformation(disk, vendorSpecific);
}

std::vector<SmartDataCollection> SmartDataProvider::GetAllSmartInformation(const MediaTypes& mediaTypes)
{
    SmartDataFetcher fetcher;
    return fetcher.GetAllSmartInformation(mediaTypes);
}

}  // namespace Talvex::Quorlin::Cpp::Common
