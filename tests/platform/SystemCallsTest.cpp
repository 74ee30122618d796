#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <string>
#include <thread>

#include "Wine.h"
#include "platform/Win32.h"

namespace {

std::wstring Message(DWORD id, DWORD& error)
{
    wchar_t buffer[256] = {};
    SetLastError(0);
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, id, 0x400,
                                        buffer, 256, nullptr);
    error = GetLastError();
    return std::wstring(buffer, length);
}

TEST(FormatMessageW, GivesSystemTextsWithTheirLineEnd)
{
    DWORD error = 0;
    if (RunningUnderWine()) {
        // Wine's message table words these texts its own way ("Access denied.").
        EXPECT_NE(Message(0x80070005, error), L"");
        GTEST_SKIP() << "Wine's system texts differ from Windows' wording";
    }
    const struct {
        DWORD id;
        const wchar_t* text;
    } rows[] = {
        {0x80070005, L"Access is denied.\r\n"},
        {5, L"Access is denied.\r\n"},
        {0x80004005, L"Unspecified error\r\n"},
        {0x8000FFFF, L"Catastrophic failure\r\n"},
        {0x8007000E, L"Not enough memory resources are available to complete this operation.\r\n"},
        {0x80070216, L"Arithmetic result exceeded 32 bits.\r\n"},
        {0x8007029C, L"An assertion failure has occurred.\r\n"},
        {0x80070002, L"The system cannot find the file specified.\r\n"},
        {0x80070032, L"The request is not supported.\r\n"},
        {0x8007007A, L"The data area passed to a system call is too small.\r\n"},
    };
    for (const auto& row : rows) EXPECT_EQ(Message(row.id, error), row.text) << std::hex << row.id;
}

TEST(FormatMessageW, HasNoTextForWbemStatusesOrTooSmallBuffers)
{
    DWORD error = 0;
    for (const DWORD wbem : {0x8004100Eu, 0x80041002u, 0x80041010u}) {
        EXPECT_EQ(Message(wbem, error), L"") << std::hex << wbem;
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND)) << std::hex << wbem;
    }
    wchar_t small[4] = {};
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0, small, 4, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(LastError, IsKeptPerThread)
{
    // Starting and joining a thread may itself set the caller's last error,
    // so both threads read theirs while the other one is known to have set its own.
    std::atomic<int> step{0};
    std::thread other([&] {
        SetLastError(87);
        step = 1;
        while (step != 2) {
        }
        EXPECT_EQ(GetLastError(), 87u);
    });
    while (step != 1) {
    }
    SetLastError(5);
    EXPECT_EQ(GetLastError(), 5u);
    step = 2;
    other.join();
}

TEST(Wtoi64, ReadsWmiIntegerTextsAndSaturates)
{
    EXPECT_EQ(_wtoi64(L"0"), 0);
    EXPECT_EQ(_wtoi64(L"  512110190592"), 512110190592LL);
    EXPECT_EQ(_wtoi64(L"9223372036854775807"), LLONG_MAX);
    EXPECT_EQ(_wtoi64(L"-9223372036854775808"), LLONG_MIN);
#ifndef _WIN32
    // Past the range the C runtime the system is built with saturates. The
    // Windows build links msvcrt.dll instead, whose older reading wraps.
    EXPECT_EQ(_wtoi64(L"18446744073709551615"), LLONG_MAX);
    EXPECT_EQ(_wtoi64(L"-9223372036854775809"), LLONG_MIN);
    EXPECT_EQ(_wtoi64(L"123456789012345678901234567890123456789"), LLONG_MAX);
#endif
    EXPECT_EQ(_wtoi64(L"12abc"), 12);
    EXPECT_EQ(_wtoi64(L"abc"), 0);
    EXPECT_EQ(_wtoi64(L""), 0);
    EXPECT_EQ(_wtoi64(L"-1"), -1);
}

}  // namespace
