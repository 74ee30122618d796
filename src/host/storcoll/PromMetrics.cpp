#include "PromMetrics.h"

#include <chrono>
#include <map>

#include <google/protobuf/wrappers.pb.h>

#include "Collection.h"
#include "HexCounter.h"
#include "PromExposition.h"
#include "SmartAttributes.h"
#include "nvme_identify_controller_data.pb.h"
#include "physical_disk_dynamic_info.pb.h"
#include "physical_disk_static_info.pb.h"
#include "smart_dynamic_info.pb.h"
#include "smart_nvme_info.pb.h"
#include "smart_static_info.pb.h"

namespace Storcoll {

namespace {

namespace Dt = Talvex::Quorlin::Datatypes;
using Type = PromExposition::Type;
using Labels = PromExposition::Labels;

constexpr double kMebibyte = 1024.0 * 1024.0;
// NVMe counts data in units of 1000 blocks of 512 bytes.
constexpr double kNvmeDataUnit = 512'000.0;
constexpr double kMinute = 60.0;
constexpr double kHour = 3600.0;
// The collector's value for a temperature sensor the drive does not have
// (the drive itself reports 0 Kelvin for it).
constexpr int kNoTemperature = 0;
constexpr double kKelvinOffset = 273.0;

// What names a disk in every series: its item id, and where the collection
// told them, its number, model and serial number.
struct DiskIdentity {
    std::string Number;
    std::string Model;
    std::string Serial;
};

template <class T, class Visit>
void ForEachItem(std::span<const PromMethodRun> runs, Visit visit)
{
    for (const auto& run : runs) {
        if (!run.Items) {
            continue;
        }
        for (const auto& item : *run.Items) {
            if (const T* message = MessageOf<T>(item)) {
                visit(item.ItemId, *message);
            }
        }
    }
}

// Drive texts come padded with spaces, which would only make label values
// differ between data types.
void SetOnce(std::string& field, const std::string& value)
{
    const auto first = value.find_first_not_of(' ');
    if (field.empty() && first != std::string::npos) {
        field = value.substr(first, value.find_last_not_of(' ') - first + 1);
    }
}

// "DISK3" and "SMART3" both name disk 3; "SSD" names no number.
std::string NumberAfter(const std::string& name, std::string_view prefix)
{
    if (!name.starts_with(prefix) || name.size() == prefix.size()) {
        return {};
    }
    const std::string digits = name.substr(prefix.size());
    return digits.find_first_not_of("0123456789") == std::string::npos ? digits : std::string();
}

std::map<std::string, DiskIdentity> Identities(std::span<const PromMethodRun> outcomes)
{
    std::map<std::string, DiskIdentity> disks;
    ForEachItem<Dt::PhysicalDiskStaticInfo>(outcomes, [&](const std::string& id, const auto& disk) {
        SetOnce(disks[id].Number, NumberAfter(disk.name(), "DISK"));
        SetOnce(disks[id].Model, disk.make_model());
    });
    ForEachItem<Dt::SmartStaticInfo>(outcomes, [&](const std::string& id, const auto& smart) {
        SetOnce(disks[id].Number, NumberAfter(smart.name(), "SMART"));
        SetOnce(disks[id].Model, smart.model_name());
    });
    ForEachItem<Dt::NvmeIdentifyControllerData>(outcomes, [&](const std::string& id, const auto& identify) {
        SetOnce(disks[id].Model, identify.model_number());
        SetOnce(disks[id].Serial, identify.serial_number());
    });
    return disks;
}

class Writer {
public:
    Writer(std::span<const PromMethodRun> runs, std::span<const PromDiskVerdict> verdicts)
        : m_outcomes(runs), m_verdicts(verdicts), m_disks(Identities(runs))
    {
    }

    std::string Text()
    {
        Methods();
        ForEachItem<Dt::PhysicalDiskStaticInfo>(m_outcomes, [&](const auto& id, const auto& m) { DiskStatic(id, m); });
        ForEachItem<Dt::PhysicalDiskDynamicInfo>(m_outcomes,
                                                 [&](const auto& id, const auto& m) { DiskDynamic(id, m); });
        ForEachItem<Dt::SmartDynamicInfo>(m_outcomes, [&](const auto& id, const auto& m) { Smart(id, m); });
        ForEachItem<Dt::SmartNvmeInfo>(m_outcomes, [&](const auto& id, const auto& m) { NvmeHealth(id, m); });
        ForEachItem<Dt::NvmeIdentifyControllerData>(m_outcomes,
                                                    [&](const auto& id, const auto& m) { NvmeIdentify(id, m); });
        Health();
        return m_out.Text();
    }

private:
    Labels Disk(const std::string& itemId, const Labels& more = {}) const
    {
        const auto found = m_disks.find(itemId);
        const DiskIdentity none;
        const DiskIdentity& disk = found == m_disks.end() ? none : found->second;
        Labels labels{{"item_id", itemId}, {"disk", disk.Number}, {"model", disk.Model}, {"serial", disk.Serial}};
        labels.insert(labels.end(), more.begin(), more.end());
        return labels;
    }

