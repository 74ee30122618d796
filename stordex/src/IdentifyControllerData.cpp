#include "IdentifyControllerData.h"

#include <algorithm>
#include <array>

#include "ByteReader.h"
#include "IdentifyControllerParts.h"
#include "VendorArea.h"

namespace talvex::stordex::nvme {

namespace {

using namespace identify;

constexpr std::size_t kPowerStateOffset = 2048;
constexpr std::size_t kPowerStateSize = 32;
constexpr std::uint32_t kPowerStates = 32;

// Identify Controller as NVM Express revision 1.4 lays it out; offsets are
// the structure's byte numbers.
class IdentifyControllerData final : public IIdentifyControllerData {
public:
    IdentifyControllerData(std::span<const std::uint8_t> page, Custody& custody) : m_custody(custody)
    {
        std::copy_n(page.begin(), kIdentifyControllerSize, m_bytes.begin());
        m_page.CopyTo(4, m_serialNumber);
        m_page.CopyTo(24, m_modelNumber);
        m_page.CopyTo(64, m_firmwareRevision);
        m_page.CopyTo(73, m_ieeeOui);
        m_page.CopyTo(112, m_fruGuid);
        m_page.CopyTo(280, m_totalNvmCapacity);
        m_page.CopyTo(296, m_unallocatedNvmCapacity);
        m_page.CopyTo(768, m_subsystemNqn);
    }

    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }

