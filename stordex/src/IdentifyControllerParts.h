// The nested objects of a decoded Identify Controller structure: each reads
// its bit field straight from the parent's page, at the byte offset and bit
// position that NVM Express revision 1.4 gives the field.
// Bits that revision leaves reserved have no accessor, so they read as
// nothing. Each object belongs to the IdentifyControllerData that holds it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ByteReader.h"
#include "stordex/IdentifyControllerData.h"

namespace talvex::stordex::nvme::identify {

using Ic = IIdentifyControllerData;

template <typename Interface>
class Part : public Interface {
public:
    explicit Part(ByteReader page) noexcept : m_page(page) {}
    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }

protected:
    bool Bit(std::size_t offset, unsigned bit) const { return m_page.Bit(offset, bit); }
    std::uint8_t Bits(std::size_t offset, unsigned low, unsigned width) const
    {
        return static_cast<std::uint8_t>(m_page.Bits(offset, low, width));
    }
    ByteReader m_page;
};

// CMIC, byte 76.
class MultiPathIo final : public Part<Ic::IControllerMultiPathIoAndNamespaceSharingCap> {
public:
    using Part::Part;
    bool HasMultiplePorts() const override { return Bit(76, 0); }
    bool HasMultipleControllers() const override { return Bit(76, 1); }
    bool SriovOrPci() const override { return Bit(76, 2); }
    bool SupportAsymmetricNamespaceAccessReporting() const override { return Bit(76, 3); }
};

// VER, bytes 80-83: tertiary, minor, then the 16-bit major number.
class Version final : public Part<Ic::IVersion> {
public:
    using Part::Part;
    std::uint8_t Tertiary() const override { return m_page.U8(80); }
    std::uint8_t Minor() const override { return m_page.U8(81); }
    std::uint16_t Major() const override { return m_page.U16(82); }
};

// OAES, bytes 92-95.
class AsyncEvents final : public Part<Ic::IOptionalAsynchronousEventsSupported> {
public:
    using Part::Part;
    bool SupportNamespaceAttributeNoticeAndChangedNamespaceList() const override { return Bit(92, 8); }
    bool SupportFirmwareActivationNotice() const override { return Bit(92, 9); }
    bool SupportAsymmetricNamespaceAccessChangeNotice() const override { return Bit(92, 11); }
    bool SupportPredictableLatencyEventAggregateLogChangeNotice() const override { return Bit(92, 12); }
    bool SupportLbaStatusInfoNotice() const override { return Bit(92, 13); }
    bool SupportEnduranceGroupEventAggregateLogPageChangeNotice() const override { return Bit(92, 14); }
};

// CTRATT, bytes 96-99.
class ControllerAttributes final : public Part<Ic::IControllerAttributes> {
public:
    using Part::Part;
    bool Support128BitHostId() const override { return Bit(96, 0); }
    bool SupportNonOperationalPowerStatePermissiveMode() const override { return Bit(96, 1); }
    bool SupportNvmSets() const override { return Bit(96, 2); }
    bool SupportReadRecoveryLevels() const override { return Bit(96, 3); }
    bool SupportEnduranceGroups() const override { return Bit(96, 4); }
    bool SupportPredictableLatencyMode() const override { return Bit(96, 5); }
    bool SupportTrafficBasedKeepAlive() const override { return Bit(96, 6); }
    bool SupportNamespaceGranularity() const override { return Bit(96, 7); }
    bool SupportSqAssociations() const override { return Bit(96, 8); }
    bool SupportUuidList() const override { return Bit(96, 9); }
};

// RRLS, bytes 100-101: bit n set means read recovery level n is supported.
class ReadRecoveryLevels final : public Part<Ic::IReadRecoveryLevelsSupported> {
public:
    using Part::Part;
    bool Level0() const override { return Bit(100, 0); }
    bool Level1() const override { return Bit(100, 1); }
    bool Level2() const override { return Bit(100, 2); }
    bool Level3() const override { return Bit(100, 3); }
    bool Level4() const override { return Bit(100, 4); }
    bool Level5() const override { return Bit(100, 5); }
    bool Level6() const override { return Bit(100, 6); }
    bool Level7() const override { return Bit(100, 7); }
    bool Level8() const override { return Bit(100, 8); }
    bool Level9() const override { return Bit(100, 9); }
    bool Level10() const override { return Bit(100, 10); }
    bool Level11() const override { return Bit(100, 11); }
    bool Level12() const override { return Bit(100, 12); }
    bool Level13() const override { return Bit(100, 13); }
    bool Level14() const override { return Bit(100, 14); }
    bool Level15() const override { return Bit(100, 15); }
};