    void Put(const std::string& name, Type type, std::string_view help, const Labels& labels, double value)
    {
        m_out.Declare(name, type, help);
        m_out.Add(name, labels, value);
    }

    template <class Wrapper>
    void PutIf(bool has, const Wrapper& field, const std::string& name, Type type, std::string_view help,
               const Labels& labels, double scale = 1.0)
    {
        if (has) {
            Put(name, type, help, labels, static_cast<double>(field.value()) * scale);
        }
    }

    void PutHex(const std::string& text, const std::string& name, Type type, std::string_view help,
                const Labels& labels, double scale = 1.0)
    {
        // Counters up to 128 bits wide become floats: exact to 2^53, close beyond.
        if (const auto count = ParseHexCounter(text)) {
            Put(name, type, help, labels, static_cast<double>(*count) * scale);
        }
    }

    // One 0/1 series per set flag of a message of BoolValue fields, labelled with the field's name.
    void PutFlags(const google::protobuf::Message& flags, const std::string& name, std::string_view help,
                  const Labels& labels)
    {
        const auto* descriptor = flags.GetDescriptor();
        const auto* reflection = flags.GetReflection();
        for (int index = 0; index < descriptor->field_count(); ++index) {
            const auto* field = descriptor->field(index);
            if (field->message_type() != google::protobuf::BoolValue::descriptor() ||
                !reflection->HasField(flags, field)) {
                continue;
            }
            const auto& flag = static_cast<const google::protobuf::BoolValue&>(reflection->GetMessage(flags, field));
            Labels withFlag = labels;
            withFlag.emplace_back("flag", field->name());
            Put(name, Type::Gauge, help, withFlag, flag.value() ? 1.0 : 0.0);
        }
    }

    void Methods()
    {
        for (const auto& outcome : m_outcomes) {
            const Labels method{{"method", outcome.Method}};
            const bool succeeded = outcome.Succeeded;
            Put("storcoll_collection_success", Type::Gauge,
                "Whether the collection method returned without an error (1) or raised one (0).", method,
                succeeded ? 1.0 : 0.0);
            Put("storcoll_collection_duration_seconds", Type::Gauge, "How long the collection method ran.", method,
                outcome.Elapsed.count());
            Put("storcoll_collection_items", Type::Gauge, "Items the collection method returned.", method,
                outcome.Items ? static_cast<double>(outcome.Items->size()) : 0.0);
        }
        if (!m_outcomes.empty()) {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            Put("storcoll_last_collection_timestamp_seconds", Type::Gauge,
                "When these metrics were collected, in seconds since the Unix epoch.", {},
                std::chrono::duration<double>(now).count());
        }
    }

    void DiskStatic(const std::string& id, const Dt::PhysicalDiskStaticInfo& disk)
    {
        const Labels labels = Disk(id);
        PutIf(disk.has_size(), disk.size(), "storcoll_disk_size_bytes", Type::Gauge, "Size of the disk.", labels,
              kMebibyte);
        Put("storcoll_disk_info", Type::Gauge, "The disk's media type, always 1.",
            Disk(id, {{"media_type", MediaTypeName(disk.type())}}), 1.0);
        Put("storcoll_disk_partitions", Type::Gauge, "Partitions on the disk.", labels,
            static_cast<double>(disk.partitions_size()));
        for (const auto& partition : disk.partitions()) {
            Labels named = Disk(id, {{"partition", partition.name()},
                                     {"index", partition.has_index() ? std::to_string(partition.index().value()) : ""}});
            PutIf(partition.has_size(), partition.size(), "storcoll_disk_partition_size_bytes", Type::Gauge,
                  "Size of a partition, named by its drive letter or \"Not Used\".", named, kMebibyte);
        }
    }

