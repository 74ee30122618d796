#include "TableFormat.h"

#include <algorithm>
#include <cctype>

#include "ItemJson.h"
#include "NvmeTables.h"
#include "SmartAttributes.h"
#include "TableText.h"
#include "physical_disk_dynamic_info.pb.h"
#include "physical_disk_static_info.pb.h"
#include "smart_dynamic_info.pb.h"
#include "smart_static_info.pb.h"

namespace Storcoll {

namespace {

using namespace Talvex::Quorlin::Datatypes;
using Items = std::span<const Kvr::GenericItem>;
using Align = TextTable::Align;

constexpr Counter128 kMiB = 1 << 20;

std::string MediaText(PhysicalDiskStaticInfo::DiskType type)
{
    switch (type) {
    case PhysicalDiskStaticInfo::DISK_TYPE_HDD:
        return "HDD";
    case PhysicalDiskStaticInfo::DISK_TYPE_SSD:
        return "SSD";
    case PhysicalDiskStaticInfo::DISK_TYPE_SCM:
        return "SCM";
    default:
        return "unknown";
    }
}

void PrintDisks(const TableContext& context, Items items)
{
    TextTable disks({{"Disk"}, {"Model"}, {"Size", Align::Right}, {"Media"}, {"Piece-part id"}, {"Partitions"}});
    for (const auto& item : items) {
        const auto* disk = MessageOf<PhysicalDiskStaticInfo>(item);
        if (disk == nullptr) {
            continue;
        }
        std::string partitions;
        for (const auto& partition : disk->partitions()) {
            partitions += partitions.empty() ? "" : ", ";
            // A volume's letter comes bare ("C").
            const std::string& name = partition.name();
            const bool letter = name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0]));
            partitions += (name.empty() ? "#" + ValueText(partition.has_index(), partition.index())
                           : letter     ? name + ":"
                                        : name) +
                          " " +
                          (partition.has_size() ? SizeText(Counter128{partition.size().value()} * kMiB) : "-");
        }
        disks.AddRow({{context.Labels.Label(item.ItemId)},
                      {disk->make_model()},
                      {disk->has_size() ? SizeText(Counter128{disk->size().value()} * kMiB) : "-"},
                      {MediaText(disk->type())},
                      {disk->eppid().empty() ? "-" : disk->eppid()},
                      {partitions.empty() ? "none" : partitions}});
    }
    disks.Print(context.Out, context.Options.Width, context.Options.Color);
}

void PrintDiskActivity(const TableContext& context, Items items)
{
    TextTable activity({{"Disk"},
                        {"Idle %", Align::Right},
                        {"Read %", Align::Right},
                        {"Write %", Align::Right},
                        {"Read MB/s", Align::Right},
                        {"Write MB/s", Align::Right},
                        {"Read MB", Align::Right},
                        {"Written MB", Align::Right}});
    for (const auto& item : items) {
        const auto* disk = MessageOf<PhysicalDiskDynamicInfo>(item);
        if (disk == nullptr) {
            continue;
        }
        activity.AddRow({{context.Labels.Label(item.ItemId)},
                         {ValueText(disk->has_idle_time_percentage(), disk->idle_time_percentage())},
                         {ValueText(disk->has_read_time_percentage(), disk->read_time_percentage())},
                         {ValueText(disk->has_write_time_percentage(), disk->write_time_percentage())},
                         {ValueText(disk->has_byte_read_per_sec_in_mb(), disk->byte_read_per_sec_in_mb())},
                         {ValueText(disk->has_byte_write_per_sec_in_mb(), disk->byte_write_per_sec_in_mb())},
                         {ValueText(disk->has_byte_read_in_mb(), disk->byte_read_in_mb())},
                         {ValueText(disk->has_byte_write_in_mb(), disk->byte_write_in_mb())}});
    }
    activity.Print(context.Out, context.Options.Width, context.Options.Color);
}

void PrintSmartIdentity(const TableContext& context, Items items)
{
    TextTable identity({{"Disk"}, {"SMART name"}, {"Model"}, {"Piece-part id"}});
    for (const auto& item : items) {
        if (const auto* smart = MessageOf<SmartStaticInfo>(item)) {
            identity.AddRow({{context.Labels.Label(item.ItemId)},
                             {smart->name()},
                             {smart->model_name()},
                             {smart->eppid().empty() ? "-" : smart->eppid()}});
        }
    }
    identity.Print(context.Out, context.Options.Width, context.Options.Color);
}

// The attributes whose raw count the health rules watch.
bool Watched(std::uint8_t id)
{
    return id == 5 || id == 187 || id == 188 || id == 197 || id == 198;
}

