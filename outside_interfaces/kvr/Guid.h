// A GUID as the host identifies plug-ins by it, parsed from and written as
// registry text: "{6F3B2C1E-8D4A-4E57-9B21-5C7A0D93E4F8}".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "kvr/Exceptions.h"

namespace Kvr {

struct Guid {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::array<std::uint8_t, 8> Data4{};

    // Parses registry text with braces, hex digits in either case. Invalid
    // text cannot be a constant: used in a constant expression it fails to
    // compile, at run time it throws ArgumentException.
    static constexpr Guid Parse(std::string_view text);

    // Registry text, upper-case hex, braces included.
    std::string ToString() const;

    friend constexpr bool operator==(const Guid&, const Guid&) = default;

private:
    static constexpr std::uint32_t HexValue(std::string_view text, std::size_t at, std::size_t digits);
};

constexpr std::uint32_t Guid::HexValue(std::string_view text, std::size_t at, std::size_t digits)
{
    std::uint32_t value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        const char c = text[i];
        std::uint32_t nibble = 0;
        if (c >= '0' && c <= '9') {
            nibble = static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            nibble = static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            nibble = static_cast<std::uint32_t>(c - 'A' + 10);
        } else {
            throw ArgumentException("GUID text has a character that is not a hex digit");
        }
        value = (value << 4) | nibble;
    }
    return value;
}

constexpr Guid Guid::Parse(std::string_view text)
{
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' ||
        text[19] != '-' || text[24] != '-') {
        throw ArgumentException("GUID text is not in registry form");
    }
    Guid guid;
    guid.Data1 = HexValue(text, 1, 8);
    guid.Data2 = static_cast<std::uint16_t>(HexValue(text, 10, 4));
    guid.Data3 = static_cast<std::uint16_t>(HexValue(text, 15, 4));
    guid.Data4[0] = static_cast<std::uint8_t>(HexValue(text, 20, 2));
    guid.Data4[1] = static_cast<std::uint8_t>(HexValue(text, 22, 2));
    for (std::size_t i = 0; i < 6; ++i) {
        guid.Data4[2 + i] = static_cast<std::uint8_t>(HexValue(text, 25 + 2 * i, 2));
    }
    return guid;
}

}  // namespace Kvr
