// The two NVMe retrievers over the device query library and described
// drives: which drives they take, in which order, under which item id, what
// they log, and how they fail. Every library object, handle and COM reference
// must be back when a collection returns (the fixture's ledger check).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "NvmeIdentifyControllerDataRetriever.h"
#include "SimMachineFixture.h"
#include "SmartNvmeInfoRetriever.h"
#include "kvr/host/RecordingLog.h"

namespace {

using Kvr::LogLevel;
using Lines = std::vector<std::pair<LogLevel, std::string>>;
using Talvex::Quorlin::Plugins::NvmeIdentifyControllerDataRetriever;
using Talvex::Quorlin::Plugins::SmartNvmeInfoRetriever;

// What sets the two retrievers apart: how they collect, and their own lines.
struct Retriever {
    const char* name;
    const char* file;
    // The item ids collected, or the error raised, through `log`.
    std::function<std::vector<std::string>(std::shared_ptr<Kvr::IKvrLog>, const std::optional<std::string>&)> collect;
    std::string exception;
};

template <class R>
std::vector<std::string> Collect(std::shared_ptr<Kvr::IKvrLog> log, const std::optional<std::string>& itemId)
{
    const auto items = R(std::move(log)).CollectData(itemId);
    EXPECT_TRUE(items.has_value());
    std::vector<std::string> ids;
    for (const auto& item : items.value_or(typename decltype(items)::value_type{})) ids.push_back(item.ItemId());
    return ids;
}

const Retriever kRetrievers[] = {
    {"NvmeIdentifyControllerDataRetriever", "src/Plugins/StorageCollector/NvmeIdentifyControllerDataRetriever",
     Collect<NvmeIdentifyControllerDataRetriever>, "Exception from GetIdentifyControllerData() : "},
    {"SmartNvmeInfoRetriever", "src/Plugins/StorageCollector/SmartNvmeInfoRetriever", Collect<SmartNvmeInfoRetriever>,
     "Exception from GetNvmeHealthData() : "},
};

void PrintTo(const Retriever& retriever, std::ostream* out) { *out << retriever.name; }

// An NVMe controller behind disk `number`, on `bus`, with the health logs.
std::string Drive(int number, const std::string& pnpDeviceId, const char* bus = "Nvme",
                  const nlohmann::json& faults = nlohmann::json::object())
{
    return nlohmann::json{{"number", number}, {"model", "M"}, {"pnpDeviceId", pnpDeviceId}, {"sizeBytes", 1000000000}, {"nvme", {{"busType", bus}, {"vendorHealth", nlohmann::json::object()}, {"faults", faults}}}}
        .dump();
}

class NvmeRetriever : public SimMachineFixture, public ::testing::WithParamInterface<Retriever> {
protected:
    void Machine(const std::vector<std::string>& disks, const std::string& more = "")
    {
        std::string json = R"({"disks": [)";
        for (const auto& disk : disks) json += (json.back() == '[' ? "" : ", ") + disk;
        Describe(json + "]" + more + "}");
    }

    std::vector<std::string> Collect(const std::optional<std::string>& itemId)
    {
        log->Clear();
        return GetParam().collect(log, itemId);
    }

    // Level and text of each record; every one must name the retriever's file and CollectData.
    Lines Logged() const
    {
        Lines logged;
        for (const auto& record : log->Records()) {
            EXPECT_EQ(record.File, GetParam().file) << record.Text;
            EXPECT_EQ(record.Function, std::string("Talvex::Quorlin::Plugins::") + GetParam().name + "::CollectData")
                << record.Text;
            EXPECT_GT(record.Line, 0) << record.Text;
            logged.emplace_back(record.Level, record.Text);
        }
        return logged;
    }

    std::shared_ptr<Kvr::Host::RecordingLog> log = std::make_shared<Kvr::Host::RecordingLog>();
};

// Only NVMe and RAID drives are asked, in ascending drive number up to the
// mask's top bit, each under "Disk_" and its PNP device id as host text.
TEST_P(NvmeRetriever, TakesNvmeAndRaidDrivesInDriveOrder)
{
    Machine({Drive(31, "PCI\\31"), Drive(2, "RAID\\2", "RAID"), Drive(0, "PCI\\\xC3\x89"), Drive(1, "SATA\\1", "Sata"),
             Drive(3, "SCSI\\3", "Scsi"), Drive(4, "USB\\4", "Usb"),
             Drive(5, "PCI\\5", "Nvme", nlohmann::json{{"identify", 1117}, {"healthLog", 1117}})});
    EXPECT_EQ(Collect(std::nullopt),
              (std::vector<std::string>{"Disk_PCI\\\xC3\x83\xE2\x80\xB0", "Disk_RAID\\2", "Disk_PCI\\31"}));
}

// A standard exception in the walk, here from the drive list, is logged in
// host text and gives an empty list.
TEST_P(NvmeRetriever, AStandardExceptionGivesTheErrorLineAndAnEmptyList)
{
    Machine({Drive(0, "PCI\\0")}, R"(, "wmi": {"root\\cimv2": {"fail": "0x80041003"}})");
    EXPECT_TRUE(Collect(std::nullopt).empty());
    const auto logged = Logged();
    ASSERT_FALSE(logged.empty());
    EXPECT_EQ(logged.back().first, LogLevel::Error);
    EXPECT_EQ(logged.back().second.rfind(GetParam().exception, 0), 0u) << logged.back().second;
}

INSTANTIATE_TEST_SUITE_P(Both, NvmeRetriever, ::testing::ValuesIn(kRetrievers),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
