#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <thread>

#include "platform/Win32.h"

namespace {

std::wstring Message(DWORD id)
{
    wchar_t buffer[256] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, id, 0x400,
                                        buffer, 256, nullptr);
    return std::wstring(buffer, length);
}

TEST(FormatMessageW, GivesSystemTextsWithTheirLineEnd)
{
    EXPECT_EQ(Message(0x80070005), L"Access is denied.\r\n");
    EXPECT_EQ(Message(5), L"Access is denied.\r\n");
    EXPECT_EQ(Message(0x80004005), L"Unspecified error\r\n");
    EXPECT_EQ(Message(0x8000FFFF), L"Catastrophic failure\r\n");
    EXPECT_EQ(Message(0x8007000E), L"Not enough memory resources are available to complete this operation.\r\n");
    EXPECT_EQ(Message(0x80070216), L"Arithmetic result exceeded 32 bits.\r\n");
    EXPECT_EQ(Message(0x8007029C), L"Assertion failure.\r\n");
}

TEST(FormatMessageW, HasNoTextForWbemStatusesOrTooSmallBuffers)
{
    SetLastError(0);
    EXPECT_EQ(Message(0x8004100E), L"");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
    wchar_t small[4] = {};
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0, small, 4, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(LastError, IsKeptPerThread)
{
    SetLastError(5);
    std::thread([] {
        EXPECT_EQ(GetLastError(), 0u);
        SetLastError(87);
    }).join();
    EXPECT_EQ(GetLastError(), 5u);
}

TEST(Wtoi64, ReadsWmiIntegerTextsAndSaturates)
{
    EXPECT_EQ(_wtoi64(L"0"), 0);
    EXPECT_EQ(_wtoi64(L"  512110190592"), 512110190592LL);
    EXPECT_EQ(_wtoi64(L"9223372036854775807"), LLONG_MAX);
    EXPECT_EQ(_wtoi64(L"18446744073709551615"), LLONG_MAX);
    EXPECT_EQ(_wtoi64(L"-9223372036854775808"), LLONG_MIN);
    EXPECT_EQ(_wtoi64(L"12abc"), 12);
    EXPECT_EQ(_wtoi64(L"abc"), 0);
}

TEST(StringFromCLSID, WritesRegistryForm)
{
    const GUID guid{0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
    LPOLESTR text = nullptr;
    ASSERT_EQ(StringFromCLSID(guid, &text), S_OK);
    EXPECT_EQ(std::wstring(text), L"{53F56307-B6BF-11D0-94F2-00A0C91EFB8B}");
    CoTaskMemFree(text);
    CoTaskMemFree(nullptr);
}

}  // namespace
