#include "NvmeTables.h"

#include <cstdio>

#include "Collection.h"
#include "nvme_identify_controller_data.pb.h"
#include "smart_nvme_info.pb.h"

namespace Storcoll {

namespace {

using namespace Talvex::Quorlin::Datatypes;

// The health log counts data in units of 1000 sectors of 512 bytes.
constexpr Counter128 kDataUnitBytes = 512'000;
// What the plug-in hands on for a temperature the drive does not report.
constexpr int kNoTemperature = 0;

class Fields {
public:
    void Add(std::string name, std::string value, Tone tone = Tone::Plain)
    {
        m_table.AddRow({{std::move(name)}, {std::move(value), tone}});
    }
    void Print(const TableContext& context) const
    {
        m_table.Print(context.Out, context.Options.Width, context.Options.Color, 4);
    }

private:
    TextTable m_table{{{"Field"}, {"Value"}}};
};

std::string Celsius(const google::protobuf::Int32Value& value)
{
    return value.value() == kNoTemperature ? "not reported" : std::to_string(value.value()) + " \u00b0C";
}

std::string Kelvin(bool set, const google::protobuf::UInt32Value& value)
{
    if (!set) {
        return "-";
    }
    if (value.value() == 0) {
        return "not reported";
    }
    return std::to_string(static_cast<long>(value.value()) - 273) + " \u00b0C (" + std::to_string(value.value()) +
           " K)";
}

std::string CounterText(const std::string& hex)
{
    const auto count = ParseHexCounter(hex);
    return count ? DecimalText(*count) : hex.empty() ? "-"
                                                     : "unreadable (" + hex + ")";
}

std::string DataUnitsText(const std::string& hex)
{
    const auto units = ParseHexCounter(hex);
    if (!units) {
        return CounterText(hex);
    }
    return SizeText(*units * kDataUnitBytes) + " (" + DecimalText(*units) + " units)";
}

// The names of the set flags of a message of BoolValue fields, "none" when no flag is set.
std::string FlagNames(const google::protobuf::Message& flags, bool& any)
{
    std::string names;
    const auto* descriptor = flags.GetDescriptor();
    const auto* reflection = flags.GetReflection();
    for (int index = 0; index < descriptor->field_count(); ++index) {
        const auto* field = descriptor->field(index);
        if (reflection->HasField(flags, field) &&
            static_cast<const google::protobuf::BoolValue&>(reflection->GetMessage(flags, field)).value()) {
            names += names.empty() ? "" : ", ";
            names += field->json_name();
        }
    }
    any = !names.empty();
    return any ? names : "none";
}

void AddHealthLog(Fields& fields, const NvmeHealthInfo& health)
{
    bool warned = false;
    if (health.has_critical_warning()) {
        const std::string names = FlagNames(health.critical_warning(), warned);
        fields.Add("Critical warnings", names, warned ? Tone::Bad : Tone::Good);
    }
    if (health.has_endurance_group_critical_warning_summary()) {
        const std::string names = FlagNames(health.endurance_group_critical_warning_summary(), warned);
        fields.Add("Endurance group warnings", names, warned ? Tone::Bad : Tone::Plain);
    }
    if (health.has_composite_temperature()) {
        fields.Add("Temperature", Celsius(health.composite_temperature()));
    }
    std::string sensors;
    const auto* descriptor = health.GetDescriptor();
    for (int sensor = 1; sensor <= 8; ++sensor) {
        const auto* field = descriptor->FindFieldByName("temperature_sensor_" + std::to_string(sensor));
        if (field == nullptr || !health.GetReflection()->HasField(health, field)) {
            continue;
        }
        const auto& value =
            static_cast<const google::protobuf::Int32Value&>(health.GetReflection()->GetMessage(health, field));
        if (value.value() != kNoTemperature) {
            sensors += (sensors.empty() ? "" : ", ") + std::to_string(sensor) + ": " + Celsius(value);
        }
    }
    if (!sensors.empty()) {
        fields.Add("Temperature sensors", sensors);
    }
    if (health.has_available_spare()) {
        const bool low = health.has_available_spare_threshold() &&
                         health.available_spare().value() < health.available_spare_threshold().value();
        fields.Add("Available spare",
                   std::to_string(health.available_spare().value()) + " % (threshold " +
                       ValueText(health.has_available_spare_threshold(), health.available_spare_threshold()) + " %)",
                   low ? Tone::Bad : Tone::Plain);
    }
    if (health.has_percentage_used()) {
        fields.Add("Percentage used", std::to_string(health.percentage_used().value()) + " %",
                   health.percentage_used().value() >= 100 ? Tone::Bad : Tone::Plain);
    }
    fields.Add("Data read", DataUnitsText(health.data_unit_read()));
    fields.Add("Data written", DataUnitsText(health.data_unit_written()));
    fields.Add("Host read commands", CounterText(health.host_read_commands()));
    fields.Add("Host write commands", CounterText(health.host_written_commands()));
    fields.Add("Controller busy time", CounterText(health.controller_busy_time()) + " min");
    fields.Add("Power cycles", CounterText(health.power_cycles()));
    fields.Add("Power-on hours", CounterText(health.power_on_hours()));
    fields.Add("Unsafe shutdowns", CounterText(health.unsafe_shutdowns()));
    const auto errors = ParseHexCounter(health.media_and_data_integrity_errors());
    fields.Add("Media and data integrity errors", CounterText(health.media_and_data_integrity_errors()),
               errors && *errors != 0 ? Tone::Caution : Tone::Plain);
    fields.Add("Error log entries", CounterText(health.number_of_error_info_log_entries()));
    fields.Add("Warning temperature time",
               ValueText(health.has_warning_composite_temperature_time(), health.warning_composite_temperature_time()) +
                   " min");
    fields.Add("Critical temperature time", ValueText(health.has_critical_composite_temperature_time(),
                                                      health.critical_composite_temperature_time()) +
                                                " min");
}

void AddCustomizedHealth(Fields& fields, const NvmeCustomizedHealthInfo& custom)
{
    fields.Add("Wear leveling count", ValueText(custom.has_wear_leveling_count(), custom.wear_leveling_count()));
    fields.Add("Used reserved blocks (worst component)",
               ValueText(custom.has_used_reserved_block_count_worst_case_component(),
                         custom.used_reserved_block_count_worst_case_component()));
    fields.Add("Used reserved blocks (total)", ValueText(custom.has_used_reserved_block_count_ssd_total(),
                                                         custom.used_reserved_block_count_ssd_total()));
    fields.Add("Reserved blocks (total)",
               ValueText(custom.has_reserved_block_count_ssd_total(), custom.reserved_block_count_ssd_total()));
    fields.Add("Lowest temperature", Kelvin(custom.has_minimum_temperature(), custom.minimum_temperature()));
    fields.Add("Highest temperature", Kelvin(custom.has_maximum_temperature(), custom.maximum_temperature()));
    fields.Add("Data written by the controller", CounterText(custom.total_data_written_by_controller()));
    fields.Add("Abnormal input voltage events", ValueText(custom.has_abnormal_input_vcc_voltage_counter(),
                                                          custom.abnormal_input_vcc_voltage_counter()));
}

std::string HexText(bool set, const google::protobuf::UInt32Value& value)
{
    if (!set) {
        return "-";
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value.value()));
    return text;
}

// Max power in watts: the descriptor counts it in 0.01 W, or 0.0001 W when its scale bit is set.
std::string Watts(const NvmePowerStateDesc& state)
{
    if (!state.has_max_power()) {
        return "-";
    }
    const bool fine = state.has_max_power_scale() && state.max_power_scale().value();
    char text[32];
    std::snprintf(text, sizeof text, "%.2f W", state.max_power().value() * (fine ? 0.0001 : 0.01));
    return text;
}

void PrintPowerStates(const TableContext& context, const NvmeIdentifyControllerData& identify)
{
    TextTable states({{"State", TextTable::Align::Right},
                      {"Max power", TextTable::Align::Right},
                      {"Operational"},
                      {"Entry latency", TextTable::Align::Right},
                      {"Exit latency", TextTable::Align::Right}});
    int index = 0;
    for (const auto& state : identify.power_state_desc()) {
        const bool nonOperational = state.has_non_operational_state() && state.non_operational_state().value();
        states.AddRow({{std::to_string(index++)},
                       {Watts(state)},
                       {nonOperational ? "no" : "yes"},
                       {ValueText(state.has_entry_latency(), state.entry_latency()) + " \u00b5s"},
                       {ValueText(state.has_exit_latency(), state.exit_latency()) + " \u00b5s"}});
    }
    states.Print(context.Out, context.Options.Width, context.Options.Color, 4);
}

// Each item holding a `T`, printed by `print` under its disk's label, with a
// blank line between them.
template <class T, class Print>
void PrintEach(const TableContext& context, std::span<const Kvr::GenericItem> items, Print print)
{
    bool first = true;
    for (const auto& item : items) {
        const T* message = MessageOf<T>(item);
        if (message == nullptr) {
            continue;
        }
        context.Out << (first ? "" : "\n");
        first = false;
        Subheading(context, context.Labels.Label(item.ItemId));
        print(*message);
    }
}

}  // namespace

