#include "HealthInfo.h"

#include <algorithm>
#include <array>

#include "ByteReader.h"

namespace talvex::stordex::nvme {

namespace {

// Critical Warning, byte 0; a copy of the byte, so it outlives the log.
class CriticalWarning final : public IHealthInfo::ICriticalWarning {
public:
    explicit CriticalWarning(std::uint8_t bits) : m_bits(bits) {}
    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }
    bool LowAvailableSpace() const override { return Bit(0); }
    bool OutOfTemperatureThreshold() const override { return Bit(1); }
    bool DegradedReliability() const override { return Bit(2); }
    bool ReadOnly() const override { return Bit(3); }
    bool FailedVolatileMemoryBackupDevice() const override { return Bit(4); }
    bool UnreliablePersistentMemoryRegion() const override { return Bit(5); }

private:
    bool Bit(unsigned bit) const { return ((m_bits >> bit) & 1U) != 0; }
    std::uint8_t m_bits;
};

// Endurance Group Critical Warning Summary, byte 6; bit 1 is reserved.
class EnduranceGroupSummary final : public IHealthInfo::IEnduranceGroupCriticalWarningSummary {
public:
    explicit EnduranceGroupSummary(std::uint8_t bits) : m_bits(bits) {}
    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }
    bool LowAvailableSpareCapacity() const override { return Bit(0); }
    bool DegradedReliability() const override { return Bit(2); }
    bool ReadOnly() const override { return Bit(3); }

private:
    bool Bit(unsigned bit) const { return ((m_bits >> bit) & 1U) != 0; }
    std::uint8_t m_bits;
};

// The ten 128-bit counters, from Data Units Read at byte 32, 16 bytes apart.
enum Counter : std::size_t {
    kDataUnitsRead,
    kDataUnitsWritten,
    kHostReadCommands,
    kHostWriteCommands,
    kControllerBusyTime,
    kPowerCycles,
    kPowerOnHours,
    kUnsafeShutdowns,
    kMediaErrors,
    kErrorLogEntries,
    kCounters
};
constexpr std::size_t kCounterOffset = 32;
constexpr std::size_t kTemperatureSensorOffset = 200;

class HealthInfo final : public IHealthInfo {
public:
    HealthInfo(std::span<const std::uint8_t> page, Custody& custody) : m_custody(custody)
    {
        std::copy_n(page.begin(), kHealthLogSize, m_bytes.begin());
        for (std::size_t i = 0; i < kCounters; ++i) m_page.CopyTo(kCounterOffset + 16 * i, m_counters[i]);
    }

    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }

    ICriticalWarning* CriticalWarning() const override
    {
        return m_custody.HandOut(MakeOwned<ICriticalWarning, class CriticalWarning>(m_page.U8(0)));
    }
    std::int32_t CompositeTemperature() const override { return KelvinToCelsius(m_page.U16(1)); }
    std::uint8_t AvailableSpare() const override { return m_page.U8(3); }
    std::uint8_t AvailableSpareThreshold() const override { return m_page.U8(4); }
    std::uint8_t PercentageUsed() const override { return m_page.U8(5); }
    IEnduranceGroupCriticalWarningSummary* EnduranceGroupCriticalWarningSummary() const override
    {
        return m_custody.HandOut(
            MakeOwned<IEnduranceGroupCriticalWarningSummary, EnduranceGroupSummary>(m_page.U8(6)));
    }
    const Carray<16>& DataUnitRead() const override { return m_counters[kDataUnitsRead]; }
    const Carray<16>& DataUnitWritten() const override { return m_counters[kDataUnitsWritten]; }
    const Carray<16>& HostReadCommands() const override { return m_counters[kHostReadCommands]; }
    const Carray<16>& HostWrittenCommands() const override { return m_counters[kHostWriteCommands]; }
    const Carray<16>& ControllerBusyTime() const override { return m_counters[kControllerBusyTime]; }
    const Carray<16>& PowerCycles() const override { return m_counters[kPowerCycles]; }
    const Carray<16>& PowerOnHours() const override { return m_counters[kPowerOnHours]; }
    const Carray<16>& UnsafeShutdowns() const override { return m_counters[kUnsafeShutdowns]; }
    const Carray<16>& MediaAndDataIntegrityErrors() const override { return m_counters[kMediaErrors]; }
    const Carray<16>& NumberOfErrorInfoLogEntries() const override { return m_counters[kErrorLogEntries]; }
    std::uint32_t WarningCompositeTemperatureTime() const override { return m_page.U32(192); }
    std::uint32_t CriticalCompositeTemperatureTime() const override { return m_page.U32(196); }
    std::int32_t TemperatureSensor1() const override { return Sensor(1); }
    std::int32_t TemperatureSensor2() const override { return Sensor(2); }
    std::int32_t TemperatureSensor3() const override { return Sensor(3); }
    std::int32_t TemperatureSensor4() const override { return Sensor(4); }
    std::int32_t TemperatureSensor5() const override { return Sensor(5); }
    std::int32_t TemperatureSensor6() const override { return Sensor(6); }
    std::int32_t TemperatureSensor7() const override { return Sensor(7); }
    std::int32_t TemperatureSensor8() const override { return Sensor(8); }
    std::uint32_t ThermalMgmtTemperature1TransitionCount() const override { return m_page.U32(216); }
    std::uint32_t ThermalMgmtTemperature2TransitionCount() const override { return m_page.U32(220); }
    std::uint32_t TotalTimeForThermalMgmtTemperature1() const override { return m_page.U32(224); }
    std::uint32_t TotalTimeForThermalMgmtTemperature2() const override { return m_page.U32(228); }

private:
    std::int32_t Sensor(std::size_t number) const
    {
        return KelvinToCelsius(m_page.U16(kTemperatureSensorOffset + 2 * (number - 1)));
    }

    Custody& m_custody;
    std::array<std::uint8_t, kHealthLogSize> m_bytes{};
    ByteReader m_page{m_bytes};
    std::array<Carray<16>, kCounters> m_counters{};
};

}  // namespace

Owned<IHealthInfo> DecodeHealthLog(std::span<const std::uint8_t> page, Custody& custody)
{
    if (page.size() < kHealthLogSize) return nullptr;
    return MakeOwned<IHealthInfo, HealthInfo>(page, custody);
}

}  // namespace talvex::stordex::nvme
