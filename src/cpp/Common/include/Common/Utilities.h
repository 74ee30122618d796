// Text helpers of the native layer: UTF-8 and wide conversions, and
// lower-casing in the runtime's default locale.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cwctype>
#include <string>
#include <string_view>

namespace Talvex::Quorlin::Cpp::Common {

// Wide text to UTF-8. Raises a result error: 0x80070216 for a text longer than
// INT_MAX characters, or the conversion's own failure.
std::string WideToUtf8(const wchar_t* text, std::size_t length);
std::string WideToUtf8(const std::wstring& text);

// UTF-8 to wide text, with the same length limit and errors.
std::wstring Utf8ToWide(const std::string& text);

// The same conversions, giving an empty text instead of raising.
std::string WideToUtf8OrEmpty(const std::wstring& text) noexcept;
std::wstring Utf8ToWideOrEmpty(const std::string& text) noexcept;

// A copy with every character lower-cased in the default locale: bytes
// through tolower, wide characters through towlower.
template <typename CharT>
std::basic_string<CharT> GetLower(const std::basic_string<CharT>& text)
{
    std::basic_string<CharT> lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](CharT c) {
        if constexpr (sizeof(CharT) == 1) {
            return static_cast<CharT>(std::tolower(static_cast<unsigned char>(c)));
        } else {
            return static_cast<CharT>(std::towlower(static_cast<std::wint_t>(c)));
        }
    });
    return lower;
}

}  // namespace Talvex::Quorlin::Cpp::Common
