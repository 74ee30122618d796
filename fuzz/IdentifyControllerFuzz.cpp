// Any bytes as an Identify Controller page: decoded, with its texts, its power
// state descriptors and its vendor area read as the collector reads them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "IdentifyControllerData.h"
#include "NvmeFuzzSupport.h"
#include "stordex/CustomizedControllerData.h"

using namespace talvex::stordex::nvme;
using fuzz_support::Use;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_support::OwningCustody custody;
    const auto identify = DecodeIdentifyController(std::span(data, size), custody);
    if (!identify) return 0;
    Use(identify->SerialNumber());
    Use(identify->ModelNumber());
    Use(identify->FirmwareRevision());
    Use(identify->IeeeOuiIdentifier());
    Use(identify->FruGloballyUniqueIdentifier());
    Use(identify->TotalNvmCapacity());
    Use(identify->UnallocatedNvmCapacity());
    Use(identify->NvmSubsystemNvmeQualifiedName());
    Use(identify->Version()->Major());
    Use(identify->SanitizeCap()->NoDeallocateModifiesMediaAfterSanitize());
    for (std::uint32_t i = 0; i <= identify->NumberOfPowerStatesSupport(); ++i)
        if (const auto* state = identify->PowerStateDesc(i)) {
            Use(state->MaxPower());
            Use(state->ActivePower());
        }
    // The custody keeps the vendor object, as the library's does until SXDelete.
    if (const auto* customized = dynamic_cast<const ICustomizedControllerData*>(identify->VendorSpecificInfo())) {
        Use(customized->Eppid());
        Use(customized->Guid());
        Use(customized->ComponentId());
        Use(static_cast<int>(customized->FormFactor()));
        if (const auto* category = customized->DeviceCategory()) Use(category->Class11());
    }
    return 0;
}