    std::uint16_t PciVendorId() const override { return m_page.U16(0); }
    std::uint16_t PciSubsystemVendorId() const override { return m_page.U16(2); }
    const Carray<20>& SerialNumber() const override { return m_serialNumber; }
    const Carray<40>& ModelNumber() const override { return m_modelNumber; }
    const Carray<8>& FirmwareRevision() const override { return m_firmwareRevision; }
    std::uint8_t RecommendedArbitrationBurst() const override { return m_page.U8(72); }
    const Array<unsigned char, 3>& IeeeOuiIdentifier() const override { return m_ieeeOui; }
    const IControllerMultiPathIoAndNamespaceSharingCap* ControllerMultiPathIoAndNamespaceSharingCap() const override
    {
        return &m_multiPathIo;
    }
    std::uint8_t MaxDataTransferSize() const override { return m_page.U8(77); }
    std::uint16_t ControllerId() const override { return m_page.U16(78); }
    const IVersion* Version() const override { return &m_version; }
    std::uint32_t Rtd3ResumeLatency() const override { return m_page.U32(84); }
    std::uint32_t Rtd3EntryLatency() const override { return m_page.U32(88); }
    const IOptionalAsynchronousEventsSupported* OptionalAsynchronousEventsSupported() const override
    {
        return &m_asyncEvents;
    }
    const IControllerAttributes* ControllerAttributes() const override { return &m_controllerAttributes; }
    const IReadRecoveryLevelsSupported* ReadRecoveryLevelsSupported() const override { return &m_readRecovery; }
    std::uint8_t ControllerType() const override { return m_page.U8(111); }
    const Carray<16>& FruGloballyUniqueIdentifier() const override { return m_fruGuid; }
    std::uint16_t CommandRetryDelayTime1() const override { return m_page.U16(128); }
    std::uint16_t CommandRetryDelayTime2() const override { return m_page.U16(130); }
    std::uint16_t CommandRetryDelayTime3() const override { return m_page.U16(132); }
    const IOptionalAdminCommandSupport* OptionalAdminCommandSupport() const override { return &m_adminCommands; }
    std::uint8_t AbortCommandLimit() const override { return m_page.U8(258); }
    std::uint8_t AsynchronousEventRequestLimit() const override { return m_page.U8(259); }
    const IFirmwareUpdates* FirmwareUpdates() const override { return &m_firmwareUpdates; }
    const ILogPageAttributes* LogPageAttributes() const override { return &m_logPageAttributes; }
    std::uint8_t ErrorLogPageEntries() const override { return m_page.U8(262); }
    std::uint8_t NumberOfPowerStatesSupport() const override { return m_page.U8(263); }
    const IAdminVendorSpecificCommandCfg* AdminVendorSpecificCommandCfg() const override
    {
        return &m_adminVendorCommands;
    }
    const IAutoPowerStateTransitionAttributes* AutoPowerStateTransitionAttributes() const override
    {
        return &m_autoPowerStates;
    }
    std::uint16_t WarningCompositeTemperatureThreshold() const override { return m_page.U16(266); }
    std::uint16_t CriticalCompositeTemperatureThreshold() const override { return m_page.U16(268); }
    std::uint16_t MaxTimeForFirmwareActivation() const override { return m_page.U16(270); }
    std::uint32_t HostMemoryBufferPreferredSize() const override { return m_page.U32(272); }
    std::uint32_t HostMemoryBufferMinSize() const override { return m_page.U32(276); }
    const Carray<16>& TotalNvmCapacity() const override { return m_totalNvmCapacity; }
    const Carray<16>& UnallocatedNvmCapacity() const override { return m_unallocatedNvmCapacity; }
    const IReplayProtectedMemoryBlockSupport* ReplayProtectedMemoryBlockSupport() const override { return &m_rpmb; }
    std::uint16_t ExtendedDeviceSelfTestTime() const override { return m_page.U16(316); }
    const IDeviceSelfTestOptions* DeviceSelfTestOptions() const override { return &m_selfTestOptions; }
    std::uint8_t FirmwareUpdateGranularity() const override { return m_page.U8(319); }
    std::uint16_t KeepAliveSupport() const override { return m_page.U16(320); }
    const IHostControlledThermalMgmtAttributes* HostControlledThermalMgmtAttributes() const override
    {
        return &m_hostThermal;
    }
    std::uint16_t MinThermalMgmtTemperature() const override { return m_page.U16(324); }
    std::uint16_t MaxThermalMgmtTemperature() const override { return m_page.U16(326); }
    const ISanitizeCap* SanitizeCap() const override { return &m_sanitize; }
    std::uint32_t HostMemoryBufferMinDescriptorEntrySize() const override { return m_page.U32(332); }
    std::uint16_t HostMemoryMaxDescriptorsEntries() const override { return m_page.U16(336); }
    std::uint16_t NvmSetIdentifierMax() const override { return m_page.U16(338); }
    std::uint16_t EnduranceGroupIdentifierMax() const override { return m_page.U16(340); }
    std::uint8_t AnaTransitionTime() const override { return m_page.U8(342); }
    const IAsymmetricNamespaceAccessCap* AsymmetricNamespaceAccessCap() const override { return &m_anaCapabilities; }
    std::uint32_t AnaGroupIdentifierMax() const override { return m_page.U32(344); }
    std::uint32_t NumberOfAnaGroupIdentifiers() const override { return m_page.U32(348); }
    // A 32-bit field in units of 64 KiB; widened, not scaled.
    std::uint64_t PersistentEventLogSize() const override { return m_page.U32(352); }
    const ISubmissionQueueEntrySize* SubmissionQueueEntrySize() const override { return &m_sqes; }
    const ICompletionQueueEntrySize* CompletionQueueEntrySize() const override { return &m_cqes; }
    std::uint16_t MaxOutstandingCommands() const override { return m_page.U16(514); }
    std::uint32_t NumberOfNamespaces() const override { return m_page.U32(516); }
    const IOptionalNvmCommandSupport* OptionalNvmCommandSupport() const override { return &m_nvmCommands; }
    const IFusedOperationSupport* FusedOperationSupport() const override { return &m_fusedOperations; }
    const IFormatNvmAttributes* FormatNvmAttributes() const override { return &m_formatAttributes; }
    const IVolatileWriteCache* VolatileWriteCache() const override { return &m_writeCache; }
    std::uint16_t AtomicWriteUnitNormal() const override { return m_page.U16(526); }
    std::uint16_t AtomicWriteUnitPowerFail() const override { return m_page.U16(528); }
    const INvmVendorSpecificCommandCfg* NvmVendorSpecificCommandCfg() const override { return &m_nvmVendorCommands; }
    const INamespaceWriteProtectionCap* NamespaceWriteProtectionCap() const override { return &m_writeProtection; }
    std::uint16_t AtomicCompareAndWriteUnit() const override { return m_page.U16(532); }
    const ISglSupport* SglSupport() const override { return &m_sgls; }
    std::uint32_t MaxNumberOfAllowedNamespaces() const override { return m_page.U32(540); }
    const Carray<256>& NvmSubsystemNvmeQualifiedName() const override { return m_subsystemNqn; }

