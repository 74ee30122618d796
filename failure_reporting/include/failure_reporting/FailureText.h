// The failure line: where a check failed, how often, on which thread, with
// which status and the system's text for it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "failure_reporting/ResultException.h"

namespace Talvex::Quorlin::Cpp::Common {

inline constexpr std::size_t kMaxFailureTextLength = 2047;  // characters, without the terminator
inline constexpr std::size_t kMaxWhatLength = 1023;         // bytes, without the terminator

std::wstring_view FailureTypeWord(FailureType type) noexcept;

std::wstring FormatFailureText(const FailureInfo& failure);

// The failure line in the ANSI code page, cut to at most kMaxWhatLength bytes.
std::string NarrowFailureText(std::wstring_view text);

}  // namespace Talvex::Quorlin::Cpp::Common
