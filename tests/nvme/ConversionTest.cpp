// The drive's Identify Controller data and health logs, read by the device
// query library from a described drive, turned into messages. Each bit of
// each field is set alone and what it changes in the message is checked
// against the reviewed record under data/, so a field fed from the wrong
// accessor, cut to a narrower type or losing a flag shows as a changed line.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "MessageLeaves.h"
#include "NvmeDataGetter.h"
#include "Recorded.h"
#include "SimMachineFixture.h"

namespace {

using json = nlohmann::json;
using namespace nvme_test;
namespace getter = Talvex::Quorlin::Plugins::NvmeDataGetter;

std::string DataFile(const std::string& name) { return std::string(NVME_TEST_DATA) + "/" + name; }

json ReadJson(const std::string& name)
{
    std::ifstream file(DataFile(name));
    return json::parse(file);
}

std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            quoted += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            quoted += escaped;
        }
    }
    return quoted + "\"";
}

std::string Shown(const Leaf& leaf)
{
    switch (leaf.kind) {
    case Leaf::Kind::Flag: return leaf.raw != 0 ? "true" : "false";
    case Leaf::Kind::Number: return std::to_string(static_cast<std::int64_t>(leaf.raw));
    default: return Quoted(leaf.text);
    }
}

// Where a swept field sits in the drive's "nvme" object, and its keys. A key
// "name[i]" is element i of an array of `size` numbers.
struct Section {
    std::vector<std::string> path;
    std::vector<std::string> keys;
};

json& At(json& nvme, const std::vector<std::string>& path)
{
    json* node = &nvme;
    for (const auto& step : path) {
        node = step.front() == '#' ? &(*node)[std::stoul(step.substr(1))] : &(*node)[step];
    }
    return *node;
}

void Put(json& section, const std::string& key, const json& value)
{
    const auto bracket = key.find('[');
    if (bracket == std::string::npos) {
        section[key] = value;
        return;
    }
    const std::string name = key.substr(0, bracket);
    json array = json::array();
    for (std::size_t i = 0; i < (name == "deviceCategory" ? 4u : 8u); ++i) array.push_back(0);
    array[std::stoul(key.substr(bracket + 1))] = value;
    section[name] = array;
}

class Conversion : public SimMachineFixture {
protected:
    // Every leaf of the drive's message, by the machine `drive` describes.
    template <class Convert>
    std::map<std::string, Leaf> LeavesOf(const json& drive, Convert convert)
    {
        Describe(json{{"disks", json::array({drive})}}.dump());
        return convert();
    }

    // The base message's leaves, then one line per bit of every key that
    // changes the message: the leaves it changes, with their new values.
    template <class Convert>
    std::string Sweep(const json& drive, const std::vector<Section>& sections, Convert convert)
    {
        const auto base = LeavesOf(drive, convert);
        std::string record;
        for (const auto& [path, leaf] : base) record += path + " = " + Shown(leaf) + "\n";
        for (const Section& section : sections) {
            for (const std::string& key : section.keys) {
                for (unsigned bit = 0; bit < 128; ++bit) {
                    json changed = drive;
                    json value = bit < 64 ? json(std::uint64_t{1} << bit)
                                          : json{{"low", 0}, {"high", std::uint64_t{1} << (bit - 64)}};
                    Put(At(changed["nvme"], section.path), key, value);
                    std::map<std::string, Leaf> leaves;
                    try {
                        leaves = LeavesOf(changed, convert);
                    } catch (const sim::DescriptionError&) {
                        if (bit != 0) break;  // past the field's width
                        Put(At(changed["nvme"], section.path), key, true);
                        leaves = LeavesOf(changed, convert);
                    }
                    std::string line;
                    for (const auto& [path, leaf] : leaves) {
                        const auto before = base.find(path);
                        if (before == base.end() || Shown(before->second) != Shown(leaf)) line += " " + path + "=" + Shown(leaf);
                    }
                    for (const auto& [path, leaf] : base) {
                        if (!leaves.count(path)) line += " " + path + " gone";
                    }
                    std::string name;
                    for (const auto& step : section.path) name += step + ".";
                    record += name + key + " bit " + std::to_string(bit) + ":" + (line.empty() ? " nothing" : line) + "\n";
                }
            }
        }
        return record;
    }
};

std::map<std::string, Leaf> IdentifyLeaves()
{
    const auto table = getter::GetIdentifyControllerData();
    EXPECT_EQ(table.Size(), 1u);
    return table.Size() == 1 ? Leaves(*table.begin()->Message) : std::map<std::string, Leaf>{};
}

