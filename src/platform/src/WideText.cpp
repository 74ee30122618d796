#include "platform/WideText.h"

namespace platform {

namespace {
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
}  // namespace

std::wstring FromUnits(const WCHAR* units, std::size_t capacity)
{
    std::wstring text;
    for (std::size_t i = 0; i < capacity && units[i] != 0; ++i) {
        const char32_t unit = static_cast<char16_t>(units[i]);
        if (!kWideIsUtf16 && IsHighSurrogate(unit) && i + 1 < capacity &&
            IsLowSurrogate(static_cast<char16_t>(units[i + 1]))) {
            const char32_t low = static_cast<char16_t>(units[++i]);
            text.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
        } else {
            text.push_back(static_cast<wchar_t>(unit));
        }
    }
    return text;
}

std::size_t UnitLength(std::wstring_view text)
{
    std::size_t length = 0;
    for (wchar_t c : text) length += (!kWideIsUtf16 && static_cast<char32_t>(c) > 0xFFFF) ? 2 : 1;
    return length;
}

void ToUnits(std::wstring_view text, WCHAR* units, std::size_t capacity)
{
    if (capacity == 0) return;
    std::size_t out = 0;
    for (wchar_t c : text) {
        const auto point = static_cast<char32_t>(c);
        if (!kWideIsUtf16 && point > 0xFFFF) {
            if (out + 2 >= capacity) break;
            units[out++] = static_cast<WCHAR>(0xD800 + ((point - 0x10000) >> 10));
            units[out++] = static_cast<WCHAR>(0xDC00 + ((point - 0x10000) & 0x3FF));
        } else {
            if (out + 1 >= capacity) break;
            units[out++] = static_cast<WCHAR>(point);
        }
    }
    units[out] = 0;
}

}  // namespace platform
