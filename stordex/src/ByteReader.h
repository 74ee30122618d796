// Reads fields at fixed offsets of a device page. NVMe pages store every
// multi-byte field least significant byte first, and number the bits of a
// field from bit 0 of its first byte, so a bit n of a field at offset o sits
// in byte o + n / 8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "stordex/Array.h"

namespace talvex::stordex {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) noexcept : m_bytes(bytes) {}

    std::size_t Size() const noexcept { return m_bytes.size(); }
    ByteReader Sub(std::size_t offset, std::size_t size) const { return ByteReader(m_bytes.subspan(offset, size)); }

    std::uint8_t U8(std::size_t offset) const { return m_bytes[offset]; }
    std::uint16_t U16(std::size_t offset) const
    {
        return static_cast<std::uint16_t>(U8(offset) | (U8(offset + 1) << 8));
    }
    std::uint32_t U32(std::size_t offset) const
    {
        return static_cast<std::uint32_t>(U16(offset)) | (static_cast<std::uint32_t>(U16(offset + 2)) << 16);
    }
    std::uint64_t U64(std::size_t offset) const
    {
        return static_cast<std::uint64_t>(U32(offset)) | (static_cast<std::uint64_t>(U32(offset + 4)) << 32);
    }

    // Bit `bit` of the field that starts at `offset`.
    bool Bit(std::size_t offset, unsigned bit) const { return ((U8(offset + bit / 8) >> (bit % 8)) & 1U) != 0; }

    // Bits low .. low + width - 1 of the field at `offset`, as a number.
    std::uint32_t Bits(std::size_t offset, unsigned low, unsigned width) const
    {
        std::uint32_t value = 0;
        for (unsigned i = 0; i < width; ++i) {
            if (Bit(offset, low + i)) value |= 1U << i;
        }
        return value;
    }

    // The bytes at `offset` copied into a fixed-size field array.
    template <typename T, std::size_t N>
    requires(sizeof(T) == 1) void CopyTo(std::size_t offset, Array<T, N>& field) const
    {
        std::memcpy(field.data(), m_bytes.subspan(offset, N).data(), N);
    }

    // Whether the bytes at `offset` are exactly `text` (no terminator).
    bool Holds(std::size_t offset, std::span<const char> text) const
    {
        return std::memcmp(m_bytes.subspan(offset, text.size()).data(), text.data(), text.size()) == 0;
    }

private:
    std::span<const std::uint8_t> m_bytes;
};

}  // namespace talvex::stordex
