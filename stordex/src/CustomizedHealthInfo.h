// Decodes our customized health log (docs/nvme-vendor-area.md). A drive may
// hold some other vendor's page under the same log identifier, so the page is
// ours only when it opens with its signature and a layout version of 1 or
// later.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "Custody.h"
#include "stordex/CustomizedHealthInfo.h"

namespace talvex::stordex::nvme {

// In the vendor-specific range of log identifiers (C0h-FFh).
inline constexpr std::uint8_t kCustomizedHealthLogId = 0xCA;
inline constexpr std::size_t kCustomizedHealthLogSize = 512;

// The decoded log, or null when the page is shorter than 512 bytes or does
// not carry the customized layout.
Owned<ICustomizedHealthInfo> DecodeCustomizedHealthLog(std::span<const std::uint8_t> page);

}  // namespace talvex::stordex::nvme
