// The failure line on the debugger output, which the simulated machine captures.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "RaisedCode.h"
#include "Common/WmiCommonLib.h"
#include "failure_reporting/Result.h"
#include "sim/SimMachine.h"

namespace {

using Talvex::Quorlin::Cpp::Common::FailureType;
using Talvex::Quorlin::Cpp::Common::ResultException;
namespace Result = Talvex::Quorlin::Cpp::Common::Result;

class DebugOutputTest : public ::testing::Test {
protected:
    sim::SimMachine machine;
    platform::MachineScope scope{machine};
};

TEST_F(DebugOutputTest, MissingLastErrorIsLoggedThenRaisedAsAssertionFailure)
{
    machine.SetDebuggerAttached(true);
    SetLastError(0);
    const auto logged = Result::FailureCount(FailureType::LogHr);
    EXPECT_EQ(static_cast<DWORD>(Raised([] { RAISE_LAST_ERROR(); })), 0x8007029Cu);
    EXPECT_EQ(Result::FailureCount(FailureType::LogHr), logged + 1);
    const auto lines = machine.DebugLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(L"LogHr("), std::wstring::npos) << std::string(lines[0].begin(), lines[0].end());
    EXPECT_NE(lines[0].find(L"8007029C An assertion failure has occurred.\r\n"), std::wstring::npos);
    EXPECT_NE(lines[1].find(L"Exception("), std::wstring::npos);
}

TEST_F(DebugOutputTest, WmiGetterWithoutARowWritesOneLineOnlyUnderADebugger)
{
    // No disks, so the query has no row to read from: the getter raises E_UNEXPECTED.
    const auto readModel = [] {
        Talvex::Quorlin::Cpp::Common::WmiCommonLib wmi(L"SELECT * FROM Win32_DiskDrive", 2);
        wmi.GetStringByField(L"Model");
    };
    EXPECT_EQ(Raised(readModel), E_UNEXPECTED);
    EXPECT_TRUE(machine.DebugLines().empty());

    machine.SetDebuggerAttached(true);
    std::string what;
    try {
        readModel();
    } catch (const ResultException& error) {
        what = error.what();
    }
    const auto lines = machine.DebugLines();
    ASSERT_EQ(lines.size(), 1u);
    const std::string text(lines[0].begin(), lines[0].end());
    EXPECT_TRUE(std::regex_search(text, std::regex(R"(^\S*WmiCommonLib\.cpp\([0-9]+\)\\[^!]*storcoll_native[^!]*!)"))) << text;
    EXPECT_NE(text.find(": Exception("), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with(" 8000FFFF Catastrophic failure\r\n")) << text;
    EXPECT_EQ(what, text);
}

}  // namespace
