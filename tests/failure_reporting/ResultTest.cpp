#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "failure_reporting/FailureText.h"
#include "RaisedCode.h"
#include "failure_reporting/Result.h"

namespace {

using Talvex::Quorlin::Cpp::Common::ResultException;
namespace Result = Talvex::Quorlin::Cpp::Common::Result;

class ResultTest : public ::testing::Test {};

TEST_F(ResultTest, LastErrorBecomesAWin32Hresult)
{
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(static_cast<DWORD>(Raised([] { RAISE_LAST_ERROR(); })), 0x80070005u);
    SetLastError(0xE000020B);  // a SetupAPI code keeps only its low word
    EXPECT_EQ(static_cast<DWORD>(Raised([] { RAISE_LAST_ERROR(); })), 0x8007020Bu);
}

TEST_F(ResultTest, WbemStatusesHaveNoSystemText)
{
    Talvex::Quorlin::Cpp::Common::FailureInfo failure;
    failure.Hr = static_cast<HRESULT>(0x8004100E);
    failure.File = "WmiQuery.cpp";
    failure.Line = 7;
    failure.Module = "native.dll";
    failure.FailureCount = 3;
    failure.ThreadId = 0x1a2b;
    const std::wstring text = Talvex::Quorlin::Cpp::Common::FormatFailureText(failure);
    EXPECT_EQ(text, L"WmiQuery.cpp(7)\\native.dll!0000000000000000: Exception(3) tid(1a2b) 8004100E ");
    failure.File = nullptr;
    failure.CallerReturnAddress = reinterpret_cast<const void*>(0xABCDEF);
    EXPECT_EQ(Talvex::Quorlin::Cpp::Common::FormatFailureText(failure),
              L"native.dll!0000000000000000: (caller: 0000000000ABCDEF) Exception(3) tid(1a2b) 8004100E ");
}

TEST_F(ResultTest, LongTextsAreCutToTheirLimits)
{
    const std::string longPath(3000, 'p');
    const Result::CheckSite site{longPath.c_str(), 1, "m.dll"};
    try {
        Result::RaiseHr(site, E_FAIL);
    } catch (const ResultException& error) {
        EXPECT_EQ(std::string(error.what()).size(), 1023u);
        EXPECT_EQ(Talvex::Quorlin::Cpp::Common::FormatFailureText(error.GetFailureInfo()).size(), 2047u);
        const ResultException copy(error);
        EXPECT_STREQ(copy.what(), error.what());
    }
}

TEST_F(ResultTest, FailureIdsAreUniqueAcrossThreads)
{
    std::vector<std::uint32_t> ids(400);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&ids, t] {
            for (int i = 0; i < 100; ++i) {
                try {
                    RAISE_HR(E_FAIL);
                } catch (const ResultException& error) {
                    ids[static_cast<std::size_t>(t * 100 + i)] = error.GetFailureInfo().FailureId;
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(std::set<std::uint32_t>(ids.begin(), ids.end()).size(), ids.size());
}

TEST(ResultDeathTest, ReportingASuccessEndsTheProcess)
{
#ifdef _WIN32
    EXPECT_DEATH(RAISE_HR(S_OK), "");  // msvcrt's abort() has its own words
#else
    EXPECT_DEATH(RAISE_HR(S_OK), "^$") << "fail-fast writes nothing of its own";
#endif
}

}  // namespace
