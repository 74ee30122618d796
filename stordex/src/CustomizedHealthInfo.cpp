#include "CustomizedHealthInfo.h"

#include <array>

#include "ByteReader.h"

namespace talvex::stordex::nvme {

namespace {

constexpr std::array<char, 4> kSignature{'T', 'V', 'X', 'H'};
constexpr std::size_t kVersion = 4;

class CustomizedHealthInfo final : public ICustomizedHealthInfo {
public:
    explicit CustomizedHealthInfo(const ByteReader& page)
        : m_wearLeveling(page.U8(8)), m_usedReservedWorst(page.U8(9)), m_usedReservedTotal(page.U8(10)),
          m_reservedTotal(page.U32(12)), m_minimumTemperature(page.U16(16)), m_maximumTemperature(page.U16(18)),
          m_hostActiveIdle(page.U32(48)), m_nonOperationalPowerState(page.U32(52)), m_abnormalVcc(page.U8(56))
    {
        page.CopyTo(32, m_totalDataWritten);
    }

    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }
    std::uint8_t WearLevelingCount() const override { return m_wearLeveling; }
    std::uint8_t UsedReservedBlockCountWorstCaseComponent() const override { return m_usedReservedWorst; }
    std::uint8_t UsedReservedBlockCountSsdTotal() const override { return m_usedReservedTotal; }
    std::uint32_t ReservedBlockCountSsdTotal() const override { return m_reservedTotal; }
    std::uint16_t MinimumTemperature() const override { return m_minimumTemperature; }
    std::uint16_t MaximumTemperature() const override { return m_maximumTemperature; }
    const Carray<16>& TotalDataWrittenByController() const override { return m_totalDataWritten; }
    std::uint32_t AccumulatedHostActiveIdleCounter() const override { return m_hostActiveIdle; }
    std::uint32_t AccumulatedNonOperationalPowerStateCounter() const override { return m_nonOperationalPowerState; }
    std::uint8_t AbnormalInputVccVoltageCounter() const override { return m_abnormalVcc; }

private:
    std::uint8_t m_wearLeveling;
    std::uint8_t m_usedReservedWorst;
    std::uint8_t m_usedReservedTotal;
    std::uint32_t m_reservedTotal;
    std::uint16_t m_minimumTemperature;
    std::uint16_t m_maximumTemperature;
    Carray<16> m_totalDataWritten{};
    std::uint32_t m_hostActiveIdle;
    std::uint32_t m_nonOperationalPowerState;
    std::uint8_t m_abnormalVcc;
};

}  // namespace

Owned<ICustomizedHealthInfo> DecodeCustomizedHealthLog(std::span<const std::uint8_t> page)
{
    if (page.size() < kCustomizedHealthLogSize) return nullptr;
    const ByteReader reader(page.first(kCustomizedHealthLogSize));
    if (!reader.Holds(0, kSignature) || reader.U16(kVersion) < 1) return nullptr;
    return MakeOwned<ICustomizedHealthInfo, CustomizedHealthInfo>(reader);
}

}  // namespace talvex::stordex::nvme
