// storcoll's working parts: item JSON, method selection and the collect run.
#include <chrono>
#include <sstream>

#include <gtest/gtest.h>

#include "Commands.h"
#include "Health.h"
#include "ItemJson.h"
#include "kvr/host/RecordingAgent.h"
#include "physical_disk_static_info.pb.h"
#include "smart_dynamic_info.pb.h"
#include "smart_nvme_info.pb.h"
#include "smart_static_info.pb.h"

namespace {

using namespace std::chrono;
using Storcoll::Json;
using Talvex::Quorlin::Datatypes::PhysicalDiskStaticInfo;

const Kvr::CollectionTime kWhen = sys_days{2026y / 12 / 6} + 2h + 123ms;

TEST(ItemJson, ItemCarriesIdUtcTimeAndFieldsUnderTheirHostNames)
{
    auto message = std::make_shared<PhysicalDiskStaticInfo>();
    message->set_name("Disk 0");
    message->mutable_size()->set_value(476940);
    message->add_capability("HardDrive");
    message->add_partitions()->mutable_index()->set_value(0);
    const Json json = Storcoll::ItemToJson(Kvr::GenericItem{"Disk_SCSI\\DISK&VEN_X\\0", kWhen, message});

    EXPECT_EQ(json.at("itemId"), "Disk_SCSI\\DISK&VEN_X\\0");
    EXPECT_EQ(json.at("time"), "2026-12-06T02:00:00.123Z");
    const Json& data = json.at("data");
    EXPECT_EQ(data.at("Name"), "Disk 0");
    // A wrapper holding 64 bits prints as text in protobuf's JSON mapping.
    EXPECT_EQ(data.at("Size"), "476940");
    EXPECT_EQ(data.at("Capability"), Json::array({"HardDrive"}));
    // Unset text fields are shown; unset wrappers are not, at any depth.
    EXPECT_EQ(data.at("Eppid"), "");
    EXPECT_FALSE(data.contains("name"));
    EXPECT_EQ(data.at("Partitions")[0].at("Index"), "0");
    EXPECT_FALSE(data.at("Partitions")[0].contains("Size"));
    // A text with presence shows when set, even empty, and not when unset.
    Talvex::Quorlin::Datatypes::SmartStaticInfo smart;
    smart.set_name("SMART1");
    smart.set_model_name("");
    EXPECT_EQ(Storcoll::MessageToJson(smart), Json::parse(R"({"Name": "SMART1", "ModelName": ""})"));
}

// A plug-in whose methods succeed, find nothing or fail.
class FakePlugin final : public Kvr::BaseCollectorPlugin {
public:
    explicit FakePlugin(Kvr::IAgent& agent)
        : BaseCollectorPlugin(agent, "Fake", Kvr::Guid::Parse("{00000000-0000-0000-0000-000000000001}")) {}

    Kvr::DatatypeItemList<PhysicalDiskStaticInfo> CollectDisks(const std::optional<std::string>& itemId,
                                                               const Kvr::CancellationToken& token)
    {
        Kvr::ThrowIfCancellationRequested(token);
        PhysicalDiskStaticInfo message;
        message.set_name(itemId.value_or("all"));
        return std::vector<Kvr::DatatypeItem<PhysicalDiskStaticInfo>>{{message, "Disk_A", kWhen},
                                                                      {message, "Disk_B", kWhen}};
    }
    Kvr::DatatypeItemList<PhysicalDiskStaticInfo> CollectNothing(const std::optional<std::string>&,
                                                                 const Kvr::CancellationToken&)
    {
        return std::nullopt;
    }
    Kvr::DatatypeItemList<PhysicalDiskStaticInfo> CollectBroken(const std::optional<std::string>&,
                                                                const Kvr::CancellationToken&)
    {
        throw Kvr::KvrException("no such bus", std::make_exception_ptr(Kvr::ArgumentException(
                                                   "bad id", std::make_exception_ptr(std::runtime_error("E_FAIL")))));
    }

