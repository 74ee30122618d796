// The failure line on the debugger output, which the simulated machine captures.
#include <gtest/gtest.h>

#include <string>

#include "RaisedCode.h"
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
    const auto logged = Result::FailureCount(FailureType::Log);
    EXPECT_EQ(static_cast<DWORD>(CodeOf([] { RAISE_LAST_ERROR(); })), 0x8007029Cu);
    EXPECT_EQ(Result::FailureCount(FailureType::Log), logged + 1);
    const auto lines = machine.DebugLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(L"LogHr("), std::wstring::npos) << std::string(lines[0].begin(), lines[0].end());
    EXPECT_NE(lines[0].find(L"8007029C Assertion failure.\r\n"), std::wstring::npos);
    EXPECT_NE(lines[1].find(L"Exception("), std::wstring::npos);
}

TEST_F(DebugOutputTest, FailureLineGoesToTheDebuggerOnlyWhenOneIsAttached)
{
    EXPECT_EQ(CodeOf([] { RAISE_HR(E_UNEXPECTED); }), E_UNEXPECTED);
    EXPECT_TRUE(machine.DebugLines().empty());

    machine.SetDebuggerAttached(true);
    const unsigned line = __LINE__ + 3;
    std::string what;
    try {
        RAISE_HR(E_UNEXPECTED);
    } catch (const ResultException& error) {
        what = error.what();
    }
    const auto lines = machine.DebugLines();
    ASSERT_EQ(lines.size(), 1u);
    const std::wstring& text = lines[0];
    const std::string expectedStart = std::string(__FILE__) + "(" + std::to_string(line) + ")\\debug_output_tests!";
    EXPECT_EQ(std::string(text.begin(), text.begin() + static_cast<long>(expectedStart.size())), expectedStart);
    EXPECT_NE(text.find(L": Exception("), std::wstring::npos);
    EXPECT_NE(text.find(L" tid("), std::wstring::npos);
    const std::wstring end = L"8000FFFF Catastrophic failure\r\n";
    ASSERT_GE(text.size(), end.size());
    EXPECT_EQ(text.substr(text.size() - end.size()), end);
    EXPECT_EQ(what, std::string(text.begin(), text.end()));
}

}  // namespace
