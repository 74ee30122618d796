#include <gtest/gtest.h>

#include <string>

#include "platform/Win32.h"

namespace {

std::wstring ToWide(UINT codePage, const std::string& bytes, DWORD flags = 0)
{
    const int count = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    if (count > 0) MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), wide.data(), count);
    return wide;
}

std::string ToBytes(UINT codePage, const std::wstring& wide)
{
    const int count =
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(count), '\0');
    if (count > 0)
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), count, nullptr,
                            nullptr);
    return bytes;
}

TEST(MultiByteToWideChar, DecodesUtf8AndReplacesEachBrokenSequence)
{
    EXPECT_EQ(ToWide(CP_UTF8, "Gr\xC3\xBC\xC3\x9F"
                              "e \xE2\x82\xAC \xEF\xBC\xA1 \xF0\x9F\x92\xBE"),
              L"Grüße € \uFF21 \U0001F4BE");
    // A stray continuation byte and a truncated sequence each become one
    // U+FFFD, and the bytes after them are read anew.
    EXPECT_EQ(ToWide(CP_UTF8, "a\x80"
                              "b"),
              L"a\uFFFD"
              L"b");
    EXPECT_EQ(ToWide(CP_UTF8, "\xE2\x82"
                              "c"),
              L"\uFFFD"
              L"c");
    // An encoded surrogate, an overlong form or a value past U+10FFFF: the lead
    // and its second byte make one U+FFFD, each further byte one more.
    EXPECT_EQ(ToWide(CP_UTF8, "\xED\xA0\x80"), L"\uFFFD\uFFFD");
    EXPECT_EQ(ToWide(CP_UTF8, "\xE0\x80\xAD"), L"\uFFFD\uFFFD");
    EXPECT_EQ(ToWide(CP_UTF8, "\xF4\x90\x80\x80"), L"\uFFFD\uFFFD\uFFFD");
    // Bytes that never lead a sequence stand alone.
    EXPECT_EQ(ToWide(CP_UTF8, "\xC0\xAF"), L"\uFFFD\uFFFD");
    EXPECT_EQ(ToWide(CP_UTF8, "\xFF\x40"), L"\uFFFD@");

    SetLastError(0);
    const std::string broken = "a\x80";
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, broken.data(), 2, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(MultiByteToWideChar, Code1252MapsEveryByte)
{
    EXPECT_EQ(ToWide(1252, "\x80\x81\x9F\xE9"), L"\u20AC\u0081\u0178\u00E9");
}

TEST(MultiByteToWideChar, RefusesZeroLengthShortBufferAndUnknownCodePage)
{
    wchar_t out[2] = {};
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, out, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, out, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(MultiByteToWideChar(54321, 0, "abc", 3, out, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // -1 counts the terminator.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", -1, out, 2), 2);
    EXPECT_EQ(out[0], L'a');
    EXPECT_EQ(out[1], L'\0');
}

TEST(WideCharToMultiByte, EncodesUtf8ReplacesLoneSurrogatesAndRefusesBadLengths)
{
    EXPECT_EQ(ToBytes(CP_UTF8, L"Grüße \U0001F4BE"), "Gr\xC3\xBC\xC3\x9F"
                                                     "e \xF0\x9F\x92\xBE");
    const std::wstring lone(1, static_cast<wchar_t>(0xD800));
    EXPECT_EQ(ToBytes(CP_UTF8, lone), "\xEF\xBF\xBD");

    // UTF-8 has no default character, but asking whether it was used is accepted.
    BOOL used = TRUE;
    char out[4] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"a", 1, out, 4, nullptr, &used), 1);
    EXPECT_EQ(out[0], 'a');
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"abc", 3, out, 2, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"abc", 0, out, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
