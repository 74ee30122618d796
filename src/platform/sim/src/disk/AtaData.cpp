#include "sim/AtaData.h"

#include <algorithm>
#include <numeric>

namespace sim {

namespace {

using Sector = std::vector<std::uint8_t>;

void PutWord(Sector& sector, std::size_t word, std::uint16_t value)
{
    sector[2 * word] = static_cast<std::uint8_t>(value);
    sector[2 * word + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutText(Sector& sector, std::size_t firstWord, std::string_view text, std::size_t bytes)
{
    const auto ata = AtaString(text, bytes);
    std::copy(ata.begin(), ata.end(), sector.begin() + static_cast<std::ptrdiff_t>(2 * firstWord));
}

// The byte that makes all 512 bytes of a sector sum to zero.
std::uint8_t Checksum(const Sector& sector)
{
    const unsigned sum = std::accumulate(sector.begin(), sector.begin() + 511, 0u);
    return static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
}

// A recorded sector as it was kept, cut or zero-filled to one sector.
Sector Recorded(const Sector& recorded)
{
    Sector sector(recorded.begin(), recorded.begin() + static_cast<std::ptrdiff_t>(std::min(recorded.size(), kAtaSectorSize)));
    sector.resize(kAtaSectorSize, 0);
    return sector;
}

constexpr std::size_t kSmartEntries = 30;
constexpr std::size_t kThresholdEntries = 42;  // as many as fit before the checksum

}  // namespace

std::vector<std::uint8_t> AtaString(std::string_view text, std::size_t bytes)
{
    std::vector<std::uint8_t> out(bytes, ' ');
    for (std::size_t i = 0; i < bytes && i < text.size(); ++i) {
        // Character i goes to the high byte of its word when i is even.
        const std::size_t position = (i % 2 == 0) ? i + 1 : i - 1;
        out[position] = static_cast<std::uint8_t>(text[i]);
    }
    return out;
}

std::vector<std::uint8_t> IdentifyDeviceData(const AtaDriveModel& drive)
{
    const AtaIdentity& id = drive.identity;
    Sector sector(kAtaSectorSize, 0);
    PutWord(sector, 0, id.word0);
    PutWord(sector, 1, 16383);  // the obsolete geometry words of a large drive
    PutWord(sector, 3, 16);
    PutWord(sector, 6, 63);
    PutText(sector, 10, id.serial, 20);
    PutText(sector, 23, id.firmware, 8);
    PutText(sector, 27, id.model, 40);
    PutWord(sector, 47, 0x8010);
    PutWord(sector, 49, 0x2F00);  // LBA, DMA, IORDY
    PutWord(sector, 53, 0x0007);
    const std::uint64_t lba28 = std::min<std::uint64_t>(id.sectors, 0x0FFFFFFF);
    PutWord(sector, 60, static_cast<std::uint16_t>(lba28));
    PutWord(sector, 61, static_cast<std::uint16_t>(lba28 >> 16));
    PutWord(sector, 80, 0x01F0);  // ATA/ATAPI-5 to ATA8-ACS
    const std::uint16_t smart = drive.smartSupported ? 0x0001 : 0;
    PutWord(sector, 82, 0x4000 | smart);
    PutWord(sector, 83, id.word83);
    PutWord(sector, 84, id.word84);
    PutWord(sector, 85, 0x4000 | (drive.smartEnabled ? smart : 0));
    PutWord(sector, 86, id.word83 & 0x3FFF);
    PutWord(sector, 87, id.word84);
    for (std::size_t i = 0; i < 4; ++i) PutWord(sector, 100 + i, static_cast<std::uint16_t>(id.sectors >> (16 * i)));
    PutWord(sector, 217, id.word217);
    for (const auto& [word, value] : id.words)
        if (word < 256) PutWord(sector, word, value);
    if (id.words.find(255) == id.words.end()) {
        sector[510] = 0xA5;  // integrity word signature, then its checksum
        sector[511] = Checksum(sector);
    }
    return sector;
}

std::vector<std::uint8_t> EppidLogPage(std::string_view eppid)
{
    Sector page(kAtaSectorSize, 0);
    const auto text = AtaString(eppid, 20);
    std::copy(text.begin(), text.end(), page.begin());
    return page;
}

std::vector<std::uint8_t> LogDirectory(const AtaDriveModel& drive)
{
    Sector page(kAtaSectorSize, 0);
    PutWord(page, 0, 0x0001);
    for (const auto& [address, bytes] : drive.logPages)
        if (address != 0) PutWord(page, address, static_cast<std::uint16_t>(bytes.size() / kAtaSectorSize));
    return page;
}

std::vector<std::uint8_t> SmartDataSector(const AtaDriveModel& drive)
{
    if (!drive.smartDataSector.empty()) return Recorded(drive.smartDataSector);
    Sector sector(kAtaSectorSize, 0);
    PutWord(sector, 0, drive.smartRevision);
    const std::size_t count = std::min(drive.smartAttributes.size(), kSmartEntries);
    for (std::size_t k = 0; k < count; ++k) {
        const SmartAttribute& a = drive.smartAttributes[k];
        const std::size_t at = 2 + 12 * k;
        sector[at] = a.id;
        sector[at + 1] = static_cast<std::uint8_t>(a.flags);
        sector[at + 2] = static_cast<std::uint8_t>(a.flags >> 8);
        sector[at + 3] = a.current;
        sector[at + 4] = a.worst;
        for (std::size_t i = 0; i < 6; ++i) sector[at + 5 + i] = static_cast<std::uint8_t>(a.raw >> (8 * i));
    }
    sector[362] = 0x82;  // off-line data collection completed, automatic collection on
    sector[367] = 0x1B;  // off-line data collection capabilities
    sector[368] = 0x03;  // bytes 368-369: SMART capability (saves data over power cycles)
    sector[370] = 0x01;  // error logging supported
    sector[372] = 2;     // short self-test polling time, minutes
    sector[373] = 60;    // extended self-test polling time, minutes
    sector[511] = Checksum(sector);
    return sector;
}

std::vector<std::uint8_t> SmartThresholdSector(const AtaDriveModel& drive)
{
    if (!drive.smartThresholdSector.empty()) return Recorded(drive.smartThresholdSector);
    Sector sector(kAtaSectorSize, 0);
    PutWord(sector, 0, drive.smartRevision);
    const std::size_t count = std::min(drive.smartThresholds.size(), kThresholdEntries);
    for (std::size_t k = 0; k < count; ++k) {
        sector[2 + 12 * k] = drive.smartThresholds[k].id;
        sector[3 + 12 * k] = drive.smartThresholds[k].threshold;
    }
    sector[511] = Checksum(sector);
    return sector;
}

}  // namespace sim
