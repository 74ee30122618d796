// The health information log of each NVMe drive, with the customized health data.
#include "NvmeDataGetter.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "NvmeDrives.h"

namespace Talvex::Quorlin::Plugins::NvmeDataGetter {

namespace {

namespace nvme = talvex::stordex::nvme;
namespace dt = Datatypes;
using Drives::ForEachNvmeDrive;
using Drives::ItemId;
using Drives::Owned;

void Fill(const nvme::IHealthInfo::ICriticalWarning& s, dt::NvmeCriticalWarning& m)
{
    m.mutable_low_available_space()->set_value(s.LowAvailableSpace());
    m.mutable_out_of_temperature_threshold()->set_value(s.OutOfTemperatureThreshold());
    m.mutable_degraded_reliability()->set_value(s.DegradedReliability());
    m.mutable_read_only()->set_value(s.ReadOnly());
    m.mutable_failed_volatile_memory_backup_device()->set_value(s.FailedVolatileMemoryBackupDevice());
    m.mutable_unreliable_persistent_memory_region()->set_value(s.UnreliablePersistentMemoryRegion());
}

void Fill(const nvme::IHealthInfo::IEnduranceGroupCriticalWarningSummary& s,
          dt::NvmeEnduranceGroupCriticalWarningSummary& m)
{
    m.mutable_low_available_spare_capacity()->set_value(s.LowAvailableSpareCapacity());
    m.mutable_degraded_reliability()->set_value(s.DegradedReliability());
    m.mutable_read_only()->set_value(s.ReadOnly());
}

void Fill(const nvme::IHealthInfo& s, dt::NvmeHealthInfo& m)
{
    m.mutable_composite_temperature()->set_value(ToValidTemperature(s.CompositeTemperature()));
    m.mutable_available_spare()->set_value(s.AvailableSpare());
    m.mutable_available_spare_threshold()->set_value(s.AvailableSpareThreshold());
    m.mutable_percentage_used()->set_value(s.PercentageUsed());
    m.set_data_unit_read(s.DataUnitRead().Hex());
    m.set_data_unit_written(s.DataUnitWritten().Hex());
    m.set_host_read_commands(s.HostReadCommands().Hex());
    m.set_host_written_commands(s.HostWrittenCommands().Hex());
    m.set_controller_busy_time(s.ControllerBusyTime().Hex());
    m.set_power_cycles(s.PowerCycles().Hex());
    m.set_power_on_hours(s.PowerOnHours().Hex());
    m.set_unsafe_shutdowns(s.UnsafeShutdowns().Hex());
    m.set_media_and_data_integrity_errors(s.MediaAndDataIntegrityErrors().Hex());
    m.set_number_of_error_info_log_entries(s.NumberOfErrorInfoLogEntries().Hex());
    m.mutable_warning_composite_temperature_time()->set_value(s.WarningCompositeTemperatureTime());
    m.mutable_critical_composite_temperature_time()->set_value(s.CriticalCompositeTemperatureTime());
    m.mutable_temperature_sensor_1()->set_value(ToValidTemperature(s.TemperatureSensor1()));
    m.mutable_temperature_sensor_2()->set_value(ToValidTemperature(s.TemperatureSensor2()));
    m.mutable_temperature_sensor_3()->set_value(ToValidTemperature(s.TemperatureSensor3()));
    m.mutable_temperature_sensor_4()->set_value(ToValidTemperature(s.TemperatureSensor4()));
    m.mutable_temperature_sensor_5()->set_value(ToValidTemperature(s.TemperatureSensor5()));
    m.mutable_temperature_sensor_6()->set_value(ToValidTemperature(s.TemperatureSensor6()));
    m.mutable_temperature_sensor_7()->set_value(ToValidTemperature(s.TemperatureSensor7()));
    m.mutable_temperature_sensor_8()->set_value(ToValidTemperature(s.TemperatureSensor8()));
    m.mutable_thermal_mgmt_temperature_1_transition_count()->set_value(s.ThermalMgmtTemperature1TransitionCount());
    m.mutable_thermal_mgmt_temperature_2_transition_count()->set_value(s.ThermalMgmtTemperature2TransitionCount());
    m.mutable_total_time_for_thermal_mgmt_temperature_1()->set_value(s.TotalTimeForThermalMgmtTemperature1());
    m.mutable_total_time_for_thermal_mgmt_temperature_2()->set_value(s.TotalTimeForThermalMgmtTemperature2());
}

// Minimum and maximum temperature stay as the log has them.
void Fill(const nvme::ICustomizedHealthInfo& s, dt::NvmeCustomizedHealthInfo& m)
{
    m.mutable_wear_leveling_count()->set_value(s.WearLevelingCount());
    m.mutable_used_reserved_block_count_worst_case_component()->set_value(
        s.UsedReservedBlockCountWorstCaseComponent());
    m.mutable_used_reserved_block_count_ssd_total()->set_value(s.UsedReservedBlockCountSsdTotal());
    m.mutable_reserved_block_count_ssd_total()->set_value(s.ReservedBlockCountSsdTotal());
    m.mutable_minimum_temperature()->set_value(s.MinimumTemperature());
    m.mutable_maximum_temperature()->set_value(s.MaximumTemperature());
    m.set_total_data_written_by_controller(s.TotalDataWrittenByController().Hex());
    m.mutable_accumulated_host_active_idle_counter()->set_value(s.AccumulatedHostActiveIdleCounter());
    m.mutable_accumulated_non_operational_power_state_counter()->set_value(
        s.AccumulatedNonOperationalPowerStateCounter());
    m.mutable_abnormal_input_vcc_voltage_counter()->set_value(s.AbnormalInputVccVoltageCounter());
}

// Fills the nested message only when the library gave the sub-object; asking
// for the message is what sets the field.
template <class Source, class MutableField>
void FillIfPresent(const Source* source, MutableField mutableField)
{
    if (source != nullptr) Fill(*source, *mutableField());
}

// The two warning objects are the caller's, made afresh by each call: each
// is owned, read when present and released before the next is asked for.
dt::NvmeHealthInfo ToHealthInfo(const nvme::IHealthInfo& health)
{
    dt::NvmeHealthInfo m;
    Fill(health, m);
    {
        const auto warning = Owned(health.CriticalWarning());
        FillIfPresent(warning.get(), [&m] { return m.mutable_critical_warning(); });
    }
    {
        const auto summary = Owned(health.EnduranceGroupCriticalWarningSummary());
        FillIfPresent(summary.get(), [&m] { return m.mutable_endurance_group_critical_warning_summary(); });
    }
    return m;
}

}  // namespace

ItemTable<dt::SmartNvmeInfo> GetNvmeHealthData()
{
    ItemTable<dt::SmartNvmeInfo> table;
    const std::vector<DiskDeviceInfo> devices = StorageHelper::getDeviceInfo();
    ForEachNvmeDrive([&](std::uint32_t drive) {
        const auto health = Owned(SXNvmNewHealthInfo(drive));
        if (!health) return;
        dt::SmartNvmeInfo info;
        *info.mutable_health_info() = ToHealthInfo(*health);
        {
            const auto customized = Owned(SXNvmNewCustomizedHealthInfo(drive));
            FillIfPresent(customized.get(), [&info] { return info.mutable_customized_health_info(); });
        }
        table.Add(ItemId(devices, drive), std::move(info));
    });
    return table;
}

std::int32_t ToValidTemperature(std::int32_t value)
{
    constexpr std::int32_t kNotValid = -273;
    return value == kNotValid ? 0 : value;
}

}  // namespace Talvex::Quorlin::Plugins::NvmeDataGetter