    static std::string MediaTypeName(Dt::PhysicalDiskStaticInfo::DiskType type)
    {
        switch (type) {
        case Dt::PhysicalDiskStaticInfo::DISK_TYPE_HDD: return "hdd";
        case Dt::PhysicalDiskStaticInfo::DISK_TYPE_SSD: return "ssd";
        case Dt::PhysicalDiskStaticInfo::DISK_TYPE_SCM: return "scm";
        default: return "unknown";
        }
    }

    void DiskDynamic(const std::string& id, const Dt::PhysicalDiskDynamicInfo& disk)
    {
        const Labels labels = Disk(id);
        PutIf(disk.has_idle_time_percentage(), disk.idle_time_percentage(), "storcoll_disk_idle_time_ratio",
              Type::Gauge, "Share of time the disk was idle (0 to 1).", labels, 0.01);
        PutIf(disk.has_read_time_percentage(), disk.read_time_percentage(), "storcoll_disk_read_time_ratio",
              Type::Gauge, "Share of time the disk was busy reading (0 to 1).", labels, 0.01);
        PutIf(disk.has_write_time_percentage(), disk.write_time_percentage(), "storcoll_disk_write_time_ratio",
              Type::Gauge, "Share of time the disk was busy writing (0 to 1).", labels, 0.01);
        PutIf(disk.has_byte_read_per_sec_in_mb(), disk.byte_read_per_sec_in_mb(),
              "storcoll_disk_read_bytes_per_second", Type::Gauge, "Read throughput, in whole MiB.", labels, kMebibyte);
        PutIf(disk.has_byte_write_per_sec_in_mb(), disk.byte_write_per_sec_in_mb(),
              "storcoll_disk_write_bytes_per_second", Type::Gauge, "Write throughput, in whole MiB.", labels,
              kMebibyte);
        // A negative amount is no count at all.
        PutIf(disk.has_byte_read_in_mb() && disk.byte_read_in_mb().value() >= 0, disk.byte_read_in_mb(),
              "storcoll_disk_read_bytes_total", Type::Counter, "Data read from the disk's volumes, in whole MiB.",
              labels, kMebibyte);
        PutIf(disk.has_byte_write_in_mb() && disk.byte_write_in_mb().value() >= 0, disk.byte_write_in_mb(),
              "storcoll_disk_written_bytes_total", Type::Counter, "Data written to the disk's volumes, in whole MiB.",
              labels, kMebibyte);
    }

    void Smart(const std::string& id, const Dt::SmartDynamicInfo& smart)
    {
        for (const auto& attribute : SetAttributes(smart)) {
            const auto& detail = *attribute.Detail;
            const Labels labels =
                Disk(id, {{"id", std::to_string(attribute.Id)}, {"name", std::string(attribute.Name)}});
            PutIf(detail.has_raw_value(), detail.raw_value(), "storcoll_smart_attribute_raw_value", Type::Gauge,
                  "Raw value of a SMART attribute, as the drive reports it.", labels);
            PutIf(detail.has_normal(), detail.normal(), "storcoll_smart_attribute_value", Type::Gauge,
                  "Normalised current value of a SMART attribute.", labels);
            PutIf(detail.has_worst(), detail.worst(), "storcoll_smart_attribute_worst", Type::Gauge,
                  "Worst normalised value a SMART attribute has had.", labels);
            PutIf(detail.has_threshold(), detail.threshold(), "storcoll_smart_attribute_threshold", Type::Gauge,
                  "Failure threshold of a SMART attribute; 0 when it has none.", labels);
        }
    }

    void Temperature(const Labels& disk, const google::protobuf::Int32Value& celsius, const std::string& sensor)
    {
        if (celsius.value() == kNoTemperature) {
            return;
        }
        Labels labels = disk;
        labels.emplace_back("sensor", sensor);
        Put("storcoll_nvme_temperature_celsius", Type::Gauge,
            "NVMe temperature: the composite one and each sensor the drive has.", labels, celsius.value());
    }

