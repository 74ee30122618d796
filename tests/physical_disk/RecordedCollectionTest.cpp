// The four disk and SMART collection methods of the plug-in on described
// machines (data/<machine>.json), each machine's whole outcome -- items,
// messages, refusals and log lines -- compared with its reviewed record
// (data/<machine>.txt; STORCOLL_RECORD=1 writes it anew; a mismatch names the
// file and line). The fixture fails a walk that leaves a resource open.
#include <google/protobuf/text_format.h>
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "Recorded.h"
#include "SimMachineFixture.h"
#include "StorageCollectorPlugin.h"
#include "kvr/Exceptions.h"
#include "kvr/host/RecordingAgent.h"

namespace {

using Talvex::Quorlin::Plugins::StorageCollectorPlugin;

class RecordedCollection : public SimMachineFixture {
protected:
    template <class Collect>
    void Record(const char* method, Collect&& collect)
    {
        m_out << "== " << method << "\n";
        m_agent.Log()->Clear();
        try {
            const auto items = collect();
            if (!items) m_out << "no list\n";
            for (const auto& item : items.value_or(std::decay_t<decltype(*items)>{})) {
                std::string text;
                google::protobuf::TextFormat::PrintToString(item.Message(), &text);
                m_out << "item " << item.ItemId() << "\n"
                      << text;
                if (m_first == "Disk_none" && item.ItemId() != "Disk_") m_first = item.ItemId();
            }
        } catch (const Kvr::Exception& error) {
            m_out << "raises " << error.TypeName() << ": " << error.Message() << "\n";
        }
        for (const auto& record : m_agent.Log()->Records()) m_out << "log " << Kvr::Host::Transcribed(record) << "\n";
    }

    Kvr::Host::RecordingAgent m_agent;
    std::ostringstream m_out;
    std::string m_first = "Disk_none";
};

// Each machine's description, and why it is here.
constexpr const char* kMachines[] = {
    // A GPT system SSD (C:) and an MBR hard disk (D:, E:), with counters.
    "workstation",
    // Media types from storage rows in another order than the drive list, a
    // repeated disk number, one that is no number and an unknown type.
    "media-types",
    // Counter rows that name no disk, and rows whose volume or counters fail.
    "counter-rows",
    // The storage, counter and SMART classes fail at the query or after their
    // first row; the drive list fails.
    "wmi-fails",
    "wmi-fails-at-next",
    "drive-list-fails",
    // Models from the drive, else the drive list's first row of the index,
    // else none; a disk the drive list leaves out.
    "models",
    // WMI's SMART sector merged into the disk its instance name names,
    // caselessly and once; bridges that refuse SMART pass-through.
    "smart-merge",
    "smart-bridges",
    // No disk and no counter row.
    "empty",
};

TEST_F(RecordedCollection, EveryMachineMatchesItsRecord)
{
    // A native failure's description names its source line, module address,
    // count and thread; the record keeps its code and text.
    const std::regex origin(R"([^\s(]\S*\(\d+\)\\[^!\s]+![0-9A-Fa-f]+: \w+\(\d+\) tid\([0-9A-Fa-f]+\) )");
    for (const char* name : kMachines) {
        const std::string base = std::string(PHYSICAL_DISK_TEST_DATA "/") + name;
        DescribeFile(base + ".json");
        m_out.str("");
        m_first = "Disk_none";
        StorageCollectorPlugin plugin(m_agent);
        // Every item, then the one of the first disk the drive list names.
        for (int pass = 0; pass < 2; ++pass) {
            const auto item = pass == 0 ? std::nullopt : std::optional<std::string>(m_first);
            m_out << "### item " << item.value_or("(all)") << "\n";
            Record("PhysicalDiskStatic", [&] { return plugin.CollectPhysicalDiskStaticInfo(item, std::nullopt); });
            Record("PhysicalDiskDynamic", [&] { return plugin.CollectPhysicalDiskDynamicInfo(item, std::nullopt); });
            Record("SmartStatic", [&] { return plugin.CollectSmartStaticInfo(item, std::nullopt); });
            Record("SmartDynamic", [&] { return plugin.CollectSmartDynamicInfo(item, std::nullopt); });
        }
        test_support::ExpectRecorded(std::regex_replace(m_out.str(), origin, ""), base + ".txt");
    }
}

}  // namespace
