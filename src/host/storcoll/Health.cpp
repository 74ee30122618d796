#include "Health.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "Common/SmartDataCollection.h"
#include "HexCounter.h"
#include "SmartAttributes.h"
#include "physical_disk_static_info.pb.h"
#include "smart_dynamic_info.pb.h"
#include "smart_nvme_info.pb.h"
#include "smart_static_info.pb.h"

namespace Storcoll {

namespace {

using Talvex::Quorlin::Datatypes::NvmeHealthInfo;
using Talvex::Quorlin::Datatypes::PhysicalDiskStaticInfo;
using Talvex::Quorlin::Datatypes::SmartDynamicInfo;
using Talvex::Quorlin::Datatypes::SmartNvmeInfo;
using Talvex::Quorlin::Datatypes::SmartStaticInfo;

using Texts = std::vector<std::string>;

// ATA: every attribute whose current value is at or below its threshold,
// unless the threshold is 0 (the drive sets no limit for it).
void AttributeAtThreshold(const SmartDynamicInfo& smart, Texts& out)
{
    for (const auto& attribute : SetAttributes(smart)) {
        const auto& detail = *attribute.Detail;
        if (detail.has_normal() && detail.has_threshold() && detail.threshold().value() != 0 &&
            detail.normal().value() <= detail.threshold().value()) {
            out.push_back(std::string(attribute.Name) + " (" + std::to_string(attribute.Id) + "): current value " +
                          std::to_string(detail.normal().value()) + " at or below its threshold " +
                          std::to_string(detail.threshold().value()));
        }
    }
}

// ATA: a non-zero raw value of an attribute that counts media or interface
// trouble. Large field studies of disk failures found these the ones that
// predict a failure; each raw count above 0 is a disk to watch.
template <std::uint8_t Id>
void RawValueAboveZero(const SmartDynamicInfo& smart, Texts& out)
{
    const auto* detail = FindAttribute(smart, Id);
    if (detail != nullptr && detail->has_raw_value() && detail->raw_value().value() != 0) {
        const auto* entry = Talvex::Quorlin::Cpp::Common::FindSmartAttribute(Id);
        out.push_back(std::string(entry->Name) + " (" + std::to_string(Id) + "): raw value " +
                      std::to_string(detail->raw_value().value()));
    }
}

// NVMe: every critical-warning bit the drive set, by name.
void CriticalWarningBit(const NvmeHealthInfo& health, Texts& out)
{
    if (!health.has_critical_warning()) {
        return;
    }
    const auto& warning = health.critical_warning();
    const auto* descriptor = warning.GetDescriptor();
    const auto* reflection = warning.GetReflection();
    for (int index = 0; index < descriptor->field_count(); ++index) {
        const auto* field = descriptor->field(index);
        if (!reflection->HasField(warning, field)) {
            continue;
        }
        const auto& flag = static_cast<const google::protobuf::BoolValue&>(reflection->GetMessage(warning, field));
        if (flag.value()) {
            out.push_back("critical warning " + field->json_name());
        }
    }
}

void SpareBelowThreshold(const NvmeHealthInfo& health, Texts& out)
{
    if (health.has_available_spare() && health.has_available_spare_threshold() &&
        health.available_spare().value() < health.available_spare_threshold().value()) {
        out.push_back("available spare " + std::to_string(health.available_spare().value()) +
                      "% below its threshold " + std::to_string(health.available_spare_threshold().value()) + "%");
    }
}

void WornOut(const NvmeHealthInfo& health, Texts& out)
{
    if (health.has_percentage_used() && health.percentage_used().value() >= 100) {
        out.push_back("percentage used " + std::to_string(health.percentage_used().value()) + "%");
    }
}

void MediaErrors(const NvmeHealthInfo& health, Texts& out)
{
    const auto count = ParseHexCounter(health.media_and_data_integrity_errors());
    if (count && *count != 0) {
        out.push_back("media and data integrity errors: " + DecimalText(*count));
    }
}

// The rules, worst first. An ATA rule reads the SMART attributes, an NVMe
// rule the health log; every rule that fires adds its reasons, and the
// verdict is the worst severity among them (good when none fires).
struct HealthRule {
    Verdict Severity;
    void (*Ata)(const SmartDynamicInfo&, Texts&);
    void (*Nvme)(const NvmeHealthInfo&, Texts&);
};

constexpr HealthRule kRules[] = {
    {Verdict::Bad, &AttributeAtThreshold, nullptr},
    {Verdict::Bad, nullptr, &CriticalWarningBit},
    {Verdict::Bad, nullptr, &SpareBelowThreshold},
    {Verdict::Bad, nullptr, &WornOut},
    {Verdict::Caution, &RawValueAboveZero<5>, nullptr},    // reallocated sectors
    {Verdict::Caution, &RawValueAboveZero<187>, nullptr},  // reported uncorrectable errors
    {Verdict::Caution, &RawValueAboveZero<188>, nullptr},  // command timeouts
    {Verdict::Caution, &RawValueAboveZero<197>, nullptr},  // current pending sectors
    {Verdict::Caution, &RawValueAboveZero<198>, nullptr},  // offline uncorrectable sectors
    {Verdict::Caution, nullptr, &MediaErrors},
};

template <class Data, class Check>
DiskHealth Assess(const std::string& itemId, std::string source, const Data& data, Check check)
{
    DiskHealth health{itemId, "", std::move(source), Verdict::Good, {}, ""};
    for (const auto& rule : kRules) {
        Texts texts;
        check(rule, data, texts);
        for (auto& text : texts) {
            health.Reasons.push_back({rule.Severity, std::move(text)});
            health.Verdict = std::max(health.Verdict, rule.Severity);
        }
    }
    return health;
}

constexpr const char* kNoAttributes = "its SMART item holds no attributes";
constexpr const char* kNoHealthLog = "its NVMe item holds no health log";

// Why a health method gave nothing for one disk.
std::string Missing(const MethodOutcome* outcome, std::string_view method)
{
    if (outcome == nullptr) {
        return std::string(method) + " was not run";
    }
    if (outcome->Error) {
        return std::string(method) + " failed: " + outcome->Error->at("message").get<std::string>();
    }
    return std::string(method) + " returned nothing for this disk";
}

}  // namespace

std::string_view VerdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Good:
        return "good";
    case Verdict::Caution:
        return "caution";
    case Verdict::Bad:
        return "bad";
    case Verdict::None:
        break;
    }
    return "none";
}

