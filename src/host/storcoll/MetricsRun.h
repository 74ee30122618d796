// One collection for the metrics: every method run in turn, with what each
// gave and how long it took, and the verdict of each disk.
#pragma once

#include <functional>
#include <span>
#include <stop_token>
#include <vector>

#include "PromMetrics.h"
#include "kvr/BaseCollector.h"

namespace Storcoll
{

// Judges each disk's health from what the methods gave.
using VerdictSource = std::function<std::vector<PromDiskVerdict>(std::span<const PromMethodRun> runs)>;

struct MetricsRun
{
    std::vector<PromMethodRun> Runs;
    bool Cancelled = false;  // the run ended early, after the method it stopped

    // Runs each method on `plugin`; a method that raises is kept as failed,
    // and cancellation ends the run after the method it stopped.
    static MetricsRun Collect(Kvr::BaseCollector& plugin, std::span<const Kvr::CollectionMethodEntry> methods,
                              const std::stop_token& token);

    // The metrics of the run, with the verdicts `judge` gives (none without one).
    std::string Text(const VerdictSource& judge) const;

    bool AllSucceeded() const;
};

}  // namespace Storcoll