// OACS, bytes 256-257.
class AdminCommands final : public Part<Ic::IOptionalAdminCommandSupport> {
public:
    using Part::Part;
    bool SupportSecuritySendSecurityReceive() const override { return Bit(256, 0); }
    bool SupportFormatNvm() const override { return Bit(256, 1); }
    bool SupportFirmwareActivateFirmwareDownload() const override { return Bit(256, 2); }
    bool SupportNamespaceMgmtAndAttachment() const override { return Bit(256, 3); }
    bool SupportDeviceSelfTest() const override { return Bit(256, 4); }
    bool SupportDirectiveSendAndDirectiveReceive() const override { return Bit(256, 5); }
    bool SupportNvmeMiSendAndNvmeMiReceive() const override { return Bit(256, 6); }
    bool SupportVirtualizationMgmt() const override { return Bit(256, 7); }
    bool SupportDoorbellBufferConfig() const override { return Bit(256, 8); }
    bool SupportGetLbaStatus() const override { return Bit(256, 9); }
};

// FRMW, byte 260: bits 3:1 count the firmware slots.
class FirmwareUpdates final : public Part<Ic::IFirmwareUpdates> {
public:
    using Part::Part;
    bool FirstFirmwareSlotReadOnly() const override { return Bit(260, 0); }
    std::uint8_t NumberOfFirmwareSlots() const override { return Bits(260, 1, 3); }
    bool SupportFirmwareActivationWithoutReset() const override { return Bit(260, 4); }
};

// LPA, byte 261.
class LogPageAttributes final : public Part<Ic::ILogPageAttributes> {
public:
    using Part::Part;
    bool SupportHealthInfoLogPage() const override { return Bit(261, 0); }
    bool SupportCommandsSupportedAndEffectsLogPage() const override { return Bit(261, 1); }
    bool SupportExtendedDataForGetLogPage() const override { return Bit(261, 2); }
    bool SupportTelemetryHostAndControllerInitiatedLogPage() const override { return Bit(261, 3); }
    bool SupportPersistentEventLog() const override { return Bit(261, 4); }
};

// AVSCC, byte 264.
class AdminVendorCommands final : public Part<Ic::IAdminVendorSpecificCommandCfg> {
public:
    using Part::Part;
    bool AllCompliant() const override { return Bit(264, 0); }
};

// APSTA, byte 265.
class AutoPowerStateTransitions final : public Part<Ic::IAutoPowerStateTransitionAttributes> {
public:
    using Part::Part;
    bool SupportAutoPowerStateTransitions() const override { return Bit(265, 0); }
};

// RPMBS, bytes 312-315.
class ReplayProtectedMemoryBlock final : public Part<Ic::IReplayProtectedMemoryBlockSupport> {
public:
    using Part::Part;
    std::uint8_t NumberOfRpmbUnits() const override { return Bits(312, 0, 3); }
    std::uint8_t AuthenticationMethod() const override { return Bits(312, 3, 3); }
    std::uint8_t TotalSize() const override { return m_page.U8(314); }
    std::uint8_t AccessSize() const override { return m_page.U8(315); }
};

// DSTO, byte 318.
class SelfTestOptions final : public Part<Ic::IDeviceSelfTestOptions> {
public:
    using Part::Part;
    bool SupportOnlyOneDevice() const override { return Bit(318, 0); }
};

// HCTMA, bytes 322-323.
class HostThermalManagement final : public Part<Ic::IHostControlledThermalMgmtAttributes> {
public:
    using Part::Part;
    bool SupportHostControlledThermalMgmt() const override { return Bit(322, 0); }
};

// SANICAP, bytes 328-331.
class Sanitize final : public Part<Ic::ISanitizeCap> {
public:
    using Part::Part;
    bool SupportCryptoErase() const override { return Bit(328, 0); }
    bool SupportBlockErase() const override { return Bit(328, 1); }
    bool SupportOverwrite() const override { return Bit(328, 2); }
    bool NoDeallocateInhibited() const override { return Bit(328, 29); }
    std::uint8_t NoDeallocateModifiesMediaAfterSanitize() const override { return Bits(328, 30, 2); }
};

// ANACAP, byte 343; bit 5 is reserved.
class AnaCapabilities final : public Part<Ic::IAsymmetricNamespaceAccessCap> {
public:
    using Part::Part;
    bool ReportAnaOptimizedState() const override { return Bit(343, 0); }
    bool ReportAnaNonOptimizedState() const override { return Bit(343, 1); }
    bool ReportAnaInaccessibleState() const override { return Bit(343, 2); }
    bool ReportAnaPersistentLossState() const override { return Bit(343, 3); }
    bool ReportAnaChangeState() const override { return Bit(343, 4); }
    bool ImmutableAnagrpid() const override { return Bit(343, 6); }
    bool SupportNonZeroAnagrpid() const override { return Bit(343, 7); }
};

