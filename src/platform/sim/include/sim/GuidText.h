// GUID text as descriptions write it: 8-4-4-4-12 hexadecimal digits, with or
// without braces, in either case.
#pragma once

#include <optional>
#include <string_view>

#include "platform/Win32.h"

namespace sim {

std::optional<GUID> GuidFromText(std::string_view text);

// The value of one hexadecimal digit, or -1 for any other character.
int HexDigitValue(char c);

}  // namespace sim
