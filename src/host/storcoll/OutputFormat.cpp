#include "OutputFormat.h"

#include <algorithm>

#include "JsonFormat.h"
#include "JsonLinesFormat.h"
#include "PromFormat.h"
#include "TableFormat.h"

namespace Storcoll {

namespace {

constexpr OutputFormat kFormats[] = {
    {"table", "a report for people: one table per data type, then the health verdict of each disk", &PrintTable},
    {"json", "one JSON document: every method's items, then the health verdict of each disk", &PrintJson},
    {"jsonl", "one JSON object per line: an item, a method's error, or a disk's health verdict", &PrintJsonLines},
    {"prom", "Prometheus metrics in the text exposition format, for node_exporter's textfile collector", &PrintProm},
};

}  // namespace

std::span<const OutputFormat> OutputFormats()
{
    return kFormats;
}

const OutputFormat* FindOutputFormat(std::string_view name)
{
    const auto found =
        std::find_if(std::begin(kFormats), std::end(kFormats), [&](const OutputFormat& f) { return f.Name == name; });
    return found == std::end(kFormats) ? nullptr : found;
}

std::string OutputFormatNames()
{
    std::string names;
    for (const auto& format : kFormats) {
        names += names.empty() ? "" : ", ";
        names += format.Name;
    }
    return names;
}

}  // namespace Storcoll