// SQES (byte 512) and CQES (byte 513): required size in bits 3:0, maximum
// in bits 7:4, each a power of two.
template <typename Interface, std::size_t kOffset>
class QueueEntrySize final : public Part<Interface> {
public:
    using Part<Interface>::Part;
    std::uint8_t RequiredEntrySize() const override { return this->Bits(kOffset, 0, 4); }
    std::uint8_t MaxEntrySize() const override { return this->Bits(kOffset, 4, 4); }
};
using SubmissionQueueEntrySize = QueueEntrySize<Ic::ISubmissionQueueEntrySize, 512>;
using CompletionQueueEntrySize = QueueEntrySize<Ic::ICompletionQueueEntrySize, 513>;

// ONCS, bytes 520-521.
class NvmCommands final : public Part<Ic::IOptionalNvmCommandSupport> {
public:
    using Part::Part;
    bool SupportCompare() const override { return Bit(520, 0); }
    bool SupportWriteUncorrectable() const override { return Bit(520, 1); }
    bool SupportDataSetMgmt() const override { return Bit(520, 2); }
    bool SupportWriteZeroes() const override { return Bit(520, 3); }
    bool SupportSetFeaturesSave() const override { return Bit(520, 4); }
    bool SupportReservations() const override { return Bit(520, 5); }
    bool SupportTimestamp() const override { return Bit(520, 6); }
    bool SupportVerify() const override { return Bit(520, 7); }
};

// FUSES, bytes 522-523.
class FusedOperations final : public Part<Ic::IFusedOperationSupport> {
public:
    using Part::Part;
    bool SupportCompareWrite() const override { return Bit(522, 0); }
};

// FNA, byte 524.
class FormatAttributes final : public Part<Ic::IFormatNvmAttributes> {
public:
    using Part::Part;
    bool FormatAllNamespaces() const override { return Bit(524, 0); }
    bool SecureEraseAllNamespaces() const override { return Bit(524, 1); }
    bool SupportCryptoErase() const override { return Bit(524, 2); }
};

// VWC, byte 525: bits 2:1 say how Flush with the broadcast namespace behaves.
class WriteCache final : public Part<Ic::IVolatileWriteCache> {
public:
    using Part::Part;
    bool HasVolatileWriteCache() const override { return Bit(525, 0); }
    std::uint8_t FlushBehavior() const override { return Bits(525, 1, 2); }
};

// NVSCC, byte 530.
class NvmVendorCommands final : public Part<Ic::INvmVendorSpecificCommandCfg> {
public:
    using Part::Part;
    bool AllCompliant() const override { return Bit(530, 0); }
};

// NWPC, byte 531.
class WriteProtection final : public Part<Ic::INamespaceWriteProtectionCap> {
public:
    using Part::Part;
    bool SupportWriteProtect() const override { return Bit(531, 0); }
    bool SupportWriteProtectUntilPowerCycle() const override { return Bit(531, 1); }
    bool SupportPermanentWriteProtect() const override { return Bit(531, 2); }
};

// SGLS, bytes 536-539: bits 1:0 say whether and how SGLs are supported.
class Sgls final : public Part<Ic::ISglSupport> {
public:
    using Part::Part;
    std::uint8_t SglSupportState() const override { return Bits(536, 0, 2); }
    bool SupportKeyedSglDataBlock() const override { return Bit(536, 2); }
    bool SupportSglBitBucket() const override { return Bit(536, 16); }
    bool SupportByteAlignedContiguousPhysicalBuffer() const override { return Bit(536, 17); }
    bool SupportMetadata() const override { return Bit(536, 18); }
    bool SupportMetadataPointer() const override { return Bit(536, 19); }
    bool SupportAddress() const override { return Bit(536, 20); }
    bool SupportTransportSglDataBlock() const override { return Bit(536, 21); }
};

// One 32-byte power state descriptor; the reader covers just that descriptor.
class PowerState final : public Part<Ic::IPowerStateDesc> {
public:
    using Part::Part;
    std::uint16_t MaxPower() const override { return m_page.U16(0); }
    bool MaxPowerScale() const override { return Bit(3, 0); }
    bool NonOperationalState() const override { return Bit(3, 1); }
    std::uint32_t EntryLatency() const override { return m_page.U32(4); }
    std::uint32_t ExitLatency() const override { return m_page.U32(8); }
    std::uint8_t RelativeReadThroughput() const override { return Bits(12, 0, 5); }
    std::uint8_t RelativeReadLatency() const override { return Bits(13, 0, 5); }
    std::uint8_t RelativeWriteThroughput() const override { return Bits(14, 0, 5); }
    std::uint8_t RelativeWriteLatency() const override { return Bits(15, 0, 5); }
    std::uint16_t IdlePower() const override { return m_page.U16(16); }
    std::uint8_t IdlePowerScale() const override { return Bits(18, 6, 2); }
    std::uint16_t ActivePower() const override { return m_page.U16(20); }
    std::uint8_t ActivePowerWorkload() const override { return Bits(22, 0, 3); }
    std::uint8_t ActivePowerScale() const override { return Bits(22, 6, 2); }
};

}  // namespace talvex::stordex::nvme::identify
