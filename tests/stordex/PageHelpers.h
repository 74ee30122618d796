// Pages for decoder tests, and a custody that owns what decoders hand out.
// The expectations read pages with these helpers, at offsets the tests name
// themselves, never through the decoders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "Custody.h"

namespace stordex_test {

// A byte that differs from its neighbours and from the bytes 256 or 512
// places away, so a field read at the wrong offset reads another value.
inline std::uint8_t PatternByte(std::size_t offset, unsigned seed)
{
    const std::uint32_t mixed = static_cast<std::uint32_t>(offset + 1) * 2654435761U + seed * 40503U;
    return static_cast<std::uint8_t>(mixed >> 13);
}

inline std::vector<std::uint8_t> PatternPage(std::size_t size, unsigned seed)
{
    std::vector<std::uint8_t> page(size);
    for (std::size_t i = 0; i < size; ++i) page[i] = PatternByte(i, seed);
    return page;
}

inline std::uint64_t Little(const std::vector<std::uint8_t>& page, std::size_t offset, std::size_t width)
{
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = (value << 8) | page.at(offset + i);
    return value;
}

inline void PutLittle(std::vector<std::uint8_t>& page, std::size_t offset, std::uint64_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i) page.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

template <typename Field>
std::vector<std::uint8_t> Bytes(const Field& field)
{
    return std::vector<std::uint8_t>(reinterpret_cast<const std::uint8_t*>(field.data()),
                                     reinterpret_cast<const std::uint8_t*>(field.data()) + field.size());
}

inline std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& page, std::size_t offset, std::size_t size)
{
    return std::vector<std::uint8_t>(page.begin() + static_cast<std::ptrdiff_t>(offset),
                                     page.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

// Destroys whatever a decoder handed out when the test ends.
class OwningCustody final : public talvex::stordex::Custody {
public:
    ~OwningCustody() override
    {
        for (auto& [object, destroy] : m_objects) destroy(object);
    }
    std::size_t HandedOut() const { return m_objects.size(); }

protected:
    void Adopt(void* object, Destroy destroy) override { m_objects.emplace_back(object, destroy); }

private:
    std::vector<std::pair<void*, Destroy>> m_objects;
};

}  // namespace stordex_test
