// What callers of the device query library rely on beyond the names: the bus
// type numbers they compare with, and that every object they release through
// SXDelete() can be destroyed through the pointer they hold.
#include <cstdint>
#include <type_traits>
#include <utility>

#include "stordex/Nvme.h"

namespace {

using talvex::stordex::StorageBusType;
namespace nvme = talvex::stordex::nvme;

// Numbered as Windows' STORAGE_BUS_TYPE; the NVMe collection acts on 17 and 8.
static_assert(static_cast<std::uint32_t>(StorageBusType::Nvme) == 17);
static_assert(static_cast<std::uint32_t>(StorageBusType::RAID) == 8);
static_assert(static_cast<std::uint32_t>(StorageBusType::Sata) == 11);
static_assert(static_cast<std::uint32_t>(StorageBusType::Ufs) == 19);
static_assert(static_cast<std::uint32_t>(StorageBusType::MaxReserved) == 0x7F);
static_assert(sizeof(StorageBusType) == 4);

static_assert(std::is_same_v<decltype(&SXGetPhysicalDrives), std::uint32_t (*)()>);
static_assert(std::is_same_v<decltype(&SXQueryStorageBusType), StorageBusType (*)(std::uint32_t)>);
static_assert(std::is_same_v<decltype(&SXNvmNewIdentifyControllerData),
                             nvme::IIdentifyControllerData* (*)(std::uint32_t)>);
static_assert(std::is_same_v<decltype(&SXNvmNewHealthInfo), nvme::IHealthInfo* (*)(std::uint32_t)>);
static_assert(std::is_same_v<decltype(&SXNvmNewCustomizedHealthInfo),
                             nvme::ICustomizedHealthInfo* (*)(std::uint32_t)>);
// A shared owner's deleter: takes any caller-owned pointer, never throws.
static_assert(std::is_nothrow_invocable_v<decltype(&SXDelete), nvme::IHealthInfo*>);

// Caller-owned objects: mutable pointers, which SXDelete takes as void*.
static_assert(std::is_same_v<decltype(std::declval<const nvme::IIdentifyControllerData&>().VendorSpecificInfo()),
                             nvme::IIdentifyControllerData::IVendorSpecificInfo*>);
static_assert(std::is_same_v<decltype(std::declval<const nvme::IHealthInfo&>().CriticalWarning()),
                             nvme::IHealthInfo::ICriticalWarning*>);
static_assert(std::is_same_v<decltype(std::declval<const nvme::IHealthInfo&>().EnduranceGroupCriticalWarningSummary()),
                             nvme::IHealthInfo::IEnduranceGroupCriticalWarningSummary*>);

}  // namespace
