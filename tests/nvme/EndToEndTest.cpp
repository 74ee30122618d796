// The two NVMe collection methods of the plug-in over the real device query
// library and a described machine: an NVMe drive with the vendor areas, one
// behind a RAID controller without them, one whose queries fail and a SATA
// disk. Every handle, COM reference, string and library object must be back
// when a collection returns (the fixture's ledger check).
#include <google/protobuf/util/json_util.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Recorded.h"
#include "SimMachineFixture.h"
#include "StorageCollectorPlugin.h"
#include "kvr/host/RecordingAgent.h"

namespace {

using Kvr::LogLevel;
using Kvr::Host::RecordingAgent;
using platform::Resource;
using Talvex::Quorlin::Plugins::StorageCollectorPlugin;

class NvmeEndToEnd : public SimMachineFixture {
protected:
    RecordingAgent agent;
    StorageCollectorPlugin plugin{agent};
};

// Both methods: each item's id and message as the host's JSON shows them, each
// log line, and how many library objects the drives took, against the reviewed
// record. The drive failing its queries and the SATA disk give no item.
TEST_F(NvmeEndToEnd, BothMethodsOverNvmeRaidFailingAndSataDrives)
{
    DescribeFile(NVME_TEST_DATA "/machine.json");
    std::ostringstream record;
    const auto show = [&](const auto& items) {
        ASSERT_TRUE(items.has_value());
        google::protobuf::util::JsonPrintOptions options;
        options.add_whitespace = true;
        for (const auto& item : *items) {
            std::string json;
            ASSERT_TRUE(google::protobuf::util::MessageToJsonString(item.Message(), &json, options).ok());
            record << item.ItemId() << " " << json;
        }
        for (const auto& line : agent.Log()->Records()) record << Kvr::Host::Transcribed(line) << "\n";
        record << "library objects: " << machine.Ledger().Acquisitions(Resource::LibraryObject) << "\n\n";
        agent.Log()->Clear();
    };
    show(plugin.CollectNvmeIdentifyControllerData(std::nullopt, std::nullopt));
    show(plugin.CollectSmartNvmeInfo(std::string(), std::nullopt));
    test_support::ExpectRecorded(record.str(), NVME_TEST_DATA "/end-to-end.txt");
}

// Two NVMe drives that WMI does not list both resolve to "Disk_": the whole
// call fails, and still nothing stays open.
TEST_F(NvmeEndToEnd, ADuplicateItemIdFailsTheWholeCall)
{
    std::string description = test_support::ReadFileText(NVME_TEST_DATA "/machine.json");
    description.replace(description.rfind("]}"), 2, R"(],
        "wmi": {"root\\cimv2": {"classes": {"Win32_DiskDrive": {"rows": [{"drop": 0}, {"drop": 1}]}}}}})");
    Describe(description);
    for (const bool identify : {true, false}) {
        agent.Log()->Clear();
        try {
            if (identify)
                plugin.CollectNvmeIdentifyControllerData(std::nullopt, std::nullopt);
            else
                plugin.CollectSmartNvmeInfo(std::nullopt, std::nullopt);
            ADD_FAILURE() << "the duplicate went unnoticed";
        } catch (const Kvr::KvrException& error) {
            ASSERT_NE(error.InnerException(), nullptr);
            EXPECT_EQ(error.InnerException()->TypeName(), "Kvr::ArgumentException");
        }
        const auto logged = agent.Log()->Records();
        ASSERT_FALSE(logged.empty());
        EXPECT_EQ(logged.back().Level, LogLevel::Error);
        EXPECT_EQ(logged.back().Text, "Exception : An item with the same key has already been added. Key: Disk_");
        EXPECT_EQ(machine.Ledger().OpenTotal(), 0);
    }
}

}  // namespace
