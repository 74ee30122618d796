#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include <gtest/gtest.h>

#include "kvr/host/HostAgent.h"
#include "kvr/host/TextLog.h"
#include "kvr/host/TimeFormat.h"

namespace {

using namespace std::chrono;
using Kvr::LogLevel;

Kvr::CollectionTime At(sys_days day, milliseconds sinceMidnight) { return day + sinceMidnight; }

TEST(TimeFormat, UtcWithMillisecondsAndZ)
{
    EXPECT_EQ(Kvr::Host::FormatUtcTime(At(2026y / 12 / 6, 2h + 123ms)), "2026-12-06T02:00:00.123Z");
    EXPECT_EQ(Kvr::Host::FormatUtcTime(At(2024y / 2 / 29, 23h + 59min + 58s + 7ms)), "2024-02-29T23:59:58.007Z");
    // Sub-millisecond parts are cut, not rounded up into the next second.
    EXPECT_EQ(Kvr::Host::FormatUtcTime(At(2026y / 1 / 1, 0ms) + 999999us), "2026-01-01T00:00:00.999Z");
    // Before the epoch the clock must still count forwards within the day.
    EXPECT_EQ(Kvr::Host::FormatUtcTime(Kvr::CollectionTime{} - 1ms), "1969-12-31T23:59:59.999Z");
}

// Strips the time stamp, which the log takes itself.
std::vector<std::string> LinesAfterTime(const std::string& out)
{
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line.substr(line.find(' ') + 1));
    }
    return lines;
}

// A line holds the time, level, log id and text, then where it was written
// unless it came without a source; lines below the minimum level are dropped.
TEST(TextLog, LinesAtOrAboveTheMinimumLevelWithTheirSource)
{
    std::ostringstream out;
    Kvr::Host::HostAgent agent(std::make_shared<Kvr::Host::TextLogWriter>(out, LogLevel::Debug));
    const auto log = agent.CreateLog("StrgColl", Kvr::Guid{});
    log->Trace("t", 1, "f", "F").Debug("No SMART data been reached out", 0, "", "");
    log->Warning("the \"0\" name is invalid", 42, "src/Plugins/StorageCollector/X", "Ns::X::CollectData");
    log->Error(Kvr::KvrException("outer", std::make_exception_ptr(Kvr::NotSupportedException("inner"))), 5, "f",
               "F");
    EXPECT_EQ(LinesAfterTime(out.str()),
              (std::vector<std::string>{"DEBUG [StrgColl] No SMART data been reached out",
                                        "WARNING [StrgColl] the \"0\" name is invalid "
                                        "(src/Plugins/StorageCollector/X:42, Ns::X::CollectData)",
                                        "ERROR [StrgColl] Kvr::KvrException: outer ---> "
                                        "Kvr::NotSupportedException: inner (f:5, F)"}));
}

TEST(TextLog, FileWriterAppendsAndRefusesAPathItCannotOpen)
{
    const auto path = std::filesystem::temp_directory_path() / ("kvr_textlog_" + std::to_string(::getpid()));
    std::filesystem::remove(path);
    {
        std::ofstream(path) << "earlier line\n";
        Kvr::Host::TextLog log(std::make_shared<Kvr::Host::TextLogWriter>(path.string(), LogLevel::Error), "A");
        log.Error("written", 7, "f", "F");
    }
    std::stringstream content;
    {
        std::ifstream in(path);
        content << in.rdbuf();
    }  // closed before the file is removed, which Windows refuses for an open file
    const auto lines = LinesAfterTime(content.str());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "ERROR [A] written (f:7, F)");
    std::filesystem::remove(path);

    EXPECT_THROW(Kvr::Host::TextLogWriter("/nonexistent-dir/x.log", LogLevel::Error), std::runtime_error);
}

}  // namespace
