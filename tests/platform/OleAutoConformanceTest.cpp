#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "ConformanceMachine.h"
#include "platform/Win32.h"

namespace {

class Bstr : public ConformanceTest {};
class Variant : public ConformanceTest {};
class SafeArray : public ConformanceTest {};

TEST_F(Bstr, KeepsItsLengthIncludingEmbeddedZeros)
{
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);

    BSTR text = SysAllocString(L"Disk");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 4u);
    EXPECT_EQ(SysStringByteLen(text), 4 * sizeof(OLECHAR));
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    EXPECT_EQ(text[4], L'\0');
    SysFreeString(text);

    const OLECHAR withZero[] = {L'a', L'\0', L'b'};
    BSTR counted = SysAllocStringLen(withZero, 3);
    ASSERT_NE(counted, nullptr);
    EXPECT_EQ(SysStringLen(counted), 3u);
    // The byte length sits right before the characters.
    EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(counted)[-1], 3 * sizeof(OLECHAR));
    EXPECT_EQ(counted[2], L'b');
    EXPECT_EQ(counted[3], L'\0');
    SysFreeString(counted);

    BSTR cut = SysAllocStringLen(L"abcdef", 2);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(std::wstring(cut), L"ab");
    SysFreeString(cut);

    BSTR empty = SysAllocString(L"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);
}

TEST_F(Variant, InitEmptiesAndClearFreesWhatItHolds)
{
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = 7;
    VariantInit(&value);
    EXPECT_EQ(value.vt, VT_EMPTY);
    EXPECT_EQ(VariantClear(&value), S_OK);
    EXPECT_EQ(value.vt, VT_EMPTY);

    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(L"Wine Disk Drive");
    EXPECT_EQ(VariantClear(&value), S_OK);
    EXPECT_EQ(value.vt, VT_EMPTY);

    value.vt = VT_NULL;
    EXPECT_EQ(VariantClear(&value), S_OK);
    EXPECT_EQ(value.vt, VT_EMPTY);

    value.vt = VT_ARRAY | VT_UI1;
    value.parray = SafeArrayCreateVector(VT_UI1, 0, 3);
    ASSERT_NE(value.parray, nullptr);
    EXPECT_EQ(VariantClear(&value), S_OK);
    EXPECT_EQ(value.vt, VT_EMPTY);

    // A type no VARIANT can hold is refused and left as it was.
    value.vt = 0x7FFF;
    EXPECT_EQ(VariantClear(&value), DISP_E_BADVARTYPE);
    EXPECT_EQ(value.vt, 0x7FFF);
}

TEST_F(SafeArray, ReportsBoundsAndRefusesBadDimensions)
{
    SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, 4);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(SafeArrayGetDim(bytes), 1u);
    LONG bound = 99;
    EXPECT_EQ(SafeArrayGetLBound(bytes, 1, &bound), S_OK);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(SafeArrayGetUBound(bytes, 1, &bound), S_OK);
    EXPECT_EQ(bound, 3);
    EXPECT_EQ(SafeArrayGetUBound(bytes, 0, &bound), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetUBound(bytes, 2, &bound), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetLBound(bytes, 2, &bound), DISP_E_BADINDEX);
    VARTYPE vt = VT_EMPTY;
    EXPECT_EQ(SafeArrayGetVartype(bytes, &vt), S_OK);
    EXPECT_EQ(vt, VT_UI1);
    EXPECT_EQ(SafeArrayDestroy(bytes), S_OK);

    // An empty array's upper bound is one below its lower bound.
    SAFEARRAY* none = SafeArrayCreateVector(VT_BSTR, 0, 0);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(SafeArrayGetUBound(none, 1, &bound), S_OK);
    EXPECT_EQ(bound, -1);
    EXPECT_EQ(SafeArrayDestroy(none), S_OK);

    EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
}

TEST_F(SafeArray, ReadsElementsInsideItsBoundsOnly)
{
    SAFEARRAYBOUND fromOne{2, 1};
    SAFEARRAY* numbers = SafeArrayCreate(VT_I4, 1, &fromOne);
    ASSERT_NE(numbers, nullptr);
    LONG value = 7;
    LONG index = 2;
    EXPECT_EQ(SafeArrayGetElement(numbers, &index, &value), S_OK);
    EXPECT_EQ(value, 0) << "a fresh array reads zero";
    for (LONG i = 1; i <= 2; ++i) {
        LONG element = i * 100;
        EXPECT_EQ(SafeArrayPutElement(numbers, &i, &element), S_OK);
    }
    EXPECT_EQ(SafeArrayGetElement(numbers, &index, &value), S_OK);
    EXPECT_EQ(value, 200);
    for (LONG bad : {0, 3, -1}) {
        value = 7;
        EXPECT_EQ(SafeArrayGetElement(numbers, &bad, &value), DISP_E_BADINDEX) << bad;
        EXPECT_EQ(value, 7);
        EXPECT_EQ(SafeArrayPutElement(numbers, &bad, &value), DISP_E_BADINDEX) << bad;
    }
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

}  // namespace
