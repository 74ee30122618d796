// A drive's customized, vendor-defined health log, decoded by the device query
// library. Only drives whose log carries the customized layout's signature
// have one; for the others SXNvmNewCustomizedHealthInfo() returns null.
//
// Ownership: the object comes from SXNvmNewCustomizedHealthInfo() and the
// caller releases it with SXDelete(); the array returned by reference belongs
// to it.
#pragma once

#include <cstdint>

#include "stordex/Array.h"
#include "stordex/Export.h"
#include "stordex/InterfaceVersion.h"

namespace talvex::stordex::nvme {

class STORDEX_INTERFACE ICustomizedHealthInfo {
public:
    virtual std::uint32_t InterfaceVersion() const = 0;

    virtual std::uint8_t WearLevelingCount() const = 0;
    virtual std::uint8_t UsedReservedBlockCountWorstCaseComponent() const = 0;
    virtual std::uint8_t UsedReservedBlockCountSsdTotal() const = 0;
    virtual std::uint32_t ReservedBlockCountSsdTotal() const = 0;
    // As the log records them; unlike the standard log's, not converted.
    virtual std::uint16_t MinimumTemperature() const = 0;
    virtual std::uint16_t MaximumTemperature() const = 0;
    // 128-bit little-endian count.
    virtual const Carray<16>& TotalDataWrittenByController() const = 0;
    virtual std::uint32_t AccumulatedHostActiveIdleCounter() const = 0;
    virtual std::uint32_t AccumulatedNonOperationalPowerStateCounter() const = 0;
    virtual std::uint8_t AbnormalInputVccVoltageCounter() const = 0;

protected:
    // Neither this nor any nested interface is destroyed through itself:
    // SXDelete() knows what it made, and a virtual destructor would add slots
    // that a library built to the contract does not have.
    ~ICustomizedHealthInfo() = default;
};

}  // namespace talvex::stordex::nvme
