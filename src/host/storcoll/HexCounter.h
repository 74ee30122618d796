// NVMe counters arrive as bytes fields holding the counter in hexadecimal
// text ("02DFA76F"), up to 128 bits wide.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Storcoll {

using Counter128 = unsigned __int128;

// The counter, or nothing for an empty or non-hexadecimal text or one wider than 128 bits.
std::optional<Counter128> ParseHexCounter(std::string_view text);

// Decimal digits of a 128-bit count.
std::string DecimalText(Counter128 value);

}  // namespace Storcoll
