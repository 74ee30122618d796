// BSTR, VARIANT and SAFEARRAY of the platform.
#include <gtest/gtest.h>

#include "SimMachineFixture.h"
#include "platform/Win32.h"

namespace {

using platform::Resource;

class OleAuto : public SimMachineFixture {};

TEST_F(OleAuto, StringsKeepTheirLengthAndAreCounted)
{
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    BSTR text = SysAllocStringLen(L"ab\0cd", 5);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 5u);
    EXPECT_EQ(text[5], L'\0');
    EXPECT_EQ(std::wstring(text, 5), std::wstring(L"ab\0cd", 5));
    // The byte length sits right before the characters.
    EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(text)[-1], 5 * sizeof(OLECHAR));
    BSTR empty = SysAllocString(L"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    EXPECT_EQ(machine.Ledger().Open(Resource::Bstr), 2);
    SysFreeString(text);
    SysFreeString(empty);
    SysFreeString(nullptr);
}

TEST_F(OleAuto, VectorsReadTheirBoundsAndRefuseBadIndices)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 5, 3);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(SafeArrayGetDim(array), 1u);
    LONG bound = 0;
    ASSERT_EQ(SafeArrayGetLBound(array, 1, &bound), S_OK);
    EXPECT_EQ(bound, 5);
    ASSERT_EQ(SafeArrayGetUBound(array, 1, &bound), S_OK);
    EXPECT_EQ(bound, 7);
    EXPECT_EQ(SafeArrayGetUBound(array, 2, &bound), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetUBound(array, 0, &bound), DISP_E_BADINDEX);
    VARTYPE vt = VT_EMPTY;
    ASSERT_EQ(SafeArrayGetVartype(array, &vt), S_OK);
    EXPECT_EQ(vt, VT_UI1);

    for (LONG index = 5; index <= 7; ++index) {
        BYTE byte = static_cast<BYTE>(0xA0 + index);
        ASSERT_EQ(SafeArrayPutElement(array, &index, &byte), S_OK);
    }
    BYTE byte = 0;
    LONG index = 6;
    ASSERT_EQ(SafeArrayGetElement(array, &index, &byte), S_OK);
    EXPECT_EQ(byte, 0xA6);
    for (LONG bad : {4, 8, -1}) EXPECT_EQ(SafeArrayGetElement(array, &bad, &byte), DISP_E_BADINDEX) << bad;

    // An empty vector has an upper bound below its lower bound.
    SAFEARRAY* empty = SafeArrayCreateVector(VT_UI1, 0, 0);
    ASSERT_EQ(SafeArrayGetUBound(empty, 1, &bound), S_OK);
    EXPECT_EQ(bound, -1);
    EXPECT_EQ(machine.Ledger().Open(Resource::SafeArray), 2);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
    EXPECT_EQ(SafeArrayDestroy(empty), S_OK);
}

TEST_F(OleAuto, MultiDimensionalArraysVaryTheFirstIndexFastest)
{
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 10}};  // 2 x 3, the second from 10
    SAFEARRAY* array = SafeArrayCreate(VT_I4, 2, bounds);
    ASSERT_NE(array, nullptr);
    LONG bound = 0;
    ASSERT_EQ(SafeArrayGetUBound(array, 2, &bound), S_OK);
    EXPECT_EQ(bound, 12);
    LONG indices[2] = {1, 11};
    LONG value = 42;
    ASSERT_EQ(SafeArrayPutElement(array, indices, &value), S_OK);
    EXPECT_EQ(static_cast<const LONG*>(array->pvData)[1 + 1 * 2], 42);
    SafeArrayDestroy(array);
}

TEST_F(OleAuto, StringArraysOwnTheirStringsAndHandOutCopies)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, 2);
    LONG index = 0;
    BSTR text = SysAllocString(L"first");
    ASSERT_EQ(SafeArrayPutElement(array, &index, text), S_OK);
    SysFreeString(text);
    EXPECT_EQ(machine.Ledger().Open(Resource::Bstr), 1);  // the array's copy

    BSTR copy = nullptr;
    ASSERT_EQ(SafeArrayGetElement(array, &index, &copy), S_OK);
    EXPECT_EQ(std::wstring(copy), L"first");
    EXPECT_EQ(machine.Ledger().Open(Resource::Bstr), 2);
    SysFreeString(copy);
    index = 1;  // never set
    ASSERT_EQ(SafeArrayGetElement(array, &index, &copy), S_OK);
    EXPECT_EQ(copy, nullptr);

    // A VARIANT holding the array frees it, strings included.
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_ARRAY | VT_BSTR;
    value.parray = array;
    EXPECT_EQ(VariantClear(&value), S_OK);
    EXPECT_EQ(value.vt, VT_EMPTY);
    EXPECT_EQ(machine.Ledger().Open(Resource::Bstr), 0);
    EXPECT_EQ(machine.Ledger().Open(Resource::SafeArray), 0);
}

TEST_F(OleAuto, VariantClearFreesWhatTheVariantOwns)
{
    VARIANT value;
    VariantInit(&value);
    EXPECT_EQ(value.vt, VT_EMPTY);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(L"owned");
    EXPECT_EQ(VariantClear(&value), S_OK);
    EXPECT_EQ(machine.Ledger().Open(Resource::Bstr), 0);
    value.vt = VT_I4;
    value.lVal = 7;
    EXPECT_EQ(VariantClear(&value), S_OK);
    EXPECT_EQ(value.vt, VT_EMPTY);
}

}  // namespace
