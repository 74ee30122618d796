// Fixed-size arrays in which the device query library hands out raw device
// fields: byte strings such as the IEEE OUI, 128-bit little-endian counters
// and fixed-width text. They are plain aggregates with no padding, so the
// library can copy a field straight out of a device page into one.
#pragma once

#include <cstddef>
#include <string>
#include <type_traits>

namespace talvex {

// N elements of T in a row. Public so that the array stays an aggregate and
// can be brace-initialised: Array<unsigned char, 3>{{0x38, 0x25, 0x00}}.
template <typename T, std::size_t N>
struct Array {
    static_assert(N > 0, "a device field has at least one element");

    T m_Elements[N];

    static constexpr std::size_t size() noexcept { return N; }

    constexpr T* data() noexcept { return m_Elements; }
    constexpr const T* data() const noexcept { return m_Elements; }

    constexpr T& operator[](std::size_t index) noexcept { return m_Elements[index]; }
    constexpr const T& operator[](std::size_t index) const noexcept { return m_Elements[index]; }

    constexpr T* begin() noexcept { return m_Elements; }
    constexpr T* end() noexcept { return m_Elements + N; }
    constexpr const T* begin() const noexcept { return m_Elements; }
    constexpr const T* end() const noexcept { return m_Elements + N; }

    friend constexpr bool operator==(const Array&, const Array&) = default;

    // The array read as a little-endian number, written most significant byte
    // first as two upper-case hex digits per byte, without prefix. Leading zero
    // bytes are left out, but the lowest byte is always written, so zero reads
    // "00" and 256 reads "0100"; zero bytes after the first written one stay.
    std::string Hex() const
        requires(sizeof(T) == 1)
    {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        std::string text;
        text.reserve(2 * N);
        bool writing = false;
        for (std::size_t index = N; index-- > 0;) {
            const auto byte = static_cast<unsigned char>(m_Elements[index]);
            if (!writing && byte == 0 && index != 0) {
                continue;
            }
            writing = true;
            text.push_back(kDigits[byte >> 4]);
            text.push_back(kDigits[byte & 0x0F]);
        }
        return text;
    }

    // All N characters as they are, NULs included; trimming and cutting at
    // the first NUL is the reader's business, since fields differ in that.
    std::string Str() const
        requires std::is_same_v<T, char>
    {
        return std::string(m_Elements, N);
    }
};

// Fixed-width text from a device (serial number, model, firmware revision),
// space- or NUL-padded as the device wrote it. It is an Array<char, N>, so
// Hex() reads it as a number too: the library keeps 128-bit counters in it.
template <std::size_t N>
using Carray = Array<char, N>;

}  // namespace talvex