DiskHealth AssessSmart(const std::string& itemId, const SmartDynamicInfo& smart)
{
    if (SetAttributes(smart).empty()) {
        return DiskHealth{itemId, "", "ATA SMART", Verdict::None, {}, kNoAttributes};
    }
    return Assess(itemId, "ATA SMART", smart, [](const HealthRule& rule, const SmartDynamicInfo& data, Texts& out) {
        if (rule.Ata != nullptr) {
            rule.Ata(data, out);
        }
    });
}

DiskHealth AssessNvme(const std::string& itemId, const SmartNvmeInfo& nvme)
{
    if (!nvme.has_health_info()) {
        return DiskHealth{itemId, "", "NVMe health log", Verdict::None, {}, kNoHealthLog};
    }
    return Assess(itemId, "NVMe health log", nvme.health_info(),
                  [](const HealthRule& rule, const NvmeHealthInfo& data, Texts& out) {
                      if (rule.Nvme != nullptr) {
                          rule.Nvme(data, out);
                      }
                  });
}

std::vector<DiskHealth> AssessHealth(std::span<const MethodOutcome> outcomes)
{
    const auto* disks = FindOutcome<PhysicalDiskStaticInfo>(outcomes);
    const auto* smartStatic = FindOutcome<SmartStaticInfo>(outcomes);
    const auto* smart = FindOutcome<SmartDynamicInfo>(outcomes);
    const auto* nvme = FindOutcome<SmartNvmeInfo>(outcomes);

    std::vector<DiskHealth> result;
    if (smart == nullptr && nvme == nullptr) {
        return result;
    }
    const auto entryOf = [&](const std::string& itemId) -> DiskHealth& {
        const auto found = std::find_if(result.begin(), result.end(),
                                        [&](const DiskHealth& disk) { return disk.ItemId == itemId; });
        if (found != result.end()) {
            return *found;
        }
        return result.emplace_back(DiskHealth{itemId, "", "", Verdict::None, {}, ""});
    };
    const auto itemsOf = [](const MethodOutcome* outcome) {
        return outcome != nullptr && outcome->Items ? std::span<const Kvr::GenericItem>(*outcome->Items)
                                                    : std::span<const Kvr::GenericItem>();
    };

    for (const auto& item : itemsOf(disks)) {
        DiskHealth& disk = entryOf(item.ItemId);
        if (const auto* info = MessageOf<PhysicalDiskStaticInfo>(item)) {
            disk.Model = info->make_model();
        }
    }
    for (const auto& item : itemsOf(smartStatic)) {
        DiskHealth& disk = entryOf(item.ItemId);
        const auto* info = MessageOf<SmartStaticInfo>(item);
        if (disk.Model.empty() && info != nullptr) {
            disk.Model = info->model_name();
        }
    }

    // Why each disk without a verdict has none, per source.
    std::map<std::string, std::string> smartEmpty;
    std::map<std::string, std::string> nvmeEmpty;
    const auto merge = [&](DiskHealth assessed) {
        DiskHealth& disk = entryOf(assessed.ItemId);
        if (assessed.Verdict == Verdict::None) {
            (assessed.Source == "ATA SMART" ? smartEmpty : nvmeEmpty)[assessed.ItemId] = assessed.Unavailable;
            return;
        }
        if (disk.Verdict == Verdict::None) {
            disk.Source = assessed.Source;
            disk.Verdict = assessed.Verdict;
        } else {
            disk.Source += ", " + assessed.Source;
            disk.Verdict = std::max(disk.Verdict, assessed.Verdict);
        }
        for (auto& reason : assessed.Reasons) {
            disk.Reasons.push_back(std::move(reason));
        }
    };
    for (const auto& item : itemsOf(smart)) {
        if (const auto* data = MessageOf<SmartDynamicInfo>(item)) {
            merge(AssessSmart(item.ItemId, *data));
        }
    }
    for (const auto& item : itemsOf(nvme)) {
        if (const auto* data = MessageOf<SmartNvmeInfo>(item)) {
            merge(AssessNvme(item.ItemId, *data));
        }
    }

    for (auto& disk : result) {
        // Devices pad their model texts with blanks.
        disk.Model.erase(disk.Model.find_last_not_of(' ') + 1);
        std::stable_sort(disk.Reasons.begin(), disk.Reasons.end(),
                         [](const HealthReason& a, const HealthReason& b) { return a.Severity > b.Severity; });
        if (disk.Verdict == Verdict::None) {
            const auto why = [&](const std::map<std::string, std::string>& empty, const MethodOutcome* outcome,
                                 std::string_view method) {
                const auto found = empty.find(disk.ItemId);
                return found != empty.end() ? std::string(method) + ": " + found->second : Missing(outcome, method);
            };
            disk.Unavailable = "no health data: " +
                               why(smartEmpty, smart, "CollectSmartDynamicInfo") + "; " +
                               why(nvmeEmpty, nvme, "CollectSmartNvmeInfo");
        }
    }
    return result;
}

}  // namespace Storcoll
