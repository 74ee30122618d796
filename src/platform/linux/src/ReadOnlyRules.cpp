#include "ReadOnlyRules.h"

#include <algorithm>
#include <array>

namespace live {

namespace {

constexpr std::uint8_t identifyDevice = 0xEC;
constexpr std::uint8_t smart = 0xB0;
constexpr std::uint8_t readLogExt = 0x2F;
constexpr std::uint8_t smartLbaMid = 0x4F;
constexpr std::uint8_t smartLbaHigh = 0xC2;
constexpr std::uint8_t smartReadData = 0xD0;
constexpr std::uint8_t smartReadThresholds = 0xD1;
constexpr std::uint8_t smartReadLog = 0xD5;
constexpr std::uint8_t smartReturnStatus = 0xDA;

constexpr std::uint8_t inquiry = 0x12;
constexpr std::uint8_t ataPassThrough16 = 0x85;
constexpr std::uint8_t ataPassThrough12 = 0xA1;
constexpr std::uint8_t protocolNonData = 3;
constexpr std::uint8_t protocolPioDataIn = 4;

// The device's own log of its piece-part identifier.
constexpr std::array<std::uint8_t, 1> readableLogs = {0x9A};
constexpr std::array<std::uint32_t, 2> readableNvmeLogs = {0x02, 0xCA};
constexpr std::array<std::uint32_t, 2> readableIdentify = {0x00, 0x01};

template <typename Table, typename Value>
bool In(const Table& table, Value value)
{
    return std::find(table.begin(), table.end(), value) != table.end();
}

}  // namespace

bool AtaCommandAllowed(const AtaCommand& c)
{
    switch (c.Command) {
    case identifyDevice: return c.DataIn;
    case readLogExt: return c.DataIn && In(readableLogs, c.LbaLow);
    case smart:
        if (c.LbaMid != smartLbaMid || c.LbaHigh != smartLbaHigh) return false;
        switch (c.Feature) {
        case smartReadData:
        case smartReadThresholds: return c.DataIn;
        case smartReadLog: return c.DataIn && In(readableLogs, c.LbaLow);
        case smartReturnStatus: return c.NoData;
        default: return false;
        }
    default: return false;
    }
}

bool ScsiCommandAllowed(const std::uint8_t* cdb, std::size_t length, bool dataIn, bool noData)
{
    if (cdb == nullptr || length == 0) return false;
    switch (cdb[0]) {
    case inquiry: return length >= 6 && (dataIn || noData);
    case ataPassThrough16:
    case ataPassThrough12: {
        const bool sixteen = cdb[0] == ataPassThrough16;
        if (length < (sixteen ? 16u : 12u)) return false;
        const std::uint8_t protocol = (cdb[1] >> 1) & 0x0F;
        const bool fromDevice = (cdb[2] & 0x08) != 0;
        AtaCommand command;
        command.DataIn = protocol == protocolPioDataIn && fromDevice && dataIn;
        command.NoData = protocol == protocolNonData && noData;
        if (sixteen) {
            command.Feature = cdb[4];
            command.Count = cdb[6];
            command.LbaLow = cdb[8];
            command.LbaMid = cdb[10];
            command.LbaHigh = cdb[12];
            command.Command = cdb[14];
        } else {
            command.Feature = cdb[3];
            command.Count = cdb[4];
            command.LbaLow = cdb[5];
            command.LbaMid = cdb[6];
            command.LbaHigh = cdb[7];
            command.Command = cdb[9];
        }
        return (command.DataIn || command.NoData) && AtaCommandAllowed(command);
    }
    default: return false;
    }
}

bool NvmeIdentifyAllowed(std::uint32_t cns) { return In(readableIdentify, cns); }

bool NvmeLogAllowed(std::uint32_t logId) { return In(readableNvmeLogs, logId); }

}  // namespace live
