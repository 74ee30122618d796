// Answers of the Win32 functions that the system leans on at the edges: empty
// and zero-length inputs, fresh arrays, lookups that fail, texts it logs.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "ConformanceMachine.h"
#include "Wine.h"
#include "platform/Win32.h"

namespace {

class OleAutoCases : public ConformanceTest {};
class WmiCases : public ConformanceTest {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    void TearDown() override
    {
        CoUninitialize();
        ConformanceTest::TearDown();
    }
};

std::wstring Message(DWORD id, DWORD& error)
{
    wchar_t buffer[256] = {};
    SetLastError(0);
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, id, 0x400,
                                        buffer, 256, nullptr);
    error = GetLastError();
    return std::wstring(buffer, length);
}

TEST(FormatMessageWCases, TextsTheSystemLogsAndWbemCodesWithout)
{
    DWORD error = 0;
    for (const DWORD wbem : {0x80041002u, 0x80041010u}) {
        EXPECT_EQ(Message(wbem, error), L"") << std::hex << wbem;
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND)) << std::hex << wbem;
    }
    if (RunningUnderWine()) GTEST_SKIP() << "Wine's system texts differ from Windows' wording";
    const struct {
        DWORD id;
        const wchar_t* text;
    } rows[] = {
        {0x8007029C, L"An assertion failure has occurred.\r\n"},
        {0x80070002, L"The system cannot find the file specified.\r\n"},
        {0x80070032, L"The request is not supported.\r\n"},
        {0x8007007A, L"The data area passed to a system call is too small.\r\n"},
    };
    for (const auto& row : rows) EXPECT_EQ(Message(row.id, error), row.text) << std::hex << row.id;
}

TEST(WideCharToMultiByteCases, ZeroLengthIsRefused)
{
    char out[8] = {};
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"abc", 0, out, 8, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Wtoi64Cases, EmptyNegativeAndOverflowingTexts)
{
    EXPECT_EQ(_wtoi64(L""), 0);
    EXPECT_EQ(_wtoi64(L"-1"), -1);
#ifndef _WIN32
    // msvcrt.dll, which the Windows build links, wraps instead of saturating.
    EXPECT_EQ(_wtoi64(L"9223372036854775808"), LLONG_MAX);
    EXPECT_EQ(_wtoi64(L"-9223372036854775809"), LLONG_MIN);
    EXPECT_EQ(_wtoi64(L"123456789012345678901234567890123456789"), LLONG_MAX);
#endif
}

TEST_F(OleAutoCases, ByteLengthOfStrings)
{
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    BSTR text = SysAllocString(L"Disk");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringByteLen(text), 4 * sizeof(OLECHAR));
    SysFreeString(text);
}

TEST_F(OleAutoCases, FreshVectorReadsZeroFromItsLowerBoundOn)
{
    SAFEARRAY* numbers = SafeArrayCreateVector(VT_I4, 1, 3);
    ASSERT_NE(numbers, nullptr);
    LONG bound = -1;
    EXPECT_EQ(SafeArrayGetLBound(numbers, 1, &bound), S_OK);
    EXPECT_EQ(bound, 1);
    EXPECT_EQ(SafeArrayGetUBound(numbers, 1, &bound), S_OK);
    EXPECT_EQ(bound, 3);
    LONG index = 3;
    LONG value = 7;
    EXPECT_EQ(SafeArrayGetElement(numbers, &index, &value), S_OK);
    EXPECT_EQ(value, 0);
    index = 0;
    EXPECT_EQ(SafeArrayGetElement(numbers, &index, &value), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayDestroy(numbers), S_OK);

    SAFEARRAY* strings = SafeArrayCreateVector(VT_BSTR, 0, 1);
    ASSERT_NE(strings, nullptr);
    index = 0;
    OLECHAR notAString[] = L"x";  // overwritten, never freed
    BSTR text = notAString;
    EXPECT_EQ(SafeArrayGetElement(strings, &index, &text), S_OK);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(SafeArrayDestroy(strings), S_OK);
}

TEST_F(WmiCases, RefusalsWithTheFlagsTheSystemPasses)
{
    IWbemLocator* locator = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                               reinterpret_cast<void**>(&locator)),
              S_OK);
    BSTR nameSpace = SysAllocString(L"root\\cimv2");
    IWbemServices* services = nullptr;
    ASSERT_EQ(locator->ConnectServer(nameSpace, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services), S_OK);
    BSTR wql = SysAllocString(L"WQL");
    BSTR garbage = SysAllocString(L"this is not a query");
    BSTR select = SysAllocString(L"SELECT * FROM Win32_DiskDrive");
    constexpr LONG kSystemFlags = WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY;

    IEnumWbemClassObject* result = nullptr;
    EXPECT_EQ(services->ExecQuery(wql, garbage, kSystemFlags, nullptr, &result), WBEM_E_INVALID_QUERY);
    EXPECT_EQ(result, nullptr);

    ASSERT_EQ(services->ExecQuery(wql, select, kSystemFlags, nullptr, &result), S_OK);
    IWbemClassObject* disk = nullptr;
    ULONG returned = 0;
    ASSERT_EQ(result->Next(WBEM_INFINITE, 1, &disk, &returned), WBEM_S_NO_ERROR);
    VARIANT value;
    VariantInit(&value);
    CIMTYPE type = CIM_ILLEGAL;
    EXPECT_EQ(disk->Get(L"NoSuchProperty", 0, &value, &type, nullptr), WBEM_E_NOT_FOUND);
    EXPECT_EQ(value.vt, VT_EMPTY);
    EXPECT_EQ(type, CIM_ILLEGAL) << "the type is left as it was";

    disk->Release();
    result->Release();
    SysFreeString(select);
    SysFreeString(garbage);
    SysFreeString(wql);
    services->Release();
    SysFreeString(nameSpace);
    locator->Release();
}

}  // namespace
