// Little-endian reads and writes at byte offsets, the way a driver fills a
// reply: field by field at the offsets of the wire layout, independent of any
// structure declaration.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/Win32.h"

namespace sim::wire {

class Writer {
public:
    Writer(void* bytes, std::size_t size) : m_bytes(static_cast<std::uint8_t*>(bytes)), m_size(size) {}

    void U8(std::size_t offset, std::uint64_t value) { Put(offset, value, 1); }
    void U16(std::size_t offset, std::uint64_t value) { Put(offset, value, 2); }
    void U32(std::size_t offset, std::uint64_t value) { Put(offset, value, 4); }
    void U64(std::size_t offset, std::uint64_t value) { Put(offset, value, 8); }

    // A GUID as Windows keeps it in memory: three little-endian fields, then
    // eight bytes in order.
    void Guid(std::size_t offset, const GUID& guid)
    {
        U32(offset, guid.Data1);
        U16(offset + 4, guid.Data2);
        U16(offset + 6, guid.Data3);
        for (std::size_t i = 0; i < 8; ++i) U8(offset + 8 + i, guid.Data4[i]);
    }

    // 16-bit characters, cut to `units`; the rest of the field stays as it is.
    void Units(std::size_t offset, std::wstring_view text, std::size_t units)
    {
        for (std::size_t i = 0; i < std::min(units, text.size()); ++i) U16(offset + 2 * i, static_cast<std::uint16_t>(text[i]));
    }

    // ASCII text cut to `width` and padded with `pad`.
    void Text(std::size_t offset, std::string_view text, std::size_t width, char pad = ' ')
    {
        for (std::size_t i = 0; i < width; ++i) U8(offset + i, static_cast<unsigned char>(i < text.size() ? text[i] : pad));
    }

    void Bytes(std::size_t offset, const void* bytes, std::size_t count)
    {
        if (offset >= m_size) return;
        std::memcpy(m_bytes + offset, bytes, std::min(count, m_size - offset));
    }

private:
    void Put(std::size_t offset, std::uint64_t value, std::size_t width)
    {
        for (std::size_t i = 0; i < width && offset + i < m_size; ++i)
            m_bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }

    std::uint8_t* m_bytes;
    std::size_t m_size;
};

inline std::uint64_t Get(const void* bytes, std::size_t offset, std::size_t width)
{
    const auto* p = static_cast<const std::uint8_t*>(bytes) + offset;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return value;
}
inline std::uint8_t U8(const void* bytes, std::size_t offset) { return static_cast<std::uint8_t>(Get(bytes, offset, 1)); }
inline std::uint16_t U16(const void* bytes, std::size_t offset) { return static_cast<std::uint16_t>(Get(bytes, offset, 2)); }
inline std::uint32_t U32(const void* bytes, std::size_t offset) { return static_cast<std::uint32_t>(Get(bytes, offset, 4)); }
inline void* Pointer(const void* bytes, std::size_t offset)
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(Get(bytes, offset, sizeof(void*))));
}

}  // namespace sim::wire
