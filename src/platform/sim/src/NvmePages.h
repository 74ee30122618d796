// The pages a simulated NVMe controller returns, encoded from its model the
// way the drive's firmware fills them: Identify Controller, the SMART /
// Health Information log and our customized health log. Written from the
// drive's side and never with the device query library's decoders, so that a
// layout mistake on either side shows up as a failing test.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/NvmeModel.h"

namespace sim::nvme_pages {

std::vector<std::uint8_t> EncodeIdentifyController(const NvmeIdentify& identify);  // 4096 bytes
std::vector<std::uint8_t> EncodeHealthLog(const NvmeHealthLog& health);            // 512 bytes
std::vector<std::uint8_t> EncodeVendorHealthLog(const NvmeVendorHealthLog& log);   // 512 bytes

}  // namespace sim::nvme_pages
