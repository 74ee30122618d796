// Readers for the values the hardware sections share: small integers, numbers
// given as text, hex byte strings, GUIDs, Win32 errors, bus types and names
// from a fixed set. Each
// refuses a value it cannot take with the path and what it expected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "JsonReader.h"
#include "sim/DiskModels.h"

namespace sim::load {

void Read(const Node& node, std::uint8_t& out);
void Read(const Node& node, std::uint16_t& out);

// An unsigned number, or text of one: decimal, or hexadecimal after "0x".
std::uint64_t ReadNumber(const Node& node, std::uint64_t maximum, const std::string& what);

// Hex digits, two a byte, blanks between them allowed ("0a 1b", "0A1B").
// `size` 0 takes any non-empty length.
std::vector<std::uint8_t> ReadHex(const Node& node, std::size_t size = 0);

// GUID text, with or without braces.
GUID ReadGuid(const Node& node);

// A Win32 error code other than 0.
DWORD ReadWin32Error(const Node& node);

// A STORAGE_BUS_TYPE: a name ("Sata", "Nvme", "RAID", "Usb", ...) in any
// letter case, or its number.
STORAGE_BUS_TYPE ReadBusType(const Node& node);

// One of the names `choices` gives, as its value.
template <typename Enum, std::size_t N>
Enum ReadChoice(const Node& node, const std::pair<const char*, Enum> (&choices)[N])
{
    std::string expected = "one of";
    for (std::size_t i = 0; i < N; ++i) expected += std::string(i == 0 ? " \"" : i + 1 == N ? " or \""
                                                                                            : ", \"") +
                                                    choices[i].first + "\"";
    if (node.value.is_string()) {
        const std::string text = node.value.get<std::string>();
        for (const auto& [name, value] : choices)
            if (text == name) return value;
    }
    node.Expected(expected);
}

// Refuses the value of `key` in the object at `parent`, whether the key is
// there (a value that does not fit) or not (one that a default made so).
[[noreturn]] void RefuseKey(const Node& parent, const std::string& key, const std::string& problem);

// The texts the description gives as UTF-8, as Windows keeps them.
std::wstring Widen(const std::string& utf8);

}  // namespace sim::load
