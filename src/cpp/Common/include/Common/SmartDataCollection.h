// The SMART picture of one disk as the fetcher assembles it, and the table of
// the 33 attributes the collector knows. The table is the only vocabulary of
// attributes: an identifier it does not list is ignored wherever it appears.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Talvex::Quorlin::Cpp::Common {

// One attribute. A field is set only when the drive or WMI reported it.
struct SmartAttributeDetailMisc {
    std::optional<std::uint64_t> RawValue;
    std::optional<std::uint8_t> Normal;  // current normalised value
    std::optional<std::uint8_t> Worst;
    std::optional<std::uint8_t> Threshold;
};

struct SmartDataCollection {
    std::uint32_t DeviceNumber = 0;
    std::string Name;  // "SSD", or "SMART" followed by the device number
    std::optional<std::string> ModelName;
    std::optional<std::string> Eppid;

    SmartAttributeDetailMisc RawReadErrorRate;
    SmartAttributeDetailMisc SpinUpTime;
    SmartAttributeDetailMisc StartStopCount;
    SmartAttributeDetailMisc ReallocSectorCount;
    SmartAttributeDetailMisc SeekErrorRate;
    SmartAttributeDetailMisc PowerOnHour;
    SmartAttributeDetailMisc SpinRetryCount;
    SmartAttributeDetailMisc RecalibrationRetries;
    SmartAttributeDetailMisc PowerCycleCount;
    SmartAttributeDetailMisc ProgramFailCount;
    SmartAttributeDetailMisc EraseFailCount;
    SmartAttributeDetailMisc WearLevelingCount;
    SmartAttributeDetailMisc UserReservedBlockCount;
    SmartAttributeDetailMisc UserReservedBlockCountTotal;
    SmartAttributeDetailMisc UnusedReservedBlockCount;
    SmartAttributeDetailMisc ProgramFailCountTotal;
    SmartAttributeDetailMisc EraseFailCountTotal;
    SmartAttributeDetailMisc UncorrectableErrorCount;
    SmartAttributeDetailMisc ShockEvent;
    SmartAttributeDetailMisc EmergencyRetractCount;
    SmartAttributeDetailMisc LoadUnloadCycleCount;
    SmartAttributeDetailMisc Temperature;
    SmartAttributeDetailMisc EccRate;
    SmartAttributeDetailMisc ReallocationEventCount;
    SmartAttributeDetailMisc CurrentPendingSectorCount;
    SmartAttributeDetailMisc UncorrectableSectorCount;
    SmartAttributeDetailMisc CRCErrorCount;
    SmartAttributeDetailMisc WriteErrorRate;
    SmartAttributeDetailMisc ProgramEraseCycleCount;
    SmartAttributeDetailMisc HeadFlyingHours;
    SmartAttributeDetailMisc TotalBlocksRead;     // 242 stands before 241
    SmartAttributeDetailMisc TotalBlocksWritten;  // 241
    SmartAttributeDetailMisc FreeFallCount;
};

// One known attribute: its identifier, the name of its field (in the
// collection and in the messages made from it) and the field itself.
struct SmartAttributeEntry {
    std::uint8_t Id;
    std::string_view Name;
    SmartAttributeDetailMisc SmartDataCollection::*Field;
};

inline constexpr std::uint8_t kSmartTemperatureId = 194;

// In field order.
inline constexpr std::array<SmartAttributeEntry, 33> kSmartAttributeTable{{
    {1, "RawReadErrorRate", &SmartDataCollection::RawReadErrorRate},
    {3, "SpinUpTime", &SmartDataCollection::SpinUpTime},
    {4, "StartStopCount", &SmartDataCollection::StartStopCount},
    {5, "ReallocSectorCount", &SmartDataCollection::ReallocSectorCount},
    {7, "SeekErrorRate", &SmartDataCollection::SeekErrorRate},
    {9, "PowerOnHour", &SmartDataCollection::PowerOnHour},
    {10, "SpinRetryCount", &SmartDataCollection::SpinRetryCount},
    {11, "RecalibrationRetries", &SmartDataCollection::RecalibrationRetries},
    {12, "PowerCycleCount", &SmartDataCollection::PowerCycleCount},
    {175, "ProgramFailCount", &SmartDataCollection::ProgramFailCount},
    {176, "EraseFailCount", &SmartDataCollection::EraseFailCount},
    {177, "WearLevelingCount", &SmartDataCollection::WearLevelingCount},
    {178, "UserReservedBlockCount", &SmartDataCollection::UserReservedBlockCount},
    {179, "UserReservedBlockCountTotal", &SmartDataCollection::UserReservedBlockCountTotal},
    {180, "UnusedReservedBlockCount", &SmartDataCollection::UnusedReservedBlockCount},
    {181, "ProgramFailCountTotal", &SmartDataCollection::ProgramFailCountTotal},
    {182, "EraseFailCountTotal", &SmartDataCollection::EraseFailCountTotal},
    {184, "UncorrectableErrorCount", &SmartDataCollection::UncorrectableErrorCount},
    {191, "ShockEvent", &SmartDataCollection::ShockEvent},
    {192, "EmergencyRetractCount", &SmartDataCollection::EmergencyRetractCount},
    {193, "LoadUnloadCycleCount", &SmartDataCollection::LoadUnloadCycleCount},
    {kSmartTemperatureId, "Temperature", &SmartDataCollection::Temperature},
    {195, "EccRate", &SmartDataCollection::EccRate},
    {196, "ReallocationEventCount", &SmartDataCollection::ReallocationEventCount},
    {197, "CurrentPendingSectorCount", &SmartDataCollection::CurrentPendingSectorCount},
    {198, "UncorrectableSectorCount", &SmartDataCollection::UncorrectableSectorCount},
    {199, "CRCErrorCount", &SmartDataCollection::CRCErrorCount},
    {200, "WriteErrorRate", &SmartDataCollection::WriteErrorRate},
    {238, "ProgramEraseCycleCount", &SmartDataCollection::ProgramEraseCycleCount},
    {240, "HeadFlyingHours", &SmartDataCollection::HeadFlyingHours},
    {242, "TotalBlocksRead", &SmartDataCollection::TotalBlocksRead},
    {241, "TotalBlocksWritten", &SmartDataCollection::TotalBlocksWritten},
    {254, "FreeFallCount", &SmartDataCollection::FreeFallCount},
}};

// The entry of an identifier, or null when the collector does not know it.
constexpr const SmartAttributeEntry* FindSmartAttribute(std::uint8_t id) noexcept
{
    for (const auto& entry : kSmartAttributeTable)
        if (entry.Id == id) return &entry;
    return nullptr;
}

}  // namespace Talvex::Quorlin::Cpp::Common
