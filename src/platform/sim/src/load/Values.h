// Readers for the values the hardware sections share: small integers, numbers
// given as text, hex byte strings, GUIDs, Win32 errors and bus types. Each
// refuses a value it cannot take with the path and what it expected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
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

// Refuses the value of `key` in the object at `parent`, whether the key is
// there (a value that does not fit) or not (one that a default made so).
[[noreturn]] void RefuseKey(const Node& parent, const std::string& key, const std::string& problem);

// The texts the description gives as UTF-8, as Windows keeps them.
std::wstring Widen(const std::string& utf8);

}  // namespace sim::load