    static constexpr auto CollectionMethods()
    {
        return std::array{Kvr::MakeCollectionMethod<&FakePlugin::CollectDisks>("CollectDisks"),
                          Kvr::MakeCollectionMethod<&FakePlugin::CollectNothing>("CollectNothing"),
                          Kvr::MakeCollectionMethod<&FakePlugin::CollectBroken>("CollectBroken")};
    }
};

constexpr auto kFakeMethods = FakePlugin::CollectionMethods();

// Methods run in the order named, with or without their prefix; a failure shows
// its whole chain in the document and on stderr, and sets the exit code.
TEST(RunCollect, PrintsItemsNoListAndFailuresInTheOrderNamed)
{
    Kvr::Host::RecordingAgent agent;
    FakePlugin plugin(agent);
    std::ostringstream out;
    std::ostringstream err;
    const auto selected = Storcoll::SelectMethods(kFakeMethods, {"Disks", "CollectBroken", "Nothing"});
    EXPECT_EQ(Storcoll::RunCollect(plugin, selected, std::string("Disk_A"), std::stop_token{}, {}, out, err),
              Storcoll::CollectionFailed);

    const Json results = Json::parse(out.str()).at("collections");
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].at("method"), "CollectDisks");
    EXPECT_EQ(results[0].at("messageType"), "Talvex.Quorlin.Datatypes.PhysicalDiskStaticInfo");
    ASSERT_EQ(results[0].at("items").size(), 2u);
    EXPECT_EQ(results[0].at("items")[1].at("itemId"), "Disk_B");
    EXPECT_EQ(results[0].at("items")[1].at("time"), "2026-12-06T02:00:00.123Z");
    EXPECT_EQ(results[0].at("items")[0].at("data").at("Name"), "Disk_A");
    EXPECT_EQ(results[1].at("error"),
              Json::parse(R"({"type": "Kvr::KvrException", "message": "no such bus",
                              "inner": {"type": "Kvr::ArgumentException", "message": "bad id",
                                        "inner": {"type": "native", "message": "E_FAIL"}}})"));
    EXPECT_FALSE(results[1].contains("items"));
    EXPECT_TRUE(results[2].at("items").is_null());

    EXPECT_EQ(err.str(),
              "storcoll: CollectBroken failed: no such bus\n"
              "  inner error: Kvr::ArgumentException: bad id ---> native error: E_FAIL\n");
}

TEST(BaseCollectorPlugin, AnAgentWithoutLogIsRefused)
{
    struct NoLogAgent final : Kvr::IAgent {
        std::shared_ptr<Kvr::IKvrLog> CreateLog(std::string_view, const Kvr::Guid&) override { return nullptr; }
    } agent;
    EXPECT_THROW(FakePlugin{agent}, Kvr::ArgumentException);
}

TEST(RunCollect, CancellationStopsTheRun)
{
    Kvr::Host::RecordingAgent agent;
    FakePlugin plugin(agent);
    std::stop_source stop;
    stop.request_stop();
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(Storcoll::RunCollect(plugin, kFakeMethods, std::nullopt, stop.get_token(), {}, out, err),
              Storcoll::Cancelled);
    const Json results = Json::parse(out.str()).at("collections");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].at("error").at("type"), "Kvr::OperationCanceledException");
    EXPECT_EQ(err.str(), "storcoll: CollectDisks cancelled\n");
}

// The rules the built-in machine does not show (its end-to-end test shows the others).
TEST(Health, RulesOnHandBuiltData)
{
    using namespace Talvex::Quorlin::Datatypes;
    struct Row {
        const char* Name;
        Storcoll::DiskHealth Health;
        Storcoll::Verdict Verdict;
        std::vector<std::string> Reasons;
    };
    SmartDynamicInfo unlimited;  // current 0 with no threshold: the drive sets no limit
    unlimited.mutable_raw_read_error_rate()->mutable_normal()->set_value(0);
    unlimited.mutable_raw_read_error_rate()->mutable_threshold()->set_value(0);
    SmartNvmeInfo warned;
    auto& health = *warned.mutable_health_info();
    health.mutable_critical_warning()->mutable_read_only()->set_value(true);
    health.mutable_critical_warning()->mutable_low_available_space()->set_value(false);
    health.mutable_available_spare()->set_value(9);
    health.mutable_available_spare_threshold()->set_value(10);
    health.mutable_percentage_used()->set_value(100);
    health.set_media_and_data_integrity_errors("0");
    SmartNvmeInfo worn;
    worn.mutable_health_info()->mutable_percentage_used()->set_value(99);
    worn.mutable_health_info()->mutable_available_spare()->set_value(10);
    worn.mutable_health_info()->mutable_available_spare_threshold()->set_value(10);
    const Row rows[] = {
        {"no threshold", Storcoll::AssessSmart("A", unlimited), Storcoll::Verdict::Good, {}},
        {"warned",
         Storcoll::AssessNvme("B", warned),
         Storcoll::Verdict::Bad,
         {"critical warning ReadOnly", "available spare 9% below its threshold 10%", "percentage used 100%"}},
        {"at the limits", Storcoll::AssessNvme("C", worn), Storcoll::Verdict::Good, {}},
        {"no log", Storcoll::AssessNvme("D", SmartNvmeInfo{}), Storcoll::Verdict::None, {}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> reasons;
        for (const auto& reason : row.Health.Reasons) {
            reasons.push_back(reason.Text);
        }
        EXPECT_EQ(row.Health.Verdict, row.Verdict) << row.Name;
        EXPECT_EQ(reasons, row.Reasons) << row.Name;
    }
}

}  // namespace
