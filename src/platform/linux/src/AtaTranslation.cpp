#include "AtaTranslation.h"

#include <algorithm>

namespace live {

namespace {

enum Register { Features = 0,
                Count = 1,
                LbaLow = 2,
                LbaMid = 3,
                LbaHigh = 4,
                Device = 5,
                Command = 6 };

constexpr std::uint8_t kPioDataIn = 4 << 1;
constexpr std::uint8_t kNonData = 3 << 1;
constexpr std::uint8_t kCheckCondition = 0x20;  // return the registers
constexpr std::uint8_t kFromDevice = 0x08;
constexpr std::uint8_t kInBlocks = 0x04;
constexpr std::uint8_t kLengthInCount = 0x02;
constexpr std::uint8_t kStatusDescriptor = 0x09;

}  // namespace

std::array<std::uint8_t, 16> AtaPassThroughCdb(const std::uint8_t current[8], const std::uint8_t previous[8],
                                               bool extended, bool dataIn)
{
    std::array<std::uint8_t, 16> cdb{};
    cdb[0] = 0x85;
    cdb[1] = static_cast<std::uint8_t>((dataIn ? kPioDataIn : kNonData) | (extended ? 1 : 0));
    cdb[2] = static_cast<std::uint8_t>(kCheckCondition | (dataIn ? kFromDevice | kInBlocks | kLengthInCount : 0));
    if (extended) {
        cdb[3] = previous[Features];
        cdb[5] = previous[Count];
        cdb[7] = previous[LbaLow];
        cdb[9] = previous[LbaMid];
        cdb[11] = previous[LbaHigh];
    }
    cdb[4] = current[Features];
    cdb[6] = current[Count];
    cdb[8] = current[LbaLow];
    cdb[10] = current[LbaMid];
    cdb[12] = current[LbaHigh];
    cdb[13] = current[Device];
    cdb[14] = current[Command];
    return cdb;
}

bool ReadReturnedRegisters(const std::uint8_t* sense, std::size_t length, std::uint8_t current[8],
                           std::uint8_t previous[8])
{
    if (sense == nullptr || length < 8) return false;
    const std::uint8_t format = sense[0] & 0x7F;
    if (format == 0x72 || format == 0x73) {
        const std::size_t end = std::min<std::size_t>(length, 8u + sense[7]);
        for (std::size_t at = 8; at + 2 <= end; at += 2u + sense[at + 1]) {
            if (sense[at] != kStatusDescriptor || at + 14 > end) continue;
            const std::uint8_t* d = sense + at;
            current[0] = d[3];  // error
            current[Count] = d[5];
            current[LbaLow] = d[7];
            current[LbaMid] = d[9];
            current[LbaHigh] = d[11];
            current[Device] = d[12];
            current[Command] = d[13];  // status
            if ((d[2] & 1) != 0) {
                previous[Count] = d[4];
                previous[LbaLow] = d[6];
                previous[LbaMid] = d[8];
                previous[LbaHigh] = d[10];
            }
            return true;
        }
        return false;
    }
    if ((format == 0x70 || format == 0x71) && length >= 12) {
        current[0] = sense[3];
        current[Command] = sense[4];
        current[Device] = sense[5];
        current[Count] = sense[6];
        current[LbaLow] = sense[9];
        current[LbaMid] = sense[10];
        current[LbaHigh] = sense[11];
        return true;
    }
    return false;
}

}  // namespace live
