// Text that Windows structures keep in 16-bit units (WCHAR), read into a
// std::wstring: the same units where wchar_t is 16 bits wide, whole code
// points (surrogate pairs joined) where it is 32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Win32.h"

namespace Talvex::Quorlin::Cpp::Common::detail {

// At most `capacity` units, up to the first zero.
inline std::wstring TextFromUnits(const WCHAR* units, std::size_t capacity)
{
    std::wstring text;
    for (std::size_t i = 0; i < capacity && units[i] != 0; ++i) {
        const auto unit = static_cast<char32_t>(static_cast<std::uint16_t>(units[i]));
        if constexpr (sizeof(wchar_t) == 2) {
            text.push_back(static_cast<wchar_t>(unit));
        } else {
            const bool high = unit >= 0xD800 && unit < 0xDC00;
            const auto next = i + 1 < capacity ? static_cast<char32_t>(static_cast<std::uint16_t>(units[i + 1])) : 0;
            if (high && next >= 0xDC00 && next < 0xE000) {
                text.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00)));
                ++i;
            } else {
                text.push_back(static_cast<wchar_t>(unit));
            }
        }
    }
    return text;
}

}  // namespace Talvex::Quorlin::Cpp::Common::detail
