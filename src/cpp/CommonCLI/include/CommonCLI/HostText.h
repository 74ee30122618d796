// Native narrow texts become host texts (UTF-8) the way the managed host reads
// them: decoded in an ANSI code page, not taken as UTF-8.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace Talvex::Quorlin::Cpp::Common {

// The marshalling step: `text` decoded in the calling thread's ANSI code page
// (CP_THREAD_ACP). Raises Kvr::ArgumentException when it cannot be decoded and
// Kvr::ArgumentOutOfRangeException when it is longer than INT_MAX bytes.
std::string MarshalToHostText(std::string_view text);

// A NUL-terminated narrow string decoded in the system ANSI code page; bytes
// the code page lacks become U+FFFD. Null gives an empty text.
std::string HostTextFromAnsi(const char* text);

// The description of a native error, as the host reads what() text.
inline std::string NativeDescription(const std::exception& error) { return HostTextFromAnsi(error.what()); }

}  // namespace Talvex::Quorlin::Cpp::Common
