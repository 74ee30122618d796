// Collected items as metrics: names, base units, labels joined across the data
// types, the verdict, and each method's outcome. The whole text is also held
// to Prometheus' own checker in the fleet test.
#include <chrono>
#include <memory>

#include <gtest/gtest.h>

#include "Health.h"
#include "PromFormat.h"
#include "PromMetrics.h"
#include "nvme_identify_controller_data.pb.h"
#include "physical_disk_dynamic_info.pb.h"
#include "physical_disk_static_info.pb.h"
#include "smart_dynamic_info.pb.h"
#include "smart_nvme_info.pb.h"
#include "smart_static_info.pb.h"

namespace {

namespace Dt = Talvex::Quorlin::Datatypes;
using namespace std::chrono_literals;
using Storcoll::PromMethodRun;

template <class T>
PromMethodRun Outcome(std::string method, std::vector<std::pair<std::string, T>> messages)
{
    PromMethodRun outcome;
    outcome.Method = std::move(method);
    outcome.Succeeded = true;
    outcome.Elapsed = 1500ms;
    std::vector<Kvr::GenericItem> items;
    for (auto& [id, message] : messages) {
        items.push_back({id, {}, std::make_shared<T>(std::move(message))});
    }
    outcome.Items = std::move(items);
    return outcome;
}

std::vector<PromMethodRun> SataAndNvmeDisks()
{
    Dt::PhysicalDiskStaticInfo sata;
    sata.set_name("DISK0");
    sata.set_make_model("HDD \"One\"    ");
    sata.mutable_size()->set_value(2);
    sata.set_type(Dt::PhysicalDiskStaticInfo::DISK_TYPE_HDD);
    auto* partition = sata.add_partitions();
    partition->set_name("C");
    partition->mutable_size()->set_value(1);
    partition->mutable_index()->set_value(1);
    Dt::PhysicalDiskStaticInfo nvmeDisk;
    nvmeDisk.set_name("DISK1");

    Dt::PhysicalDiskDynamicInfo busy;
    busy.mutable_idle_time_percentage()->set_value(75);
    busy.mutable_byte_read_in_mb()->set_value(3);
    busy.mutable_byte_write_in_mb()->set_value(-1);

    Dt::SmartDynamicInfo smart;
    auto* realloc = smart.mutable_realloc_sector_count();
    realloc->mutable_raw_value()->set_value(8);
    realloc->mutable_threshold()->set_value(36);

    Dt::SmartNvmeInfo nvme;
    auto* health = nvme.mutable_health_info();
    health->mutable_critical_warning()->mutable_read_only()->set_value(true);
    health->mutable_critical_warning()->mutable_low_available_space()->set_value(false);
    health->mutable_composite_temperature()->set_value(50);
    health->mutable_temperature_sensor_1()->set_value(0);
    health->mutable_temperature_sensor_2()->set_value(41);
    health->mutable_available_spare()->set_value(5);
    health->set_data_unit_read("1A");
    health->set_power_on_hours("100000000000000000000000000000");
    health->mutable_warning_composite_temperature_time()->set_value(2);

    Dt::NvmeIdentifyControllerData identify;
    identify.set_model_number("NVMe Two");
    identify.set_serial_number("SN2");
    identify.set_firmware_revision("1.0");
    identify.mutable_warning_composite_temperature_threshold()->set_value(343);
    identify.mutable_critical_composite_temperature_threshold()->set_value(0);
    identify.set_total_nvm_capacity("3B9ACA000");

    auto failed = Outcome<Dt::SmartStaticInfo>("CollectSmartStaticInfo", {});
    failed.Items.reset();
    failed.Succeeded = false;
    return {Outcome<Dt::PhysicalDiskStaticInfo>("CollectPhysicalDiskStaticInfo", {{"Disk_A", sata}, {"Disk_N", nvmeDisk}}),
            Outcome<Dt::PhysicalDiskDynamicInfo>("CollectPhysicalDiskDynamicInfo", {{"Disk_A", busy}}),
            Outcome<Dt::SmartDynamicInfo>("CollectSmartDynamicInfo", {{"Disk_A", smart}}),
            Outcome<Dt::SmartNvmeInfo>("CollectSmartNvmeInfo", {{"Disk_N", nvme}}),
            Outcome<Dt::NvmeIdentifyControllerData>("CollectNvmeIdentifyControllerData", {{"Disk_N", identify}}),
            failed};
}

TEST(PromMetrics, EveryValueInBaseUnitsWithTheDisksLabelsTheVerdictAndTheMethodsOutcome)
{
    const std::vector<Storcoll::PromDiskVerdict> verdicts{{"Disk_A", "caution"}, {"Disk_N", "bad"}};
    const std::string text = Storcoll::PromMetricsText(SataAndNvmeDisks(), verdicts);
    const std::string a = R"(item_id="Disk_A",disk="0",model="HDD \"One\"",serial="")";
    const std::string n = R"(item_id="Disk_N",disk="1",model="NVMe Two",serial="SN2")";
    const std::vector<std::string> present{
        "# TYPE storcoll_collection_success gauge",
        R"(storcoll_collection_success{method="CollectPhysicalDiskStaticInfo"} 1)",
        R"(storcoll_collection_success{method="CollectSmartStaticInfo"} 0)",
        R"(storcoll_collection_items{method="CollectSmartStaticInfo"} 0)",
        R"(storcoll_collection_duration_seconds{method="CollectSmartNvmeInfo"} 1.5)",
        "storcoll_disk_size_bytes{" + a + "} 2097152",
        "storcoll_disk_info{" + a + R"(,media_type="hdd"} 1)",
        "storcoll_disk_partition_size_bytes{" + a + R"(,partition="C",index="1"} 1048576)",
        "storcoll_disk_idle_time_ratio{" + a + "} 0.75",
        "# TYPE storcoll_disk_read_bytes_total counter",
        "storcoll_disk_read_bytes_total{" + a + "} 3145728",
        "storcoll_smart_attribute_raw_value{" + a + R"(,id="5",name="ReallocSectorCount"} 8)",
        "storcoll_smart_attribute_threshold{" + a + R"(,id="5",name="ReallocSectorCount"} 36)",
        "storcoll_nvme_critical_warning{" + n + R"(,flag="read_only"} 1)",
        "storcoll_nvme_critical_warning{" + n + R"(,flag="low_available_space"} 0)",
        "storcoll_nvme_temperature_celsius{" + n + R"(,sensor="composite"} 50)",
        "storcoll_nvme_temperature_celsius{" + n + R"(,sensor="2"} 41)",
        "storcoll_nvme_available_spare_ratio{" + n + "} 0.05",
        "storcoll_nvme_read_bytes_total{" + n + "} 13312000",
        "storcoll_nvme_power_on_seconds_total{" + n + "} 2.9907629905160607e+38",
        "storcoll_nvme_warning_temperature_seconds_total{" + n + "} 120",
        "storcoll_nvme_info{" + n + R"(,firmware="1.0"} 1)",
        "storcoll_nvme_temperature_threshold_celsius{" + n + R"(,level="warning"} 70)",
        "storcoll_nvme_capacity_bytes{" + n + "} 1.6e+10",
        "storcoll_disk_health{" + a + R"(,verdict="caution"} 1)",
        "storcoll_disk_health{" + a + R"(,verdict="good"} 0)",
        "storcoll_disk_health{" + n + R"(,verdict="bad"} 1)",
    };
    for (const auto& line : present) {
        EXPECT_NE(text.find(line + "\n"), std::string::npos) << "missing: " << line;
    }
    // Values the data marks as absent or impossible are left out, not shown as numbers.
    const std::vector<std::string> absent{
        R"(sensor="1")",                      // 0: no such sensor
        R"(level="critical")",                // threshold 0: none reported
        "storcoll_disk_written_bytes_total",  // a negative amount
        "storcoll_disk_size_bytes{item_id=\"Disk_N\"",
    };
    for (const auto& part : absent) {
        EXPECT_EQ(text.find(part), std::string::npos) << "present: " << part;
    }
}

}  // namespace