void PrintNvmeHealth(const TableContext& context, std::span<const Kvr::GenericItem> items)
{
    PrintEach<SmartNvmeInfo>(context, items, [&](const SmartNvmeInfo& nvme) {
        Fields fields;
        if (nvme.has_health_info()) {
            AddHealthLog(fields, nvme.health_info());
        } else {
            fields.Add("Health log", "not returned", Tone::Faint);
        }
        if (nvme.has_customized_health_info()) {
            AddCustomizedHealth(fields, nvme.customized_health_info());
        }
        fields.Print(context);
    });
}

void PrintNvmeIdentify(const TableContext& context, std::span<const Kvr::GenericItem> items)
{
    PrintEach<NvmeIdentifyControllerData>(context, items, [&](const NvmeIdentifyControllerData& identify) {
        Fields fields;
        fields.Add("PCI vendor", HexText(identify.has_pci_vendor_id(), identify.pci_vendor_id()));
        fields.Add("PCI subsystem vendor",
                   HexText(identify.has_pci_subsystem_vendor_id(), identify.pci_subsystem_vendor_id()));
        fields.Add("Model", identify.model_number());
        fields.Add("Serial number", identify.serial_number());
        fields.Add("Firmware", identify.firmware_revision());
        if (identify.has_version()) {
            const auto& version = identify.version();
            fields.Add("NVMe version", ValueText(version.has_major(), version.major()) + "." +
                                           ValueText(version.has_minor(), version.minor()) + "." +
                                           ValueText(version.has_tertiary(), version.tertiary()));
        }
        const auto capacity = ParseHexCounter(identify.total_nvm_capacity());
        fields.Add("Capacity", capacity ? SizeText(*capacity) : CounterText(identify.total_nvm_capacity()));
        const auto unallocated = ParseHexCounter(identify.unallocated_nvm_capacity());
        fields.Add("Unallocated", unallocated ? SizeText(*unallocated) : CounterText(identify.unallocated_nvm_capacity()));
        fields.Add("Namespaces", ValueText(identify.has_number_of_namespaces(), identify.number_of_namespaces()));
        fields.Add("Warning temperature", Kelvin(identify.has_warning_composite_temperature_threshold(),
                                                 identify.warning_composite_temperature_threshold()));
        fields.Add("Critical temperature", Kelvin(identify.has_critical_composite_temperature_threshold(),
                                                  identify.critical_composite_temperature_threshold()));
        if (!identify.nvm_subsystem_nvme_qualified_name().empty()) {
            fields.Add("Subsystem NQN", identify.nvm_subsystem_nvme_qualified_name());
        }
        if (identify.has_customized_controller_data()) {
            const auto& custom = identify.customized_controller_data();
            fields.Add("Piece-part id", custom.eppid().empty() ? "-" : custom.eppid());
            fields.Add("Component id", custom.component_id().empty() ? "-" : custom.component_id());
        }
        fields.Add("Power states", std::to_string(identify.power_state_desc_size()));
        fields.Print(context);
        if (identify.power_state_desc_size() > 0) {
            PrintPowerStates(context, identify);
        }
    });
}

}  // namespace Storcoll
