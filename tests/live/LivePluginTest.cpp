// The plug-in collecting all six data types from the lab as recorded, every
// item in full against the reviewed record data/lab-collection.txt: the disks
// in drive number order with their item ids, buses, sizes and geometries, the
// partition tables (ids as tools/blkid.txt shows them), the letters, the SMART
// sectors and the NVMe pages as the drives answered them in the lab.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>

#include "Recorded.h"
#include "ReplayKernel.h"
#include "StorageCollectorPlugin.h"
#include "kvr/host/RecordingAgent.h"
#include "live/LiveMachine.h"

namespace {

using Talvex::Quorlin::Plugins::StorageCollectorPlugin;

TEST(LivePlugin, AllSixTypesFromTheRecordedLab)
{
    live::LiveMachine machine({livetest::recorded / "tree/sys", livetest::recorded / "tree/proc", livetest::DevRoot()},
                              live::LiveOptions{std::chrono::milliseconds(5)}, std::make_shared<livetest::ReplayKernel>(livetest::recorded / "replies"));
    platform::MachineScope scope(machine);
    Kvr::Host::RecordingAgent agent;
    StorageCollectorPlugin plugin(agent);

    std::string text;
    for (const auto& method : StorageCollectorPlugin::CollectionMethods()) {
        text += "== " + std::string(method.Name) + "\n";
        const auto items = method.Invoke(plugin, std::nullopt, std::nullopt);
        if (!items) text += "no list\n";
        for (const auto& item : items.value_or(Kvr::GenericItemList::value_type{}))
            text += "-- " + item.ItemId + "\n" + item.Message->DebugString();
    }
    test_support::ExpectRecorded(text, LIVE_DATA_DIR "/lab-collection.txt");
    // The GPT partition ids are those blkid printed in the lab.
    std::ifstream blkid(livetest::recorded / "tools/blkid.txt");
    for (std::string line; std::getline(blkid, line);) {
        std::string id = line.substr(line.find("PARTUUID=\"") + 10);
        id.resize(id.find('"'));
        for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_TRUE(id.size() != 36 || text.find("guid: \"" + id + "\"") != std::string::npos) << line;
    }
    EXPECT_EQ(machine.Ledger().OpenReport(), "");
}

}  // namespace
