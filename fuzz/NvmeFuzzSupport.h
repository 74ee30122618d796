// What the NVMe page fuzz targets share: a custody that owns what the
// decoders hand out, and a sink that keeps a value from being optimised away
// while reading every byte of fixed-size texts and counters.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Custody.h"

namespace fuzz_support {

class OwningCustody final : public talvex::stordex::Custody {
public:
    ~OwningCustody() override
    {
        for (const auto& [object, destroy] : m_objects) destroy(object);
    }

protected:
    void Adopt(void* object, Destroy destroy) override { m_objects.emplace_back(object, destroy); }

private:
    std::vector<std::pair<void*, Destroy>> m_objects;
};

inline volatile std::uint64_t g_sink = 0;

template <typename T>
void Use(const T& value)
{
    if constexpr (requires { value.Str(); })
        g_sink = g_sink + value.Str().size() + value.Hex().size();
    else if constexpr (requires { value.Hex(); })
        g_sink = g_sink + value.Hex().size();
    else
        g_sink = g_sink + static_cast<std::uint64_t>(value);
}

}  // namespace fuzz_support
