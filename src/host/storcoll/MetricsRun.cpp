#include "MetricsRun.h"

#include <algorithm>
#include <chrono>

#include "kvr/Exceptions.h"

namespace Storcoll
{

MetricsRun MetricsRun::Collect(Kvr::BaseCollector& plugin, std::span<const Kvr::CollectionMethodEntry> methods,
                               const std::stop_token& token)
{
    MetricsRun run;
    for (const auto& method : methods)
    {
        PromMethodRun result;
        result.Method = std::string(method.Name);
        const auto start = std::chrono::steady_clock::now();
        try
        {
            result.Items = method.Invoke(plugin, std::nullopt, token);
            result.Succeeded = true;
        }
        catch (const Kvr::OperationCanceledException&)
        {
            run.Cancelled = true;
        }
        catch (const Kvr::Exception&)
        {
            // The plug-in has logged it; the metric tells the fleet.
        }
        result.Elapsed = std::chrono::steady_clock::now() - start;
        run.Runs.push_back(std::move(result));
        if (run.Cancelled)
        {
            break;
        }
    }
    return run;
}

std::string MetricsRun::Text(const VerdictSource& judge) const
{
    const std::vector<PromDiskVerdict> verdicts = judge ? judge(Runs) : std::vector<PromDiskVerdict>{};
    return PromMetricsText(Runs, verdicts);
}

bool MetricsRun::AllSucceeded() const
{
    return std::all_of(Runs.begin(), Runs.end(), [](const PromMethodRun& run) { return run.Succeeded; });
}

}  // namespace Storcoll
