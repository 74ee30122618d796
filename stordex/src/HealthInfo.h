// Decodes the SMART / Health Information log page (log identifier 02h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "Custody.h"
#include "stordex/HealthInfo.h"

namespace talvex::stordex::nvme {

inline constexpr std::size_t kHealthLogSize = 512;
inline constexpr std::uint8_t kHealthLogId = 0x02;

// A temperature the log reports in Kelvin, in whole degrees Celsius. A raw 0,
// which the log uses for a sensor that is not implemented, gives -273, the
// library's "not valid".
constexpr std::int32_t KelvinToCelsius(std::uint16_t kelvin) noexcept
{
    return static_cast<std::int32_t>(kelvin) - 273;
}

// The decoded log, or null when `page` holds fewer than 512 bytes. The
// critical warning objects it hands out go through `custody`, which must
// outlive it.
Owned<IHealthInfo> DecodeHealthLog(std::span<const std::uint8_t> page, Custody& custody);

}  // namespace talvex::stordex::nvme