namespace {

Storcoll::MethodOutcome Ran(std::string_view method, const google::protobuf::Descriptor* (*type)(),
                            std::vector<Kvr::GenericItem> items)
{
    Storcoll::MethodOutcome outcome{};
    outcome.Method = Kvr::CollectionMethodEntry{{}, method, type, nullptr};
    outcome.Items = std::move(items);
    return outcome;
}

TEST(PromFormat, ACancelledOrFailedMethodIsAFailureAndVerdictsOnlyFollowAHealthMethod)
{
    Dt::PhysicalDiskStaticInfo disk;
    disk.set_name("DISK4");
    const Kvr::GenericItem item{"Disk_X", {}, std::make_shared<Dt::PhysicalDiskStaticInfo>(disk)};
    auto staticOnly = Ran("CollectPhysicalDiskStaticInfo", &Dt::PhysicalDiskStaticInfo::descriptor, {item});

    Storcoll::Report without{{staticOnly}, {}};
    without.Health = Storcoll::AssessHealth(without.Outcomes);
    EXPECT_EQ(Storcoll::PromText(without).find("storcoll_disk_health"), std::string::npos);

    auto cancelled = Ran("CollectSmartNvmeInfo", &Dt::SmartNvmeInfo::descriptor, {});
    cancelled.Items.reset();
    cancelled.Cancelled = true;
    auto failed = Ran("CollectSmartDynamicInfo", &Dt::SmartDynamicInfo::descriptor, {});
    failed.Items.reset();
    failed.Error = nlohmann::ordered_json{{"message", "no bus"}};
    Storcoll::Report with{{staticOnly, cancelled, failed}, {}};
    with.Health = Storcoll::AssessHealth(with.Outcomes);
    const std::string text = Storcoll::PromText(with);
    for (const std::string line : {
             R"(storcoll_collection_success{method="CollectPhysicalDiskStaticInfo"} 1)",
             R"(storcoll_collection_success{method="CollectSmartNvmeInfo"} 0)",
             R"(storcoll_collection_success{method="CollectSmartDynamicInfo"} 0)",
             R"(storcoll_disk_health{item_id="Disk_X",disk="4",model="",serial="",verdict="none"} 1)",
         }) {
        EXPECT_NE(text.find(line + "\n"), std::string::npos) << "missing: " << line;
    }
}

}  // namespace
