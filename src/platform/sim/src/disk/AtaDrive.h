// An ATA drive executing one command: the registers it was given, the
// registers and data it answers with. Both pass-through paths end here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/DiskModels.h"

namespace sim {

struct AtaCommand {
    std::uint16_t features = 0;
    std::uint16_t count = 0;
    std::uint64_t lba = 0;  // LBA low in bits 0-7, mid 8-15, high 16-23, ...
    std::uint8_t device = 0;
    std::uint8_t command = 0;
};

struct AtaOutcome {
    std::uint8_t status = 0;
    std::uint8_t error = 0;
    std::vector<std::uint8_t> data;  // what the drive sends to the host

    bool Failed() const { return (status & kStatusErr) != 0; }

    static constexpr std::uint8_t kStatusErr = 0x01;
    static constexpr std::uint8_t kStatusReady = 0x50;  // DRDY | DSC
    static constexpr std::uint8_t kErrorAbort = 0x04;
};

namespace ata {
constexpr std::uint8_t kIdentifyDevice = 0xEC;
constexpr std::uint8_t kReadLogExt = 0x2F;
constexpr std::uint8_t kSmart = 0xB0;
constexpr std::uint8_t kSmartReadData = 0xD0;
constexpr std::uint8_t kSmartReadThresholds = 0xD1;
}  // namespace ata

// Executes a command; an unknown or unsupported command is aborted.
AtaOutcome Execute(const AtaDriveModel& drive, const AtaCommand& command);

// The outcome of a command the drive refuses: ERR with ABRT, no data.
AtaOutcome Aborted();

// The bytes a PIO data-in command moves to the host; 0 for other commands.
std::size_t DataInBytes(const AtaCommand& command);

}  // namespace sim
