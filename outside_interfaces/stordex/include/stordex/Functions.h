// The functions the device query library exports.
//
// They live in the global namespace, with C++ linkage: the SX prefix is the
// library's namespace here, and callers name them bare. Their types live in
// talvex::stordex.
//
// A drive is a physical drive number, the n of \\.\PhysicalDriveN, which is
// also the index that keys the WMI drive list. Any of these functions but
// SXDelete() may throw a standard exception; a null result means the data is
// not available for that drive.
#pragma once

#include <cstdint>

#include "stordex/Export.h"
#include "stordex/StorageBusType.h"

namespace talvex::stordex::nvme {
class IIdentifyControllerData;
class IHealthInfo;
class ICustomizedHealthInfo;
}  // namespace talvex::stordex::nvme

// Bit n set: physical drive n exists.
STORDEX_API std::uint32_t SXGetPhysicalDrives();

STORDEX_API talvex::stordex::StorageBusType SXQueryStorageBusType(std::uint32_t drive);

// Each returns a new object that the caller owns and releases with SXDelete(),
// or null.
STORDEX_API talvex::stordex::nvme::IIdentifyControllerData* SXNvmNewIdentifyControllerData(std::uint32_t drive);
STORDEX_API talvex::stordex::nvme::IHealthInfo* SXNvmNewHealthInfo(std::uint32_t drive);
STORDEX_API talvex::stordex::nvme::ICustomizedHealthInfo* SXNvmNewCustomizedHealthInfo(std::uint32_t drive);

// Releases an object the library handed out as caller-owned: the results of
// the three functions above and of IIdentifyControllerData::VendorSpecificInfo(),
// IHealthInfo::CriticalWarning() and
// IHealthInfo::EnduranceGroupCriticalWarningSummary(). Pass exactly the
// pointer the library returned (converted to void*, as a shared owner with
// this deleter does), never one obtained by a cast to another interface.
// Null is accepted and does nothing, because shared owners hand on whatever
// they hold.
STORDEX_API void SXDelete(void* object) noexcept;
