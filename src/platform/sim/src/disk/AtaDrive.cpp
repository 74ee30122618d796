#include "AtaDrive.h"

#include "sim/AtaData.h"

namespace sim {

namespace {

constexpr std::uint64_t smartSignature = 0xC24F;  // LBA mid 0x4F, LBA high 0xC2

AtaOutcome Done(std::vector<std::uint8_t> data)
{
    return {AtaOutcome::statusReady, 0, std::move(data)};
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
    const std::size_t begin = firstPage * ataSectorSize;
    const std::size_t bytes = static_cast<std::size_t>(command.count) * ataSectorSize;
    if (begin + bytes > log.size()) return Aborted();
    return Done({log.begin() + static_cast<std::ptrdiff_t>(begin),
                 log.begin() + static_cast<std::ptrdiff_t>(begin + bytes)});
}

AtaOutcome Smart(const AtaDriveModel& drive, const AtaCommand& command)
{
    if (!drive.smartSupported || !drive.smartEnabled || ((command.lba >> 8) & 0xFFFF) != smartSignature)
        return Aborted();
    switch (command.features & 0xFF) {
    case ata::smartReadData: return Done(SmartDataSector(drive));
    case ata::smartReadThresholds: return Done(SmartThresholdSector(drive));
    default: return Aborted();
    }
}

}  // namespace

AtaOutcome Aborted()
{
    return {AtaOutcome::statusReady | AtaOutcome::statusErr, AtaOutcome::errorAbort, {}};
}

std::size_t DataInBytes(const AtaCommand& command)
{
    switch (command.command) {
    case ata::identifyDevice: return ataSectorSize;
    case ata::readLogExt: return static_cast<std::size_t>(command.count) * ataSectorSize;
    case ata::smart: {
        const auto feature = command.features & 0xFF;
        return feature == ata::smartReadData || feature == ata::smartReadThresholds ? ataSectorSize : 0;
    }
    default: return 0;
    }
}

AtaOutcome Execute(const AtaDriveModel& drive, const AtaCommand& command)
{
    switch (command.command) {
    case ata::identifyDevice: return Done(IdentifyDeviceData(drive));
    case ata::readLogExt: return ReadLogExt(drive, command);
    case ata::smart: return Smart(drive, command);
    default: return Aborted();
    }
}

}  // namespace sim
