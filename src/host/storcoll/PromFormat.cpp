#include "PromFormat.h"

#include "PromMetrics.h"
#include "smart_dynamic_info.pb.h"
#include "smart_nvme_info.pb.h"

namespace Storcoll {

std::string PromText(const Report& report)
{
    std::vector<PromMethodRun> runs;
    runs.reserve(report.Outcomes.size());
    for (const auto& outcome : report.Outcomes) {
        runs.push_back(PromMethodRun{std::string(outcome.Method.Name), outcome.Items,
                                     !outcome.Error && !outcome.Cancelled, outcome.Elapsed});
    }
    // A run without a health method judged nothing: no verdicts then, rather
    // than "none" for every disk.
    const bool judged = FindOutcome<Talvex::Quorlin::Datatypes::SmartDynamicInfo>(report.Outcomes) != nullptr ||
                        FindOutcome<Talvex::Quorlin::Datatypes::SmartNvmeInfo>(report.Outcomes) != nullptr;
    std::vector<PromDiskVerdict> verdicts;
    if (judged) {
        for (const auto& disk : report.Health) {
            verdicts.push_back(PromDiskVerdict{disk.ItemId, VerdictName(disk.Verdict)});
        }
    }
    return PromMetricsText(runs, verdicts);
}

void PrintProm(const Report& report, const OutputOptions&, std::ostream& out)
{
    out << PromText(report);
}

}  // namespace Storcoll
