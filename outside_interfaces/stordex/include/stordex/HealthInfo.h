// A drive's NVMe SMART / Health Information log, decoded by the device query
// library.
//
// Accessors follow the field order of the log page; the two bit fields
// (critical warning, endurance group summary) come decoded as objects of
// their own. The order of the virtual operations is part of the contract.
//
// Temperatures are whole degrees Celsius (Kelvin - 273); a sensor the drive
// does not implement, or any reading that is not valid, reads -273.
// The 128-bit counters are raw little-endian counts as the drive keeps them,
// never scaled (one data unit stays one).
//
// Ownership: the object comes from SXNvmNewHealthInfo() and the caller
// releases it with SXDelete(). So are the objects CriticalWarning() and
// EnduranceGroupCriticalWarningSummary() return, which are created for each
// call and outlive their parent. Arrays returned by reference belong to the
// parent and live as long as it does.
#pragma once

#include <cstdint>

#include "stordex/Array.h"
#include "stordex/Export.h"
#include "stordex/InterfaceVersion.h"

namespace talvex::stordex::nvme {

class STORDEX_INTERFACE IHealthInfo {
public:
    class STORDEX_INTERFACE ICriticalWarning {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool LowAvailableSpace() const = 0;
        virtual bool OutOfTemperatureThreshold() const = 0;
        virtual bool DegradedReliability() const = 0;
        virtual bool ReadOnly() const = 0;
        virtual bool FailedVolatileMemoryBackupDevice() const = 0;
        virtual bool UnreliablePersistentMemoryRegion() const = 0;

    protected:
        ~ICriticalWarning() = default;
    };

    class STORDEX_INTERFACE IEnduranceGroupCriticalWarningSummary {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool LowAvailableSpareCapacity() const = 0;
        virtual bool DegradedReliability() const = 0;
        virtual bool ReadOnly() const = 0;

    protected:
        ~IEnduranceGroupCriticalWarningSummary() = default;
    };

    virtual std::uint32_t InterfaceVersion() const = 0;

    // A new object on every call, owned by the caller; may be null.
    virtual ICriticalWarning* CriticalWarning() const = 0;
    virtual std::int32_t CompositeTemperature() const = 0;
    virtual std::uint8_t AvailableSpare() const = 0;
    virtual std::uint8_t AvailableSpareThreshold() const = 0;
    virtual std::uint8_t PercentageUsed() const = 0;
    // A new object on every call, owned by the caller; may be null.
    virtual IEnduranceGroupCriticalWarningSummary* EnduranceGroupCriticalWarningSummary() const = 0;
    virtual const Carray<16>& DataUnitRead() const = 0;
    virtual const Carray<16>& DataUnitWritten() const = 0;
    virtual const Carray<16>& HostReadCommands() const = 0;
    virtual const Carray<16>& HostWrittenCommands() const = 0;
    virtual const Carray<16>& ControllerBusyTime() const = 0;
    virtual const Carray<16>& PowerCycles() const = 0;
    virtual const Carray<16>& PowerOnHours() const = 0;
    virtual const Carray<16>& UnsafeShutdowns() const = 0;
    virtual const Carray<16>& MediaAndDataIntegrityErrors() const = 0;
    virtual const Carray<16>& NumberOfErrorInfoLogEntries() const = 0;
    virtual std::uint32_t WarningCompositeTemperatureTime() const = 0;
    virtual std::uint32_t CriticalCompositeTemperatureTime() const = 0;
    virtual std::int32_t TemperatureSensor1() const = 0;
    virtual std::int32_t TemperatureSensor2() const = 0;
    virtual std::int32_t TemperatureSensor3() const = 0;
    virtual std::int32_t TemperatureSensor4() const = 0;
    virtual std::int32_t TemperatureSensor5() const = 0;
    virtual std::int32_t TemperatureSensor6() const = 0;
    virtual std::int32_t TemperatureSensor7() const = 0;
    virtual std::int32_t TemperatureSensor8() const = 0;
    virtual std::uint32_t ThermalMgmtTemperature1TransitionCount() const = 0;
    virtual std::uint32_t ThermalMgmtTemperature2TransitionCount() const = 0;
    virtual std::uint32_t TotalTimeForThermalMgmtTemperature1() const = 0;
    virtual std::uint32_t TotalTimeForThermalMgmtTemperature2() const = 0;

protected:
    // Neither this nor any nested interface is destroyed through itself:
    // SXDelete() knows what it made, and a virtual destructor would add slots
    // that a library built to the contract does not have.
    ~IHealthInfo() = default;
};

}  // namespace talvex::stordex::nvme