    const IPowerStateDesc* PowerStateDesc(std::uint32_t index) const override
    {
        return index < kPowerStates ? &m_powerStates[index] : nullptr;
    }

    IVendorSpecificInfo* VendorSpecificInfo() const override
    {
        const std::span<const std::uint8_t> bytes(m_bytes);
        return m_custody.HandOut(DecodeVendorArea(bytes.subspan(kVendorAreaOffset, kVendorAreaSize)));
    }

private:
    template <std::size_t... I>
    static std::array<PowerState, sizeof...(I)> MakePowerStates(ByteReader page, std::index_sequence<I...>)
    {
        return {PowerState(page.Sub(kPowerStateOffset + I * kPowerStateSize, kPowerStateSize))...};
    }

    Custody& m_custody;
    std::array<std::uint8_t, kIdentifyControllerSize> m_bytes{};
    ByteReader m_page{m_bytes};

    Carray<20> m_serialNumber{};
    Carray<40> m_modelNumber{};
    Carray<8> m_firmwareRevision{};
    Array<unsigned char, 3> m_ieeeOui{};
    Carray<16> m_fruGuid{};
    Carray<16> m_totalNvmCapacity{};
    Carray<16> m_unallocatedNvmCapacity{};
    Carray<256> m_subsystemNqn{};

    MultiPathIo m_multiPathIo{m_page};
    identify::Version m_version{m_page};
    AsyncEvents m_asyncEvents{m_page};
    identify::ControllerAttributes m_controllerAttributes{m_page};
    ReadRecoveryLevels m_readRecovery{m_page};
    AdminCommands m_adminCommands{m_page};
    identify::FirmwareUpdates m_firmwareUpdates{m_page};
    identify::LogPageAttributes m_logPageAttributes{m_page};
    AdminVendorCommands m_adminVendorCommands{m_page};
    AutoPowerStateTransitions m_autoPowerStates{m_page};
    ReplayProtectedMemoryBlock m_rpmb{m_page};
    SelfTestOptions m_selfTestOptions{m_page};
    HostThermalManagement m_hostThermal{m_page};
    Sanitize m_sanitize{m_page};
    AnaCapabilities m_anaCapabilities{m_page};
    identify::SubmissionQueueEntrySize m_sqes{m_page};
    identify::CompletionQueueEntrySize m_cqes{m_page};
    NvmCommands m_nvmCommands{m_page};
    FusedOperations m_fusedOperations{m_page};
    FormatAttributes m_formatAttributes{m_page};
    WriteCache m_writeCache{m_page};
    NvmVendorCommands m_nvmVendorCommands{m_page};
    WriteProtection m_writeProtection{m_page};
    Sgls m_sgls{m_page};
    std::array<PowerState, kPowerStates> m_powerStates{
        MakePowerStates(m_page, std::make_index_sequence<kPowerStates>{})};
};

}  // namespace

Owned<IIdentifyControllerData> DecodeIdentifyController(std::span<const std::uint8_t> page,
                                                        Custody& custody)
{
    if (page.size() < kIdentifyControllerSize) return nullptr;
    return MakeOwned<IIdentifyControllerData, IdentifyControllerData>(page, custody);
}

}  // namespace talvex::stordex::nvme
