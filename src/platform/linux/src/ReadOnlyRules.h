// The allow-list that keeps the live machine read-only: the only commands
// that may reach a drive are those a collector reads with. Anything else is
// refused before a device sees it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace live {

// An ATA command as its registers name it.
struct AtaCommand {
    std::uint8_t Feature = 0;
    std::uint8_t Count = 0;
    std::uint8_t LbaLow = 0;
    std::uint8_t LbaMid = 0;
    std::uint8_t LbaHigh = 0;
    std::uint8_t Command = 0;
    bool DataIn = false;  // PIO data from the device
    bool NoData = false;
};

// IDENTIFY DEVICE, SMART READ DATA / READ THRESHOLDS / RETURN STATUS, and
// READ LOG EXT or SMART READ LOG of the logs the collector reads.
bool AtaCommandAllowed(const AtaCommand& command);

// INQUIRY, and ATA PASS-THROUGH (12 or 16) of an allowed ATA command. Data may
// only come from the device (dataIn) or not move at all (noData).
bool ScsiCommandAllowed(const std::uint8_t* cdb, std::size_t length, bool dataIn, bool noData);

// NVMe admin: Identify of the controller or a namespace, Get Log Page of the
// SMART / Health log and the maker's health log.
bool NvmeIdentifyAllowed(std::uint32_t cns);
bool NvmeLogAllowed(std::uint32_t logId);

}  // namespace live
