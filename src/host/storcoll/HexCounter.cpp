#include "HexCounter.h"

#include <algorithm>

namespace Storcoll {

std::optional<Counter128> ParseHexCounter(std::string_view text)
{
    if (text.empty()) {
        return std::nullopt;
    }
    Counter128 value = 0;
    for (const char digit : text) {
        int nibble = 0;
        if (digit >= '0' && digit <= '9') {
            nibble = digit - '0';
        } else if (digit >= 'A' && digit <= 'F') {
            nibble = digit - 'A' + 10;
        } else if (digit >= 'a' && digit <= 'f') {
            nibble = digit - 'a' + 10;
        } else {
            return std::nullopt;
        }
        if (value >> 124 != 0) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<Counter128>(nibble);
    }
    return value;
}

std::string DecimalText(Counter128 value)
{
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(value % 10)));
        value /= 10;
    } while (value != 0);
    std::reverse(digits.begin(), digits.end());
    return digits;
}

}  // namespace Storcoll
