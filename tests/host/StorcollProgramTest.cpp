// storcoll as a user runs it: every output over the built-in machine, held to
// reviewed records, and every way the command line, the machine description or
// the plug-in library can be wrong, with its message and exit code.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <regex>

#include <gtest/gtest.h>

#include "Recorded.h"

namespace {

struct ProgramRun {
    int ExitCode;
    std::string Out;  // on a terminal: everything the terminal showed
    std::string Err;
};

// Runs storcoll through the shell, as a user would; script(1) gives it a
// terminal. No argument holds a quote.
ProgramRun Storcoll(const std::vector<std::string>& arguments, const std::string& environment = "", bool terminal = false)
{
    std::string command = environment + " " STORCOLL_PROGRAM;
    for (const auto& argument : arguments) command += " '" + argument + "'";
    if (terminal) command = "script -qec \"" + command + "\" /dev/null";
    // Named for this process: CTest may run the tests of this file side by side.
    const std::string out = ::testing::TempDir() + "storcoll." + std::to_string(getpid()) + ".out";
    const std::string err = out + ".err";
    const int status = std::system((command + " >" + out + " 2>" + err + " </dev/null").c_str());
    ProgramRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, test_support::ReadFileText(out),
                   test_support::ReadFileText(err)};
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
}

// What differs from run to run: times, durations and where the library is.
std::string Steady(std::string text)
{
    const std::pair<const char*, const char*> changing[] = {
        {R"(\r\n)", "\n"},
        {R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)", "<time>"},
        {R"(, \d+ ms)", ", <elapsed> ms"},
        {R"((_duration_seconds\{.*\}|_timestamp_seconds) .+)", "$1 <number>"},
        {R"(Library: .*\()", "Library: <file> ("},
    };
    for (const auto& [pattern, replacement] : changing) text = std::regex_replace(text, std::regex(pattern), replacement);
    return text;
}

TEST(StorcollProgram, EveryOutputOnTheBuiltInMachine)
{
    const struct {
        std::vector<std::string> Arguments;
        const char* Environment;
        bool Terminal;
        const char* Record;  // under data/: stdout, then stderr (on a terminal: everything it showed)
    } rows[] = {
        {{"list"}, "", false, "list.txt"},
        {{"collect"}, "", false, "collect.json"},
        {{"collect", "SmartNvmeInfo", "--proto-json"}, "", false, "proto.json"},
        {{"collect", "SmartNvmeInfo", "PhysicalDiskStaticInfo", "--format", "jsonl"}, "", false, "collect.jsonl"},
        {{"collect", "--format", "prom"}, "", false, "collect.prom"},
        {{"collect"}, "NO_COLOR=1 COLUMNS=100", true, "table.txt"},
        {{"collect", "SmartNvmeInfo"}, "COLUMNS=100", true, "table-colour.txt"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Record);
        const ProgramRun run = Storcoll(row.Arguments, row.Environment, row.Terminal);
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        test_support::ExpectRecorded(Steady(run.Out + (run.Err.empty() ? "" : "--- stderr\n" + run.Err)),
                                     HOST_TEST_DATA "/" + std::string(row.Record));
    }
}

TEST(StorcollProgram, EveryWrongInputHasItsMessageAndExitCode)
{
    const std::string data = HOST_TEST_DATA "/";
    const struct {
        std::vector<std::string> Arguments;
        int ExitCode;
        std::string Text;  // printed to stdout or stderr
    } rows[] = {
        {{"collect", "SmartNvmeInfo", "collectsmartstaticinfo"}, 2, "storcoll: unknown collection method 'collectsmartstaticinfo'; valid methods: CollectPhysicalDiskDynamicInfo, CollectPhysicalDiskStaticInfo, CollectSmartDynamicInfo, CollectSmartNvmeInfo, CollectSmartStaticInfo, CollectNvmeIdentifyControllerData\n"},
        {{"collect", "--format", "xml"}, 2, "storcoll: unknown output format 'xml'; valid formats: table, json, jsonl, prom\n"},
        {{"collect", "--bogus"}, 2, "--bogus"},
        {{}, 2, "A subcommand is required"},
        {{"collect", "--item", "Disk_none"}, 2, "storcoll: no item 'Disk_none'; items that exist:\n  Disk_SCSI\\DISK&VEN_&PROD_QUORLIN_QS500_SA"},
        {{"--machine", data + "failing-wmi.json", "collect", "SmartStaticInfo"}, 1, "storcoll: CollectSmartStaticInfo failed: "},
        {{"--machine", "/no/such/machine.json", "collect"}, 3, "storcoll: machine description \"/no/such/machine.json\" refused: $: expected a readable file"},
        {{"machine", "check", data + "bad-machine.json"}, 3, "4 problems\n  $.codePage: expected a supported code page (1252, 65001, 28591 or 20127)\n  $.disks[0].model: missing, expected a string\n  $.disks[0].sizeBytes: expected an unsigned 64-bit integer\n  $.disks[0].modle: unknown key\n"},
        {{"machine", "check", DEFAULT_MACHINE}, 0, "machine description \"" DEFAULT_MACHINE "\" is good\n"},
        {{"machine", "default"}, 0, "\"Quorlin QN700 NVMe 1TB\""},
        {{"--plugin", "/no/such/plugin.so", "list"}, 4, "storcoll: plug-in library \"/no/such/plugin.so\": no such file\n"},
        {{"--plugin", data + "not-a-library.txt", "list"}, 4, "storcoll: plug-in library \"" + data + "not-a-library.txt\": cannot be loaded: "},
        {{"--plugin", INCOMPATIBLE_PLUGIN, "collect"}, 4, "storcoll: plug-in library \"" INCOMPATIBLE_PLUGIN "\": built for plug-in contract version 999, this storcoll needs version 1\n"},
        {{"--plugin", NOT_A_PLUGIN, "list"}, 4, "storcoll: plug-in library \"" NOT_A_PLUGIN "\": not a plug-in: it exports no KvrPluginEntry\n"},
    };
    for (const auto& row : rows) {
        std::string name;
        for (const auto& argument : row.Arguments) name += argument + " ";
        SCOPED_TRACE(name);
        const ProgramRun run = Storcoll(row.Arguments);
        EXPECT_EQ(run.ExitCode, row.ExitCode) << run.Err;
        EXPECT_NE((run.Out + run.Err).find(row.Text), std::string::npos) << run.Out << run.Err;
    }
}

}  // namespace
