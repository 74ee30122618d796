// Any 512 bytes as a SMART data sector and as a threshold sector, as a drive
// or WMI may deliver them.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "Common/SmartDataFetcher.h"

using Talvex::Quorlin::Cpp::Common::SmartDataCollection;
using Talvex::Quorlin::Cpp::Common::SmartDataFetcher;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t sector[512] = {};
    std::copy_n(data, std::min<std::size_t>(size, sizeof(sector)), sector);
    SmartDataCollection collection;
    SmartDataFetcher::ParseSmartAttributes(collection, sector);
    SmartDataFetcher::ParseSmartThresholds(collection, sector);
    return 0;
}
