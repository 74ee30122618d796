// storcoll as a user runs it, on the built-in machine: every output format of
// every data type, the health verdict of each disk, and every way the command
// line, the machine description or the plug-in library can be wrong.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "ProgramRun.h"

namespace {

using Json = nlohmann::json;

std::vector<std::string> Storcoll(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), STORCOLL_PROGRAM);
    return arguments;
}

std::size_t LineCount(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The built-in machine has five disks: a SATA SSD, two SATA hard disks, an
// NVMe drive and a USB stick.
constexpr std::size_t Disks = 5;

struct DataType {
    const char* Method;
    std::size_t Items;       // on the built-in machine
    const char* TableTitle;  // the table section's title
    const char* TableText;   // something only a readable table shows
};

const DataType DataTypes[] = {
    {"CollectPhysicalDiskStaticInfo", Disks, "Physical disks", "2.0 TB"},
    {"CollectPhysicalDiskDynamicInfo", Disks, "Disk activity", "Read MB/s"},
    {"CollectSmartStaticInfo", Disks, "SMART identity", "SMART name"},
    {"CollectSmartDynamicInfo", Disks, "SMART attributes", "AT OR BELOW THRESHOLD"},
    {"CollectSmartNvmeInfo", 1, "NVMe health", "Data read"},
    {"CollectNvmeIdentifyControllerData", 1, "NVMe identify controller data", "Max power"},
};

TEST(StorcollProgram, EveryFormatOfEveryDataType)
{
    for (const auto& type : DataTypes) {
        SCOPED_TRACE(type.Method);
        const auto json = ProgramRun::Piped(Storcoll({"collect", type.Method}));
        ASSERT_EQ(json.ExitCode, 0) << json.Err;
        const Json document = Json::parse(json.Out);
        ASSERT_EQ(document.at("collections").size(), 1u);
        const Json& items = document.at("collections")[0].at("items");
        EXPECT_EQ(items.size(), type.Items);
        for (const auto& item : items) {
            EXPECT_TRUE(item.at("itemId").get<std::string>().starts_with("Disk_")) << item;
            EXPECT_TRUE(item.at("time").get<std::string>().ends_with("Z")) << item;
        }

        const auto lines = ProgramRun::Piped(Storcoll({"collect", type.Method, "--format", "jsonl"}));
        ASSERT_EQ(lines.ExitCode, 0) << lines.Err;
        std::istringstream stream(lines.Out);
        std::size_t itemLines = 0;
        for (std::string line; std::getline(stream, line);) {
            itemLines += Json::parse(line).at("kind") == "item" ? 1 : 0;
        }
        EXPECT_EQ(itemLines, type.Items);
        EXPECT_EQ(LineCount(lines.Out), type.Items + document.at("health").size());

        const auto table = ProgramRun::OnTerminal(Storcoll({"collect", type.Method}), {"NO_COLOR=1"});
        ASSERT_EQ(table.ExitCode, 0) << table.Out;
        EXPECT_NE(table.Out.find(type.TableTitle), std::string::npos) << table.Out;
        EXPECT_NE(table.Out.find(type.TableText), std::string::npos) << table.Out;
        EXPECT_EQ(table.Out.find("\x1b[3"), std::string::npos) << "colour despite NO_COLOR";
        // The status line of the method, on the terminal's stderr.
        EXPECT_NE(table.Out.find(std::string(type.Method) + "  " + std::to_string(type.Items) + " item"),
                  std::string::npos)
            << table.Out;
    }
}

TEST(StorcollProgram, TheTerminalGetsColourAndBytesFieldsReadAsText)
{
    const auto table = ProgramRun::OnTerminal(Storcoll({"collect", "SmartNvmeInfo"}));
    EXPECT_NE(table.Out.find("\x1b[33m"), std::string::npos) << "the caution verdict is not coloured";
    // 48211823 data units of 512,000 bytes.
    EXPECT_NE(table.Out.find("24.7 TB (48211823 units)"), std::string::npos) << table.Out;

    const auto text = ProgramRun::Piped(Storcoll({"collect", "SmartNvmeInfo"}));
    const auto proto = ProgramRun::Piped(Storcoll({"collect", "SmartNvmeInfo", "--proto-json"}));
    const auto read = [](const ProgramRun& run) {
        return Json::parse(run.Out).at("collections")[0].at("items")[0].at("data").at("HealthInfo").at("DataUnitRead");
    };
    EXPECT_EQ(read(text), "02DFA76F");
    EXPECT_EQ(read(proto), "MDJERkE3NkY=");
}

TEST(StorcollProgram, EachDiskHasItsVerdictAndReasons)
{
    const auto run = ProgramRun::Piped(Storcoll({"collect"}));
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const Json health = Json::parse(run.Out).at("health");
    struct Expected {
        const char* Model;
        const char* Verdict;
        std::vector<std::string> Reasons;  // beginnings, in order
    };
    const Expected expected[] = {
        {"Quorlin QS500 SATA SSD 512GB", "good", {}},
        {"Kestrel KD2000 SATA", "good", {}},
        {"Quorlin QN700 NVMe 1TB", "caution", {"media and data integrity errors: 2"}},
        {"Kestrel KD1000 SATA",
         "bad",
         {"SpinRetryCount (10): current value 97 at or below its threshold 97", "ReallocSectorCount (5): raw value 184",
          "CurrentPendingSectorCount (197): raw value 24", "UncorrectableSectorCount (198): raw value 24"}},
        {"Vireo FlashKey 64GB USB Device", "none", {}},
    };
    ASSERT_EQ(health.size(), std::size(expected)) << health.dump(2);
    for (std::size_t disk = 0; disk < health.size(); ++disk) {
        SCOPED_TRACE(expected[disk].Model);
        EXPECT_EQ(health[disk].at("model"), expected[disk].Model);
        EXPECT_EQ(health[disk].at("verdict"), expected[disk].Verdict);
        std::vector<std::string> reasons;
        for (const auto& reason : health[disk].at("reasons")) {
            reasons.push_back(reason.at("text"));
        }
        EXPECT_EQ(reasons, expected[disk].Reasons);
    }
    EXPECT_EQ(health[4].at("unavailable"),
              "no health data: CollectSmartDynamicInfo: its SMART item holds no attributes; "
              "CollectSmartNvmeInfo returned nothing for this disk");
}

std::string WriteFile(const std::string& name, const std::string& text)
{
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
}

TEST(StorcollProgram, EveryWrongInputHasItsMessageAndExitCode)
{
    const std::string badMachine =
        WriteFile("bad-machine.json", R"({"disks": [{"number": 0, "modle": "X", "pnpDeviceId": "A", "sizeBytes": -1}],
                                         "codePage": 437})");
    const std::string notALibrary = WriteFile("not-a-library.so", "text");
    const std::string failingWmi = WriteFile("failing-wmi.json", R"({"wmi": {"root\\cimv2": {"classes":
                                                                       {"Win32_DiskDrive": {"fail": "0x80041003"}}}}})");
    struct Case {
        std::vector<std::string> Arguments;
        int ExitCode;
        std::string Err;
    };
    const Case cases[] = {
        {{"collect", "NoSuchMethod"}, 2, "unknown collection method 'NoSuchMethod'; valid methods: CollectPhysicalDiskDynamicInfo, "
                                         "CollectPhysicalDiskStaticInfo, CollectSmartDynamicInfo, CollectSmartNvmeInfo, CollectSmartStaticInfo, "
                                         "CollectNvmeIdentifyControllerData"},
        {{"collect", "--format", "xml"}, 2, "unknown output format 'xml'; valid formats: table, json, jsonl"},
        {{"collect", "--bogus"}, 2, "--bogus"},
        {{}, 2, "A subcommand is required"},
        {{"collect", "--item", "Disk_none"}, 2, "no item 'Disk_none'; items that exist:\n  Disk_SCSI\\DISK&VEN_&PROD_QUORLIN_QS500_SA"},
        {{"--machine", failingWmi, "collect", "SmartStaticInfo"}, 1, "storcoll: CollectSmartStaticInfo failed: "},
        {{"--machine", "/no/such/machine.json", "collect"}, 3, "machine description \"/no/such/machine.json\" refused: $: expected a readable file"},
        {{"machine", "check", badMachine}, 3, "4 problems\n  $.codePage: expected a supported code page (1252, 65001, 28591 or 20127)\n"
                                              "  $.disks[0].model: missing, expected a string\n"
                                              "  $.disks[0].sizeBytes: expected an unsigned 64-bit integer\n  $.disks[0].modle: unknown key\n"},
        {{"--plugin", "/no/such/plugin.so", "list"}, 4, "plug-in library \"/no/such/plugin.so\": no such file"},
        {{"--plugin", notALibrary, "list"}, 4, "plug-in library \"" + notALibrary + "\": cannot be loaded: "},
        {{"--plugin", INCOMPATIBLE_PLUGIN, "collect"}, 4, "plug-in library \"" INCOMPATIBLE_PLUGIN "\": built for plug-in contract version 999, this storcoll needs "
                                                          "version 1"},
        {{"--plugin", NOT_A_PLUGIN, "list"}, 4, "plug-in library \"" NOT_A_PLUGIN "\": not a plug-in: it exports no KvrPluginEntry"},
    };
    for (const auto& row : cases) {
        std::string name;
        for (const auto& argument : row.Arguments) {
            name += argument + " ";
        }
        SCOPED_TRACE(name);
        const auto run = ProgramRun::Piped(Storcoll(row.Arguments));
        EXPECT_EQ(run.ExitCode, row.ExitCode) << run.Err;
        EXPECT_NE(run.Err.find(row.Err), std::string::npos) << run.Err;
    }
}

TEST(StorcollProgram, TheDefaultMachineIsPrintedAndPassesItsCheck)
{
    const auto printed = ProgramRun::Piped(Storcoll({"machine", "default"}));
    ASSERT_EQ(printed.ExitCode, 0);
    EXPECT_EQ(Json::parse(printed.Out).at("disks").size(), Disks);
    const auto checked = ProgramRun::Piped(Storcoll({"machine", "check", WriteFile("default.json", printed.Out)}));
    EXPECT_EQ(checked.ExitCode, 0) << checked.Err;
    EXPECT_NE(checked.Out.find("is good"), std::string::npos);
}

}  // namespace
