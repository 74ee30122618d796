// Decodes the Identify Controller data structure (Identify, CNS 01h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "Custody.h"
#include "stordex/IdentifyControllerData.h"

namespace talvex::stordex::nvme {

inline constexpr std::size_t kIdentifyControllerSize = 4096;

// The decoded structure, or null when `page` holds fewer than 4096 bytes. The
// object keeps a copy of the page. Vendor-specific objects it hands out later
// go through `custody`, which must outlive it.
Owned<IIdentifyControllerData> DecodeIdentifyController(std::span<const std::uint8_t> page,
                                                        Custody& custody);

}  // namespace talvex::stordex::nvme
