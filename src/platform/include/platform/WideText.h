// Text kept in 16-bit units inside Windows structures, read into and written
// from std::wstring, whatever the width of wchar_t.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Win32.h"

namespace platform {

// Reads at most `capacity` units up to the first zero; surrogate pairs are
// joined where wchar_t holds whole code points.
std::wstring FromUnits(const WCHAR* units, std::size_t capacity);

// Writes `text` as 16-bit units (surrogate pairs where needed), cut to
// `capacity` units including the terminating zero.
void ToUnits(std::wstring_view text, WCHAR* units, std::size_t capacity);

// Number of 16-bit units `text` takes, without a terminator.
std::size_t UnitLength(std::wstring_view text);

}  // namespace platform
