#include <gtest/gtest.h>

#include "platform/Wql.h"

namespace {

using platform::wql::ReadSelect;

TEST(Wql, ReadsTheClassOfASelectAll)
{
    const struct {
        const wchar_t* text;
        const wchar_t* className;
    } accepted[] = {
        {L"SELECT * FROM Win32_DiskDrive", L"Win32_DiskDrive"},
        {L"select * from MSFT_PhysicalDisk", L"MSFT_PhysicalDisk"},
        {L"  SeLeCt\t*\r\nFrOm  __Namespace  ", L"__Namespace"},
        {L"SELECT*FROM Win32_PerfFormattedData_PerfDisk_PhysicalDisk", L"Win32_PerfFormattedData_PerfDisk_PhysicalDisk"},
    };
    for (const auto& query : accepted) {
        const auto select = ReadSelect(query.text);
        EXPECT_EQ(select.result, S_OK) << query.text;
        EXPECT_EQ(select.className, query.className) << query.text;
    }
}

TEST(Wql, RefusesOtherTextsAsAnInvalidQuery)
{
    for (const wchar_t* text : {
             L"",
             L"SELECT",
             L"SELECT * FROM",
             L"SELECT * FROM 9Disks",
             L"SELECT *FROMWin32_DiskDrive",
             L"SELECT Model FROM Win32_DiskDrive",
             L"SELECT * FROM Win32_DiskDrive WHERE Index = 0",
             L"SELECT * FROM Win32_DiskDrive;",
             L"SELECT * Win32_DiskDrive",
             L"ASSOCIATORS OF {Win32_DiskDrive}",
             L"SELECTS * FROM Win32_DiskDrive",
         }) {
        const auto select = ReadSelect(text);
        EXPECT_EQ(select.result, WBEM_E_INVALID_QUERY) << text;
        EXPECT_TRUE(select.className.empty());
    }
}

}  // namespace
