// The library's objects are released through SXDelete(), which knows what it
// made. A virtual destructor in any interface would add slots ahead of the
// accessors, and a library built to the contract would then answer every
// accessor from the wrong slot: the build stops here instead.
#include <type_traits>

#include "stordex/Nvme.h"

namespace {

using namespace talvex::stordex::nvme;
using Ic = IIdentifyControllerData;

template <typename... Interfaces>
constexpr bool kNoVirtualDestructor = (!std::has_virtual_destructor_v<Interfaces> && ...);

static_assert(kNoVirtualDestructor<IHealthInfo, IHealthInfo::ICriticalWarning,
                                   IHealthInfo::IEnduranceGroupCriticalWarningSummary, ICustomizedHealthInfo,
                                   ICustomizedControllerData, ICustomizedControllerData::IDeviceCategory>);
static_assert(kNoVirtualDestructor<
              Ic,
              Ic::IControllerMultiPathIoAndNamespaceSharingCap,
              Ic::IVersion,
              Ic::IOptionalAsynchronousEventsSupported,
              Ic::IControllerAttributes,
              Ic::IReadRecoveryLevelsSupported,
              Ic::IOptionalAdminCommandSupport,
              Ic::IFirmwareUpdates,
              Ic::ILogPageAttributes,
              Ic::IAdminVendorSpecificCommandCfg,
              Ic::IAutoPowerStateTransitionAttributes,
              Ic::IReplayProtectedMemoryBlockSupport,
              Ic::IDeviceSelfTestOptions,
              Ic::IHostControlledThermalMgmtAttributes,
              Ic::ISanitizeCap,
              Ic::IAsymmetricNamespaceAccessCap,
              Ic::ISubmissionQueueEntrySize,
              Ic::ICompletionQueueEntrySize,
              Ic::IOptionalNvmCommandSupport,
              Ic::IFusedOperationSupport,
              Ic::IFormatNvmAttributes,
              Ic::IVolatileWriteCache,
              Ic::INvmVendorSpecificCommandCfg,
              Ic::INamespaceWriteProtectionCap,
              Ic::ISglSupport,
              Ic::IPowerStateDesc,
              Ic::IVendorSpecificInfo>);

}  // namespace
