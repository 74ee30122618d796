// What an ATA drive puts in the sectors it returns: IDENTIFY DEVICE data, log
// pages and the SMART sectors, built from the drive's point of view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "sim/DiskModels.h"

namespace sim {

inline constexpr std::size_t kAtaSectorSize = 512;
inline constexpr std::uint8_t kEppidLogAddress = 0x9A;

// `text` blank-padded or cut to `bytes` characters (an even number), each
// pair stored with its first character in the high byte of the word.
std::vector<std::uint8_t> AtaString(std::string_view text, std::size_t bytes);

// The 512 bytes of IDENTIFY DEVICE, with the integrity word (255) completed.
std::vector<std::uint8_t> IdentifyDeviceData(const AtaDriveModel& drive);

// The piece-part identifier log page: a 20-character ATA string, then zeros.
std::vector<std::uint8_t> EppidLogPage(std::string_view eppid);

// The log directory (address 0): version 1, then the page count of each log.
std::vector<std::uint8_t> LogDirectory(const AtaDriveModel& drive);

// SMART READ DATA and SMART READ THRESHOLDS sectors, each with its checksum
// in byte 511.
std::vector<std::uint8_t> SmartDataSector(const AtaDriveModel& drive);
std::vector<std::uint8_t> SmartThresholdSector(const AtaDriveModel& drive);

}  // namespace sim
