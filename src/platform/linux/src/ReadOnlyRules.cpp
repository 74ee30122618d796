#include "ReadOnlyRules.h"

#include <algorithm>
#include <array>

namespace live {

namespace {

constexpr std::uint8_t kIdentifyDevice = 0xEC;
constexpr std::uint8_t kSmart = 0xB0;
constexpr std::uint8_t kReadLogExt = 0x2F;
constexpr std::uint8_t kSmartLbaMid = 0x4F;
constexpr std::uint8_t kSmartLbaHigh = 0xC2;
constexpr std::uint8_t kSmartReadData = 0xD0;
constexpr std::uint8_t kSmartReadThresholds = 0xD1;
constexpr std::uint8_t kSmartReadLog = 0xD5;
constexpr std::uint8_t kSmartReturnStatus = 0xDA;

constexpr std::uint8_t kInquiry = 0x12;
constexpr std::uint8_t kAtaPassThrough16 = 0x85;
constexpr std::uint8_t kAtaPassThrough12 = 0xA1;
constexpr std::uint8_t kProtocolNonData = 3;
constexpr std::uint8_t kProtocolPioDataIn = 4;

// The device's own log of its piece-part identifier.
constexpr std::array<std::uint8_t, 1> kReadableLogs = {0x9A};
constexpr std::array<std::uint32_t, 2> kReadableNvmeLogs = {0x02, 0xCA};
constexpr std::array<std::uint32_t, 2> kReadableIdentify = {0x00, 0x01};

template <typename Table, typename Value>
bool In(const Table& table, Value value)
{
    return std::find(table.begin(), table.end(), value) != table.end();
}

}  // namespace

bool AtaCommandAllowed(const AtaCommand& c)
{
    switch (c.Command) {
    case kIdentifyDevice: return c.DataIn;
    case kReadLogExt: return c.DataIn && In(kReadableLogs, c.LbaLow);
    case kSmart:
        if (c.LbaMid != kSmartLbaMid || c.LbaHigh != kSmartLbaHigh) return false;
        switch (c.Feature) {
        case kSmartReadData:
        case kSmartReadThresholds: return c.DataIn;
        case kSmartReadLog: return c.DataIn && In(kReadableLogs, c.LbaLow);
        case kSmartReturnStatus: return c.NoData;
        default: return false;
        }
    default: return false;
    }
}

bool ScsiCommandAllowed(const std::uint8_t* cdb, std::size_t length, bool dataIn, bool noData)
{
    if (cdb == nullptr || length == 0) return false;
    switch (cdb[0]) {
    case kInquiry: return length >= 6 && (dataIn || noData);
    case kAtaPassThrough16:
    case kAtaPassThrough12: {
        const bool sixteen = cdb[0] == kAtaPassThrough16;
        if (length < (sixteen ? 16u : 12u)) return false;
        const std::uint8_t protocol = (cdb[1] >> 1) & 0x0F;
        const bool fromDevice = (cdb[2] & 0x08) != 0;
        AtaCommand command;
        command.DataIn = protocol == kProtocolPioDataIn && fromDevice && dataIn;
        command.NoData = protocol == kProtocolNonData && noData;
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

bool NvmeIdentifyAllowed(std::uint32_t cns) { return In(kReadableIdentify, cns); }

bool NvmeLogAllowed(std::uint32_t logId) { return In(kReadableNvmeLogs, logId); }

}  // namespace live
