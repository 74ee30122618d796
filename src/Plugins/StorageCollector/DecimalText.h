// Decimal numbers as WMI hands them to the retrievers in text: disk numbers
// ("0" of a DeviceId, the "0" of a counter row named "0 C:") and the
// formatted performance counters. Read as the standard conversions read them:
// leading blanks are skipped, then the longest run of digits is the number and
// whatever follows it is ignored. A sign is not accepted: no disk number or
// counter is negative, and "-1" must not turn into a huge unsigned value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace Talvex::Quorlin::Plugins::DecimalText {

namespace detail {

inline bool IsBlank(char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

// The value of the leading digit run, or std::invalid_argument(`conversion`)
// when no digit comes first, or std::out_of_range(`conversion`) above `max`.
inline std::uint64_t Parse(const std::string& text, std::uint64_t max, const char* conversion)
{
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (at == text.size() || !IsDigit(text[at])) throw std::invalid_argument(conversion);
    std::uint64_t value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        const auto digit = static_cast<std::uint64_t>(text[at] - '0');
        if (value > (max - digit) / 10) throw std::out_of_range(conversion);
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace detail

// Raises std::invalid_argument when no digit comes first, std::out_of_range
// above 18446744073709551615; each describes itself as "stoull", as the
// standard conversion of the same name does.
inline std::uint64_t ToUInt64(const std::string& text)
{
    return detail::Parse(text, std::numeric_limits<std::uint64_t>::max(), "stoull");
}

// The same for a 32-bit unsigned number (a disk number); "stoul" above 4294967295.
inline std::uint32_t ToUInt32(const std::string& text)
{
    return static_cast<std::uint32_t>(detail::Parse(text, std::numeric_limits<std::uint32_t>::max(), "stoul"));
}

}  // namespace Talvex::Quorlin::Plugins::DecimalText