    void NvmeHealth(const std::string& id, const Dt::SmartNvmeInfo& nvme)
    {
        const Labels labels = Disk(id);
        if (nvme.has_health_info()) {
            const auto& health = nvme.health_info();
            if (health.has_critical_warning()) {
                PutFlags(health.critical_warning(), "storcoll_nvme_critical_warning",
                         "NVMe critical warning bits, 1 when set.", labels);
            }
            if (health.has_endurance_group_critical_warning_summary()) {
                PutFlags(health.endurance_group_critical_warning_summary(),
                         "storcoll_nvme_endurance_group_critical_warning",
                         "NVMe endurance group critical warning summary bits, 1 when set.", labels);
            }
            if (health.has_composite_temperature()) {
                Temperature(labels, health.composite_temperature(), "composite");
            }
            // temperature_sensor_1 to _8
            const auto* reflection = health.GetReflection();
            for (int sensor = 1; sensor <= 8; ++sensor) {
                const auto* field =
                    health.GetDescriptor()->FindFieldByName("temperature_sensor_" + std::to_string(sensor));
                if (field != nullptr && reflection->HasField(health, field)) {
                    Temperature(labels,
                                static_cast<const google::protobuf::Int32Value&>(reflection->GetMessage(health, field)),
                                std::to_string(sensor));
                }
            }
            PutIf(health.has_available_spare(), health.available_spare(), "storcoll_nvme_available_spare_ratio",
                  Type::Gauge, "Remaining spare capacity (0 to 1).", labels, 0.01);
            PutIf(health.has_available_spare_threshold(), health.available_spare_threshold(),
                  "storcoll_nvme_available_spare_threshold_ratio", Type::Gauge,
                  "Spare capacity below which the drive warns (0 to 1).", labels, 0.01);
            PutIf(health.has_percentage_used(), health.percentage_used(), "storcoll_nvme_percentage_used_ratio",
                  Type::Gauge, "Share of the rated endurance used; may exceed 1.", labels, 0.01);
            PutHex(health.data_unit_read(), "storcoll_nvme_read_bytes_total", Type::Counter,
                   "Data read by the host, counted in units of 512,000 bytes.", labels, kNvmeDataUnit);
            PutHex(health.data_unit_written(), "storcoll_nvme_written_bytes_total", Type::Counter,
                   "Data written by the host, counted in units of 512,000 bytes.", labels, kNvmeDataUnit);
            PutHex(health.host_read_commands(), "storcoll_nvme_host_read_commands_total", Type::Counter,
                   "Read commands completed.", labels);
            PutHex(health.host_written_commands(), "storcoll_nvme_host_write_commands_total", Type::Counter,
                   "Write commands completed.", labels);
            PutHex(health.controller_busy_time(), "storcoll_nvme_controller_busy_seconds_total", Type::Counter,
                   "Time the controller was busy with I/O, counted in minutes.", labels, kMinute);
            PutHex(health.power_cycles(), "storcoll_nvme_power_cycles_total", Type::Counter, "Power cycles.", labels);
            PutHex(health.power_on_hours(), "storcoll_nvme_power_on_seconds_total", Type::Counter,
                   "Time powered on, counted in hours.", labels, kHour);
            PutHex(health.unsafe_shutdowns(), "storcoll_nvme_unsafe_shutdowns_total", Type::Counter,
                   "Shutdowns without notice.", labels);
            PutHex(health.media_and_data_integrity_errors(), "storcoll_nvme_media_errors_total", Type::Counter,
                   "Unrecovered data integrity errors.", labels);
            PutHex(health.number_of_error_info_log_entries(), "storcoll_nvme_error_log_entries_total", Type::Counter,
                   "Error information log entries over the drive's life.", labels);
            PutIf(health.has_warning_composite_temperature_time(), health.warning_composite_temperature_time(),
                  "storcoll_nvme_warning_temperature_seconds_total", Type::Counter,
                  "Time above the warning temperature, counted in minutes.", labels, kMinute);
            PutIf(health.has_critical_composite_temperature_time(), health.critical_composite_temperature_time(),
                  "storcoll_nvme_critical_temperature_seconds_total", Type::Counter,
                  "Time above the critical temperature, counted in minutes.", labels, kMinute);
            const Labels level1 = Disk(id, {{"level", "1"}});
            const Labels level2 = Disk(id, {{"level", "2"}});
            constexpr std::string_view transitions = "Transitions into a thermal management level.";
            constexpr std::string_view throttled = "Time spent in a thermal management level.";
            PutIf(health.has_thermal_mgmt_temperature_1_transition_count(),
                  health.thermal_mgmt_temperature_1_transition_count(), "storcoll_nvme_thermal_transitions_total",
                  Type::Counter, transitions, level1);
            PutIf(health.has_thermal_mgmt_temperature_2_transition_count(),
                  health.thermal_mgmt_temperature_2_transition_count(), "storcoll_nvme_thermal_transitions_total",
                  Type::Counter, transitions, level2);
            PutIf(health.has_total_time_for_thermal_mgmt_temperature_1(),
                  health.total_time_for_thermal_mgmt_temperature_1(), "storcoll_nvme_thermal_seconds_total",
                  Type::Counter, throttled, level1);
            PutIf(health.has_total_time_for_thermal_mgmt_temperature_2(),
                  health.total_time_for_thermal_mgmt_temperature_2(), "storcoll_nvme_thermal_seconds_total",
                  Type::Counter, throttled, level2);
        }
        if (nvme.has_customized_health_info()) {
            VendorHealth(labels, nvme.customized_health_info());
        }
    }

