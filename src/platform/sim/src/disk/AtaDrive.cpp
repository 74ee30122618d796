#include "AtaDrive.h"

#include "sim/AtaData.h"

namespace sim {

namespace {

constexpr std::uint64_t kSmartSignature = 0xC24F;  // LBA mid 0x4F, LBA high 0xC2

AtaOutcome Done(std::vector<std::uint8_t> data)
{
    return {AtaOutcome::kStatusReady, 0, std::move(data)};
}

bool SupportsLogging(const AtaDriveModel& drive) { return (drive.identity.word84 & 0x0020) != 0; }

AtaOutcome ReadLogExt(const AtaDriveModel& drive, const AtaCommand& command)
{
    if (!SupportsLogging(drive) || command.count == 0) return Aborted();
    const auto address = static_cast<std::uint8_t>(command.lba);
    const std::size_t firstPage = static_cast<std::size_t>((command.lba >> 8) & 0xFFFF);
    std::vector<std::uint8_t> log;
    if (const auto found = drive.logPages.find(address); found != drive.logPages.end())
        log = found->second;
    else if (address == 0)
        log = LogDirectory(drive);
    else
        return Aborted();
    const std::size_t begin = firstPage * kAtaSectorSize;
    const std::size_t bytes = static_cast<std::size_t>(command.count) * kAtaSectorSize;
    if (begin + bytes > log.size()) return Aborted();
    return Done({log.begin() + static_cast<std::ptrdiff_t>(begin),
                 log.begin() + static_cast<std::ptrdiff_t>(begin + bytes)});
}

AtaOutcome Smart(const AtaDriveModel& drive, const AtaCommand& command)
{
    if (!drive.smartSupported || !drive.smartEnabled || ((command.lba >> 8) & 0xFFFF) != kSmartSignature)
        return Aborted();
    switch (command.features & 0xFF) {
    case ata::kSmartReadData: return Done(SmartDataSector(drive));
    case ata::kSmartReadThresholds: return Done(SmartThresholdSector(drive));
    default: return Aborted();
    }
}

}  // namespace

AtaOutcome Aborted()
{
    return {AtaOutcome::kStatusReady | AtaOutcome::kStatusErr, AtaOutcome::kErrorAbort, {}};
}

std::size_t DataInBytes(const AtaCommand& command)
{
    switch (command.command) {
    case ata::kIdentifyDevice: return kAtaSectorSize;
    case ata::kReadLogExt: return static_cast<std::size_t>(command.count) * kAtaSectorSize;
    case ata::kSmart: {
        const auto feature = command.features & 0xFF;
        return feature == ata::kSmartReadData || feature == ata::kSmartReadThresholds ? kAtaSectorSize : 0;
    }
    default: return 0;
    }
}

AtaOutcome Execute(const AtaDriveModel& drive, const AtaCommand& command)
{
    switch (command.command) {
    case ata::kIdentifyDevice: return Done(IdentifyDeviceData(drive));
    case ata::kReadLogExt: return ReadLogExt(drive, command);
    case ata::kSmart: return Smart(drive, command);
    default: return Aborted();
    }
}

}  // namespace sim