void PrintSmartAttributes(const TableContext& context, Items items)
{
    bool first = true;
    std::string others;  // the disks without attributes
    for (const auto& item : items) {
        const auto* smart = MessageOf<SmartDynamicInfo>(item);
        if (smart == nullptr) {
            continue;
        }
        const auto set = SetAttributes(*smart);
        const std::string title = context.Labels.Label(item.ItemId) + " (" + smart->name() + ")";
        if (set.empty()) {
            others += (others.empty() ? "" : ", ") + title;
            continue;
        }
        context.Out << (first ? "" : "\n");
        first = false;
        Subheading(context, title);
        TextTable attributes({{"ID", Align::Right},
                              {"Attribute"},
                              {"Current", Align::Right},
                              {"Worst", Align::Right},
                              {"Threshold", Align::Right},
                              {"Raw", Align::Right},
                              {""}});
        for (const auto& attribute : set) {
            const auto& detail = *attribute.Detail;
            const bool failing = detail.has_normal() && detail.has_threshold() && detail.threshold().value() != 0 &&
                                 detail.normal().value() <= detail.threshold().value();
            const bool watch =
                Watched(attribute.Id) && detail.has_raw_value() && detail.raw_value().value() != 0;
            const Tone tone = failing ? Tone::Bad : watch ? Tone::Caution
                                                          : Tone::Plain;
            attributes.AddRow({{std::to_string(attribute.Id)},
                               {std::string(attribute.Name), tone},
                               {ValueText(detail.has_normal(), detail.normal()), tone},
                               {ValueText(detail.has_worst(), detail.worst())},
                               {ValueText(detail.has_threshold(), detail.threshold())},
                               {ValueText(detail.has_raw_value(), detail.raw_value()), tone},
                               {failing ? "AT OR BELOW THRESHOLD" : watch ? "watch"
                                                                          : "",
                                tone}});
        }
        attributes.Print(context.Out, context.Options.Width, context.Options.Color);
    }
    if (!others.empty()) {
        context.Out << (first ? "" : "\n") << "  no attributes: " << others << '\n';
    }
}

Tone ToneOf(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Good:
        return Tone::Good;
    case Verdict::Caution:
        return Tone::Caution;
    case Verdict::Bad:
        return Tone::Bad;
    case Verdict::None:
        break;
    }
    return Tone::Faint;
}

void PrintHealth(const TableContext& context)
{
    TextTable health({{"Disk"}, {"Model"}, {"Verdict"}, {"Reasons"}});
    for (const auto& disk : context.Report.Health) {
        const Cell verdict{std::string(VerdictName(disk.Verdict)), ToneOf(disk.Verdict)};
        const Cell label{context.Labels.Label(disk.ItemId)};
        if (disk.Verdict == Verdict::None) {
            health.AddRow({label, {disk.Model}, verdict, {disk.Unavailable, Tone::Faint}});
            continue;
        }
        if (disk.Reasons.empty()) {
            health.AddRow({label, {disk.Model}, verdict, {"nothing wrong in its " + disk.Source + " data"}});
            continue;
        }
        for (std::size_t index = 0; index < disk.Reasons.size(); ++index) {
            const auto& reason = disk.Reasons[index];
            health.AddRow({index == 0 ? label : Cell{},
                           index == 0 ? Cell{disk.Model} : Cell{},
                           index == 0 ? verdict : Cell{},
                           {reason.Text, ToneOf(reason.Severity)}});
        }
    }
    health.Print(context.Out, context.Options.Width, context.Options.Color);
}

// Any other message type: each item's fields as JSON.
void PrintOther(const TableContext& context, Items items)
{
    for (const auto& item : items) {
        Subheading(context, context.Labels.Label(item.ItemId));
        context.Out << "    " << (item.Message ? MessageToJson(*item.Message).dump() : "null") << '\n';
    }
}

struct Section {
    std::string_view MessageType;
    std::string_view Title;
    void (*Print)(const TableContext&, Items);
};

const Section kSections[] = {
    {"Talvex.Quorlin.Datatypes.PhysicalDiskStaticInfo", "Physical disks", &PrintDisks},
    {"Talvex.Quorlin.Datatypes.PhysicalDiskDynamicInfo", "Disk activity", &PrintDiskActivity},
    {"Talvex.Quorlin.Datatypes.SmartStaticInfo", "SMART identity", &PrintSmartIdentity},
    {"Talvex.Quorlin.Datatypes.SmartDynamicInfo", "SMART attributes", &PrintSmartAttributes},
    {"Talvex.Quorlin.Datatypes.SmartNvmeInfo", "NVMe health", &PrintNvmeHealth},
    {"Talvex.Quorlin.Datatypes.NvmeIdentifyControllerData", "NVMe identify controller data", &PrintNvmeIdentify},
};

void Heading(const TableContext& context, const std::string& title, std::string_view method)
{
    const std::string text = title + " (" + std::string(method) + ")";
    context.Out << (context.Options.Color ? "\x1b[1;4m" + text + "\x1b[0m" : text) << '\n';
}

}  // namespace

void PrintTable(const Report& report, const OutputOptions& options, std::ostream& out)
{
    const DiskLabels labels(report);
    const TableContext context{report, options, labels, out};
    bool first = true;
    for (const auto& outcome : report.Outcomes) {
        out << (first ? "" : "\n");
        first = false;
        const auto section = std::find_if(std::begin(kSections), std::end(kSections), [&](const Section& candidate) {
            return candidate.MessageType == outcome.Method.MessageTypeName();
        });
        const bool known = section != std::end(kSections);
        Heading(context, known ? std::string(section->Title) : outcome.Method.MessageTypeName(),
                outcome.Method.Name);
        if (outcome.Error) {
            const std::string text = (outcome.Cancelled ? "cancelled: " : "failed: ") + outcome.ErrorText;
            out << "  " << (options.Color ? Colored(text, Tone::Bad) : text) << '\n';
        } else if (!outcome.Items) {
            out << "  nothing found\n";
        } else if (outcome.Items->empty()) {
            out << "  no items\n";
        } else {
            (known ? section->Print : &PrintOther)(context, *outcome.Items);
        }
    }
    if (!report.Health.empty()) {
        out << (first ? "" : "\n");
        Heading(context, "Health", "verdict per disk");
        PrintHealth(context);
    }
}

}  // namespace Storcoll