    // The maker's health log: its numbers as they come, one series per field.
    void VendorHealth(const Labels& disk, const Dt::NvmeCustomizedHealthInfo& vendor)
    {
        const auto* descriptor = vendor.GetDescriptor();
        const auto* reflection = vendor.GetReflection();
        constexpr std::string_view help = "A field of the drive maker's health log, as the drive reports it.";
        for (int index = 0; index < descriptor->field_count(); ++index) {
            const auto* field = descriptor->field(index);
            Labels labels = disk;
            labels.emplace_back("field", field->name());
            if (field->message_type() == google::protobuf::UInt32Value::descriptor() &&
                reflection->HasField(vendor, field)) {
                const auto& value =
                    static_cast<const google::protobuf::UInt32Value&>(reflection->GetMessage(vendor, field));
                Put("storcoll_nvme_vendor_health", Type::Gauge, help, labels, value.value());
            } else if (field->type() == google::protobuf::FieldDescriptor::TYPE_BYTES) {
                PutHex(reflection->GetString(vendor, field), "storcoll_nvme_vendor_health", Type::Gauge, help, labels);
            }
        }
    }

    void NvmeIdentify(const std::string& id, const Dt::NvmeIdentifyControllerData& identify)
    {
        Put("storcoll_nvme_info", Type::Gauge, "The NVMe controller's firmware revision, always 1.",
            Disk(id, {{"firmware", identify.firmware_revision()}}), 1.0);
        // Thresholds come in Kelvin; 0 means the drive reports none.
        constexpr std::string_view thresholdHelp = "Temperature at which the drive warns or turns critical.";
        if (identify.has_warning_composite_temperature_threshold() &&
            identify.warning_composite_temperature_threshold().value() != 0) {
            Put("storcoll_nvme_temperature_threshold_celsius", Type::Gauge, thresholdHelp,
                Disk(id, {{"level", "warning"}}),
                identify.warning_composite_temperature_threshold().value() - kKelvinOffset);
        }
        if (identify.has_critical_composite_temperature_threshold() &&
            identify.critical_composite_temperature_threshold().value() != 0) {
            Put("storcoll_nvme_temperature_threshold_celsius", Type::Gauge, thresholdHelp,
                Disk(id, {{"level", "critical"}}),
                identify.critical_composite_temperature_threshold().value() - kKelvinOffset);
        }
        const Labels labels = Disk(id);
        PutHex(identify.total_nvm_capacity(), "storcoll_nvme_capacity_bytes", Type::Gauge,
               "Total NVM capacity of the controller.", labels);
        PutHex(identify.unallocated_nvm_capacity(), "storcoll_nvme_unallocated_capacity_bytes", Type::Gauge,
               "NVM capacity not allocated to any namespace.", labels);
        PutIf(identify.has_number_of_namespaces(), identify.number_of_namespaces(), "storcoll_nvme_namespaces",
              Type::Gauge, "Namespaces the controller supports.", labels);
        Put("storcoll_nvme_power_states", Type::Gauge, "Power state descriptors the controller reports.", labels,
            static_cast<double>(identify.power_state_desc_size()));
    }

    void Health()
    {
        for (const auto& disk : m_verdicts) {
            for (const std::string_view verdict : kPromVerdicts) {
                Put("storcoll_disk_health", Type::Gauge,
                    "The disk's health verdict: 1 for the verdict it has, 0 for the others; \"none\" when its "
                    "health data could not be read.",
                    Disk(disk.ItemId, {{"verdict", std::string(verdict)}}), disk.Verdict == verdict ? 1.0 : 0.0);
            }
        }
    }

    std::span<const PromMethodRun> m_outcomes;
    std::span<const PromDiskVerdict> m_verdicts;
    std::map<std::string, DiskIdentity> m_disks;
    PromExposition m_out;
};

}  // namespace

std::string PromMetricsText(std::span<const PromMethodRun> runs, std::span<const PromDiskVerdict> verdicts)
{
    return Writer(runs, verdicts).Text();
}

}  // namespace Storcoll