std::map<std::string, Leaf> HealthLeaves()
{
    const auto table = getter::GetNvmeHealthData();
    EXPECT_EQ(table.Size(), 1u);
    return table.Size() == 1 ? Leaves(*table.begin()->Message) : std::map<std::string, Leaf>{};
}

TEST_F(Conversion, EachIdentifyBitReachesItsOwnField)
{
    const std::vector<Section> sections = {
        {{"identify"},
         {"vid", "ssvid", "rab", "ieee", "cmic", "mdts", "cntlid", "ver", "rtd3r", "rtd3e", "oaes", "ctratt", "rrls",
          "cntrltype", "crdt1", "crdt2", "crdt3", "oacs", "acl", "aerl", "frmw", "lpa", "elpe", "avscc", "apsta",
          "wctemp", "cctemp", "mtfa", "hmpre", "hmmin", "tnvmcap", "unvmcap", "rpmbs", "edstt", "dsto", "fwug", "kas",
          "hctma", "mntmt", "mxtmt", "sanicap", "hmminds", "hmmaxd", "nsetidmax", "endgidmax", "anatt", "anacap",
          "anagrpmax", "nanagrpid", "pels", "sqes", "cqes", "maxcmd", "nn", "oncs", "fuses", "fna", "vwc", "awun",
          "awupf", "nvscc", "nwpc", "acwu", "sgls", "mnan"}},
        {{"identify", "psd", "#1"},
         {"mp", "mxps", "nops", "enlat", "exlat", "rrt", "rrl", "rwt", "rwl", "idlp", "ips", "actp", "apw", "aps"}},
        {{"identify", "vendor"},
         {"formFactor", "systemCrashProtection", "hostMetadataLog", "deviceCategory[0]", "deviceCategory[3]"}},
    };
    test_support::ExpectRecorded(Sweep(ReadJson("identify-drive.json"), sections, IdentifyLeaves), DataFile("identify-sweep.txt"));
}

TEST_F(Conversion, EachHealthBitReachesItsOwnField)
{
    const std::vector<Section> sections = {
        {{"health"},
         {"criticalWarning", "temperature", "availSpare", "spareThresh", "percentUsed", "enduranceGroupWarningSummary",
          "dataUnitsRead", "dataUnitsWritten", "hostReads", "hostWrites", "ctrlBusyTime", "powerCycles",
          "powerOnHours", "unsafeShutdowns", "mediaErrors", "numErrLogEntries", "warningTempTime",
          "criticalCompTime", "tempSensor[0]", "tempSensor[7]", "thmTemp1TransCount", "thmTemp2TransCount",
          "thmTemp1TotalTime", "thmTemp2TotalTime"}},
        {{"vendorHealth"},
         {"wearLevelingCount", "usedReservedBlockCountWorst", "usedReservedBlockCountTotal", "reservedBlockCountTotal",
          "minimumTemperature", "maximumTemperature", "totalDataWrittenByController", "hostActiveIdleCounter",
          "nonOperationalPowerStateCounter", "abnormalInputVccVoltageCounter"}},
    };
    test_support::ExpectRecorded(Sweep(ReadJson("health-drive.json"), sections, HealthLeaves), DataFile("health-sweep.txt"));
}

// Power states are asked for from index 0 to the reported count inclusive;
// the library has 32 at most.
TEST_F(Conversion, PowerStatesRunToTheReportedCountInclusive)
{
    json drive = ReadJson("identify-drive.json");
    for (const auto& [reported, expected] : {std::pair{0, 1}, std::pair{4, 5}, std::pair{255, 32}}) {
        drive["nvme"]["identify"]["npss"] = reported;
        drive["nvme"]["identify"]["psd"] = json::array();
        for (int i = 0; i < 32; ++i) drive["nvme"]["identify"]["psd"].push_back({{"mp", i + 1}});
        Describe(json{{"disks", json::array({drive})}}.dump());
        const auto table = getter::GetIdentifyControllerData();
        ASSERT_EQ(table.Size(), 1u);
        const auto& message = *table.begin()->Message;
        ASSERT_EQ(message.power_state_desc_size(), expected) << "reported " << reported;
        EXPECT_EQ(message.power_state_desc(expected - 1).max_power().value(), static_cast<unsigned>(expected))
            << "reported " << reported;
    }
}

}  // namespace
