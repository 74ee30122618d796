// ATA commands over SCSI: the ATA PASS-THROUGH (16) that carries a task file,
// and the registers read back from the sense data it returns.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace live {

// current/previous: Windows' 8-byte task files (features, count, LBA low,
// mid, high, device, command, reserved). Asks for the registers back (CK_COND).
std::array<std::uint8_t, 16> AtaPassThroughCdb(const std::uint8_t current[8], const std::uint8_t previous[8],
                                               bool extended, bool dataIn);

// Fills current (error, count, LBA low, mid, high, device, status) and, for
// a 48-bit command, previous from the ATA status return descriptor or the
// fixed-format sense that carries the same registers. False when the sense
// holds neither.
bool ReadReturnedRegisters(const std::uint8_t* sense, std::size_t length, std::uint8_t current[8],
                           std::uint8_t previous[8]);

}  // namespace live
