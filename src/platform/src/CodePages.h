// Decoding and encoding of the code pages the machine can report.
#pragma once

#include <optional>
#include <string>

#include "platform/Win32.h"

namespace platform::codepages {

// The code page a MultiByteToWideChar / WideCharToMultiByte argument stands
// for on the current machine, or nothing when the platform does not know it.
std::optional<UINT> Resolve(UINT codePage);
bool IsSupported(UINT codePage);

struct Decoded {
    std::u32string text;
    bool invalid = false;  // some input could not be decoded and was replaced
};
Decoded Decode(UINT codePage, const char* bytes, std::size_t count);

struct Encoded {
    std::string bytes;
    bool usedDefault = false;  // some character had no mapping
    bool invalid = false;      // some character was not a valid code point
};
Encoded Encode(UINT codePage, const char32_t* text, std::size_t count, char defaultChar);

}  // namespace platform::codepages
