#include "TableText.h"

#include <cstdio>

#include "Collection.h"
#include "physical_disk_static_info.pb.h"

namespace Storcoll {

DiskLabels::DiskLabels(const Report& report)
{
    using Talvex::Quorlin::Datatypes::PhysicalDiskStaticInfo;
    const auto* disks = FindOutcome<PhysicalDiskStaticInfo>(report.Outcomes);
    if (disks == nullptr || !disks->Items) {
        return;
    }
    for (const auto& item : *disks->Items) {
        const auto* info = MessageOf<PhysicalDiskStaticInfo>(item);
        if (info != nullptr && !info->name().empty()) {
            m_labels[item.ItemId] = info->name();
        }
    }
}

std::string DiskLabels::Label(const std::string& itemId) const
{
    const auto found = m_labels.find(itemId);
    return found == m_labels.end() ? itemId : found->second;
}

std::string SizeText(Counter128 bytes)
{
    static constexpr const char* kUnits[] = {"B", "kB", "MB", "GB", "TB", "PB", "EB", "ZB", "YB"};
    if (bytes < 1000) {
        return DecimalText(bytes) + " B";
    }
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= 1000.0 && unit + 1 < std::size(kUnits)) {
        value /= 1000.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

void Subheading(const TableContext& context, const std::string& text)
{
    context.Out << "  " << (context.Options.Color ? "\x1b[1m" + text + "\x1b[0m" : text) << '\n';
}

}  // namespace Storcoll
