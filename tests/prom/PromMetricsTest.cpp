// Collected items as metrics: names, base units, labels joined across the data
// types, the verdict, and each method's outcome. Each report of data/reports.json
// (storcoll's JSON document, as --proto-json prints it) gives its part of the
// reviewed data/metrics.prom. The whole text is also held to Prometheus' own
// checker in the fleet test.
#include <google/protobuf/message.h>
#include <google/protobuf/util/json_util.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "Health.h"
#include "PromFormat.h"
#include "Recorded.h"
#include "nvme_identify_controller_data.pb.h"
#include "physical_disk_dynamic_info.pb.h"
#include "physical_disk_static_info.pb.h"
#include "smart_dynamic_info.pb.h"
#include "smart_nvme_info.pb.h"
#include "smart_static_info.pb.h"

namespace {

namespace Dt = Talvex::Quorlin::Datatypes;

const Kvr::CollectionMethodEntry kMethods[] = {
    {{}, "CollectPhysicalDiskStaticInfo", &Dt::PhysicalDiskStaticInfo::descriptor, nullptr},
    {{}, "CollectPhysicalDiskDynamicInfo", &Dt::PhysicalDiskDynamicInfo::descriptor, nullptr},
    {{}, "CollectSmartStaticInfo", &Dt::SmartStaticInfo::descriptor, nullptr},
    {{}, "CollectSmartDynamicInfo", &Dt::SmartDynamicInfo::descriptor, nullptr},
    {{}, "CollectSmartNvmeInfo", &Dt::SmartNvmeInfo::descriptor, nullptr},
    {{}, "CollectNvmeIdentifyControllerData", &Dt::NvmeIdentifyControllerData::descriptor, nullptr},
};

Storcoll::Report ReadReport(const nlohmann::ordered_json& document)
{
    Storcoll::Report report;
    for (const auto& run : document.at("collections")) {
        Storcoll::MethodOutcome outcome{};
        for (const auto& method : kMethods) {
            if (method.Name == run.at("method").get<std::string>()) outcome.Method = method;
        }
        outcome.Elapsed = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(run.value("elapsedSeconds", 0.25)));
        outcome.Cancelled = run.value("cancelled", false);
        if (run.contains("error")) outcome.Error = run.at("error");
        if (!run.contains("items")) {
            report.Outcomes.push_back(outcome);
            continue;
        }
        outcome.Items.emplace();
        for (const auto& item : run.at("items")) {
            std::shared_ptr<google::protobuf::Message> message(
                google::protobuf::MessageFactory::generated_factory()->GetPrototype(outcome.Method.MessageDescriptor())->New());
            const auto status = google::protobuf::util::JsonStringToMessage(item.at("data").dump(), message.get());
            EXPECT_TRUE(status.ok()) << status.ToString();
            outcome.Items->push_back({item.at("itemId"), {}, message});
        }
        report.Outcomes.push_back(outcome);
    }
    report.Health = Storcoll::AssessHealth(report.Outcomes);
    return report;
}

TEST(PromMetrics, EachReportAsMetrics)
{
    const auto reports = nlohmann::ordered_json::parse(test_support::ReadFileText(PROM_TEST_DATA "/reports.json"));
    std::string text;
    for (const auto& [name, document] : reports.items()) {
        text += "# --- " + name + "\n" + Storcoll::PromText(ReadReport(document));
    }
    const std::regex now(R"((storcoll_last_collection_timestamp_seconds) \d+\.?\d*(e\+\d+)?)");
    test_support::ExpectRecorded(std::regex_replace(text, now, "$1 <now>"), PROM_TEST_DATA "/metrics.prom");
}

}  // namespace
