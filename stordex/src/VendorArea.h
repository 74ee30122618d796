// Decodes the vendor-specific area of Identify Controller (bytes 3072-4095).
// The area carries our customized layout (docs/nvme-vendor-area.md) only when
// it opens with its signature and a layout version of 1 or later; any other
// content, an all-zero area included, is some other vendor's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "Custody.h"
#include "stordex/CustomizedControllerData.h"
#include "stordex/IdentifyControllerData.h"

namespace talvex::stordex::nvme {

inline constexpr std::size_t kVendorAreaOffset = 3072;
inline constexpr std::size_t kVendorAreaSize = 1024;

// An object that also implements ICustomizedControllerData when the area has
// the customized layout, a plain IVendorSpecificInfo otherwise; null when
// `area` is not 1024 bytes long. The object keeps copies of its fields.
Owned<IIdentifyControllerData::IVendorSpecificInfo> DecodeVendorArea(std::span<const std::uint8_t> area);

}  // namespace talvex::stordex::nvme
