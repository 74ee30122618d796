// Native texts become host texts here. Native code hands out UTF-8 narrow
// strings, but nothing checks them at the boundary; a host text must be valid
// UTF-8, so every byte that does not begin a well-formed sequence turns into
// U+FFFD and the rest is kept as it is.
#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

namespace Talvex::Quorlin::Cpp::Common {

namespace detail {

// Length of the well-formed UTF-8 sequence at `at`, or 0 when there is none.
inline std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) noexcept {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) {
            low = 0xA0;  // no overlong forms
        } else if (lead == 0xED) {
            high = 0x9F;  // no surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;  // nothing above U+10FFFF
        }
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    if (byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace detail

inline std::string DecodeNativeText(std::string_view text) {
    static constexpr std::string_view replacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t length = detail::Utf8SequenceLength(text, at);
        if (length == 0) {
            out += replacement;
            ++at;
        } else {
            out.append(text.substr(at, length));
            at += length;
        }
    }
    return out;
}

// The description of a native error, as host text.
inline std::string NativeDescription(const std::exception& error) {
    const char* what = error.what();
    return what != nullptr ? DecodeNativeText(what) : std::string();
}

}  // namespace Talvex::Quorlin::Cpp::Common
