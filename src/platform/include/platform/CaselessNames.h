// Names Windows compares without regard to letter case: device paths, WMI
// namespaces, classes and properties. Nearly all are ASCII, and the
// comparisons run on every open and every property read, so ASCII letters fold
// directly and only other characters go through the C library's tables.
#pragma once

#include <cwctype>
#include <string_view>

namespace platform {

inline wchar_t FoldUpper(wchar_t c) noexcept
{
    if (c >= 0x80) return static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c)));
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

inline wchar_t FoldLower(wchar_t c) noexcept
{
    if (c >= 0x80) return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Equal but for letter case, compared in upper case as Windows compares paths.
inline bool SameCaseless(std::wstring_view a, std::wstring_view b) noexcept
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && FoldUpper(a[i]) != FoldUpper(b[i])) return false;
    return true;
}

inline bool StartsCaseless(std::wstring_view text, std::wstring_view prefix) noexcept
{
    return text.size() >= prefix.size() && SameCaseless(text.substr(0, prefix.size()), prefix);
}

}  // namespace platform
