// Any bytes as a SMART / Health Information log and as the customized health
// log: decoded and read as the collector reads them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "CustomizedHealthInfo.h"
#include "HealthInfo.h"
#include "NvmeFuzzSupport.h"

using namespace talvex::stordex::nvme;
using fuzz_support::Use;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_support::OwningCustody custody;
    const std::span page(data, size);
    if (const auto health = DecodeHealthLog(page, custody)) {
        // Both stay in the custody's keeping, as they stay in the library's.
        const auto* warning = health->CriticalWarning();
        const auto* summary = health->EnduranceGroupCriticalWarningSummary();
        if (warning) Use(warning->ReadOnly());
        if (summary) Use(summary->ReadOnly());
        Use(health->CompositeTemperature());
        Use(health->DataUnitRead());
        Use(health->PowerOnHours());
        Use(health->NumberOfErrorInfoLogEntries());
        Use(health->TemperatureSensor8());
    }
    if (const auto customized = DecodeCustomizedHealthLog(page)) {
        Use(customized->TotalDataWrittenByController());
        Use(customized->MaximumTemperature());
        Use(customized->AbnormalInputVccVoltageCounter());
    }
    return 0;
}
