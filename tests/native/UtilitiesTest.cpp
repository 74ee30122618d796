#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "Common/Utilities.h"
#include "failure_reporting/ResultException.h"

namespace {

using namespace Talvex::Quorlin::Cpp::Common;

TEST(Utilities, ConvertsBetweenWideAndUtf8)
{
    EXPECT_EQ(WideToUtf8(std::wstring(L"Disk \u00E9\u20AC")), "Disk \xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(Utf8ToWide("Disk \xC3\xA9\xE2\x82\xAC"), L"Disk \u00E9\u20AC");
    EXPECT_EQ(WideToUtf8(std::wstring()), "");
    EXPECT_EQ(Utf8ToWide(""), L"");
    // A counted text stops at its count, not at a terminator.
    EXPECT_EQ(WideToUtf8(L"abc\0def", 7), std::string("abc\0def", 7));
}

TEST(Utilities, RefusesTextsLongerThanASignedCount)
{
    const wchar_t one = L'x';
    try {
        WideToUtf8(&one, static_cast<std::size_t>(INT_MAX) + 1);
        FAIL() << "a length past INT_MAX must raise";
    } catch (const ResultException& error) {
        EXPECT_EQ(static_cast<DWORD>(error.GetErrorCode()), 0x80070216u);
    }
}

TEST(Utilities, LowerCasesBytesAndWideCharacters)
{
    EXPECT_EQ(GetLower<char>("0 C: _Total"), "0 c: _total");
    EXPECT_EQ(GetLower<wchar_t>(L"SCSI\\DISK&VEN_NVME"), L"scsi\\disk&ven_nvme");
    // The default "C" locale leaves bytes above ASCII alone.
    EXPECT_EQ(GetLower<char>("\xC3\x89"), "\xC3\x89");
}

}  // namespace
