// What one run of collection methods gave, as Prometheus metrics: every
// numeric value of the six data types under a storcoll_ name in base units,
// each disk's health verdict, and each method's success, duration and item
// count. The metric list, units and label rules are in docs/fleet.md.
#pragma once

#include <chrono>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kvr/Registration.h"

namespace Storcoll {

// What one collection method gave.
struct PromMethodRun {
    std::string Method;          // "CollectSmartNvmeInfo"
    Kvr::GenericItemList Items;  // no list when the method found nothing or failed
    bool Succeeded = false;      // false when it raised or was cancelled
    std::chrono::duration<double> Elapsed{};
};

// A disk's health verdict by name: "good", "caution", "bad" or "none".
struct PromDiskVerdict {
    std::string ItemId;
    std::string_view Verdict;
};

// The names a verdict can have, each a series of storcoll_disk_health.
inline constexpr std::string_view kPromVerdicts[] = {"good", "caution", "bad", "none"};

// The metrics in the text exposition format, as node_exporter's textfile
// collector and a Prometheus scrape read them. No storcoll_disk_health
// series without verdicts.
std::string PromMetricsText(std::span<const PromMethodRun> runs, std::span<const PromDiskVerdict> verdicts);

}  // namespace Storcoll
