// A drive's NVMe Identify Controller data, decoded by the device query library.
//
// Accessors follow the field order of the Identify Controller structure, and
// every bit field has an accessor of its own, so a reader widens and copies
// but never masks. The order of the virtual operations below is part of the
// contract: append nothing in the middle without raising kInterfaceVersion.
//
// Ownership: the object comes from SXNvmNewIdentifyControllerData() and the
// caller releases it with SXDelete(). So is the object VendorSpecificInfo()
// returns: it is created for each call and outlives its parent. Every other
// sub-object, and every array returned by reference, belongs to the parent
// and lives as long as it does; never release those. Any sub-object accessor
// may return null when the library has nothing to offer for that part.
#pragma once

#include <cstdint>

#include "stordex/Array.h"
#include "stordex/Export.h"
#include "stordex/InterfaceVersion.h"

namespace talvex::stordex::nvme {

class STORDEX_INTERFACE IIdentifyControllerData {
public:
    class STORDEX_INTERFACE IControllerMultiPathIoAndNamespaceSharingCap {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool HasMultiplePorts() const = 0;
        virtual bool HasMultipleControllers() const = 0;
        virtual bool SriovOrPci() const = 0;
        virtual bool SupportAsymmetricNamespaceAccessReporting() const = 0;

    protected:
        ~IControllerMultiPathIoAndNamespaceSharingCap() = default;
    };

    class STORDEX_INTERFACE IVersion {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual std::uint8_t Tertiary() const = 0;
        virtual std::uint8_t Minor() const = 0;
        virtual std::uint16_t Major() const = 0;

    protected:
        ~IVersion() = default;
    };

    class STORDEX_INTERFACE IOptionalAsynchronousEventsSupported {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool SupportNamespaceAttributeNoticeAndChangedNamespaceList() const = 0;
        virtual bool SupportFirmwareActivationNotice() const = 0;
        virtual bool SupportAsymmetricNamespaceAccessChangeNotice() const = 0;
        virtual bool SupportPredictableLatencyEventAggregateLogChangeNotice() const = 0;
        virtual bool SupportLbaStatusInfoNotice() const = 0;
        virtual bool SupportEnduranceGroupEventAggregateLogPageChangeNotice() const = 0;

    protected:
        ~IOptionalAsynchronousEventsSupported() = default;
    };

    class STORDEX_INTERFACE IControllerAttributes {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool Support128BitHostId() const = 0;
        virtual bool SupportNonOperationalPowerStatePermissiveMode() const = 0;
        virtual bool SupportNvmSets() const = 0;
        virtual bool SupportReadRecoveryLevels() const = 0;
        virtual bool SupportEnduranceGroups() const = 0;
        virtual bool SupportPredictableLatencyMode() const = 0;
        virtual bool SupportTrafficBasedKeepAlive() const = 0;
        virtual bool SupportNamespaceGranularity() const = 0;
        virtual bool SupportSqAssociations() const = 0;
        virtual bool SupportUuidList() const = 0;

    protected:
        ~IControllerAttributes() = default;
    };

    class STORDEX_INTERFACE IReadRecoveryLevelsSupported {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool Level0() const = 0;
        virtual bool Level1() const = 0;
        virtual bool Level2() const = 0;
        virtual bool Level3() const = 0;
        virtual bool Level4() const = 0;
        virtual bool Level5() const = 0;
        virtual bool Level6() const = 0;
        virtual bool Level7() const = 0;
        virtual bool Level8() const = 0;
        virtual bool Level9() const = 0;
        virtual bool Level10() const = 0;
        virtual bool Level11() const = 0;
        virtual bool Level12() const = 0;
        virtual bool Level13() const = 0;
        virtual bool Level14() const = 0;
        virtual bool Level15() const = 0;

    protected:
        ~IReadRecoveryLevelsSupported() = default;
    };

    class STORDEX_INTERFACE IOptionalAdminCommandSupport {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool SupportSecuritySendSecurityReceive() const = 0;
        virtual bool SupportFormatNvm() const = 0;
        virtual bool SupportFirmwareActivateFirmwareDownload() const = 0;
        virtual bool SupportNamespaceMgmtAndAttachment() const = 0;
        virtual bool SupportDeviceSelfTest() const = 0;
        virtual bool SupportDirectiveSendAndDirectiveReceive() const = 0;
        virtual bool SupportNvmeMiSendAndNvmeMiReceive() const = 0;
        virtual bool SupportVirtualizationMgmt() const = 0;
        virtual bool SupportDoorbellBufferConfig() const = 0;
        virtual bool SupportGetLbaStatus() const = 0;

    protected:
        ~IOptionalAdminCommandSupport() = default;
    };

    class STORDEX_INTERFACE IFirmwareUpdates {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool FirstFirmwareSlotReadOnly() const = 0;
        virtual std::uint8_t NumberOfFirmwareSlots() const = 0;
        virtual bool SupportFirmwareActivationWithoutReset() const = 0;

    protected:
        ~IFirmwareUpdates() = default;
    };

    class STORDEX_INTERFACE ILogPageAttributes {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool SupportHealthInfoLogPage() const = 0;
        virtual bool SupportCommandsSupportedAndEffectsLogPage() const = 0;
        virtual bool SupportExtendedDataForGetLogPage() const = 0;
        virtual bool SupportTelemetryHostAndControllerInitiatedLogPage() const = 0;
        virtual bool SupportPersistentEventLog() const = 0;

    protected:
        ~ILogPageAttributes() = default;
    };

    class STORDEX_INTERFACE IAdminVendorSpecificCommandCfg {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool AllCompliant() const = 0;

    protected:
        ~IAdminVendorSpecificCommandCfg() = default;
    };

    class STORDEX_INTERFACE IAutoPowerStateTransitionAttributes {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool SupportAutoPowerStateTransitions() const = 0;

    protected:
        ~IAutoPowerStateTransitionAttributes() = default;
    };

    class STORDEX_INTERFACE IReplayProtectedMemoryBlockSupport {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual std::uint8_t NumberOfRpmbUnits() const = 0;
        virtual std::uint8_t AuthenticationMethod() const = 0;
        virtual std::uint8_t TotalSize() const = 0;
        virtual std::uint8_t AccessSize() const = 0;

    protected:
        ~IReplayProtectedMemoryBlockSupport() = default;
    };

    class STORDEX_INTERFACE IDeviceSelfTestOptions {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool SupportOnlyOneDevice() const = 0;

    protected:
        ~IDeviceSelfTestOptions() = default;
    };

    class STORDEX_INTERFACE IHostControlledThermalMgmtAttributes {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool SupportHostControlledThermalMgmt() const = 0;

    protected:
        ~IHostControlledThermalMgmtAttributes() = default;
    };

    class STORDEX_INTERFACE ISanitizeCap {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool SupportCryptoErase() const = 0;
        virtual bool SupportBlockErase() const = 0;
        virtual bool SupportOverwrite() const = 0;
        virtual bool NoDeallocateInhibited() const = 0;
        virtual std::uint8_t NoDeallocateModifiesMediaAfterSanitize() const = 0;

    protected:
        ~ISanitizeCap() = default;
    };

    class STORDEX_INTERFACE IAsymmetricNamespaceAccessCap {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool ReportAnaOptimizedState() const = 0;
        virtual bool ReportAnaNonOptimizedState() const = 0;
        virtual bool ReportAnaInaccessibleState() const = 0;
        virtual bool ReportAnaPersistentLossState() const = 0;
        virtual bool ReportAnaChangeState() const = 0;
        virtual bool ImmutableAnagrpid() const = 0;
        virtual bool SupportNonZeroAnagrpid() const = 0;

    protected:
        ~IAsymmetricNamespaceAccessCap() = default;
    };

    class STORDEX_INTERFACE ISubmissionQueueEntrySize {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual std::uint8_t RequiredEntrySize() const = 0;
        virtual std::uint8_t MaxEntrySize() const = 0;

    protected:
        ~ISubmissionQueueEntrySize() = default;
    };

    class STORDEX_INTERFACE ICompletionQueueEntrySize {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual std::uint8_t RequiredEntrySize() const = 0;
        virtual std::uint8_t MaxEntrySize() const = 0;

    protected:
        ~ICompletionQueueEntrySize() = default;
    };

    class STORDEX_INTERFACE IOptionalNvmCommandSupport {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool SupportCompare() const = 0;
        virtual bool SupportWriteUncorrectable() const = 0;
        virtual bool SupportDataSetMgmt() const = 0;
        virtual bool SupportWriteZeroes() const = 0;
        virtual bool SupportSetFeaturesSave() const = 0;
        virtual bool SupportReservations() const = 0;
        virtual bool SupportTimestamp() const = 0;
        virtual bool SupportVerify() const = 0;

    protected:
        ~IOptionalNvmCommandSupport() = default;
    };

    class STORDEX_INTERFACE IFusedOperationSupport {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool SupportCompareWrite() const = 0;

    protected:
        ~IFusedOperationSupport() = default;
    };

    class STORDEX_INTERFACE IFormatNvmAttributes {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool FormatAllNamespaces() const = 0;
        virtual bool SecureEraseAllNamespaces() const = 0;
        virtual bool SupportCryptoErase() const = 0;

    protected:
        ~IFormatNvmAttributes() = default;
    };

    class STORDEX_INTERFACE IVolatileWriteCache {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool HasVolatileWriteCache() const = 0;
        virtual std::uint8_t FlushBehavior() const = 0;

    protected:
        ~IVolatileWriteCache() = default;
    };

    class STORDEX_INTERFACE INvmVendorSpecificCommandCfg {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool AllCompliant() const = 0;

    protected:
        ~INvmVendorSpecificCommandCfg() = default;
    };

    class STORDEX_INTERFACE INamespaceWriteProtectionCap {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual bool SupportWriteProtect() const = 0;
        virtual bool SupportWriteProtectUntilPowerCycle() const = 0;
        virtual bool SupportPermanentWriteProtect() const = 0;

    protected:
        ~INamespaceWriteProtectionCap() = default;
    };

    class STORDEX_INTERFACE ISglSupport {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual std::uint8_t SglSupportState() const = 0;
        virtual bool SupportKeyedSglDataBlock() const = 0;
        virtual bool SupportSglBitBucket() const = 0;
        virtual bool SupportByteAlignedContiguousPhysicalBuffer() const = 0;
        virtual bool SupportMetadata() const = 0;
        virtual bool SupportMetadataPointer() const = 0;
        virtual bool SupportAddress() const = 0;
        virtual bool SupportTransportSglDataBlock() const = 0;

    protected:
        ~ISglSupport() = default;
    };

    // One power state descriptor; the structure holds 32 of them.
    class STORDEX_INTERFACE IPowerStateDesc {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual std::uint16_t MaxPower() const = 0;
        virtual bool MaxPowerScale() const = 0;
        virtual bool NonOperationalState() const = 0;
        virtual std::uint32_t EntryLatency() const = 0;
        virtual std::uint32_t ExitLatency() const = 0;
        virtual std::uint8_t RelativeReadThroughput() const = 0;
        virtual std::uint8_t RelativeReadLatency() const = 0;
        virtual std::uint8_t RelativeWriteThroughput() const = 0;
        virtual std::uint8_t RelativeWriteLatency() const = 0;
        virtual std::uint16_t IdlePower() const = 0;
        virtual std::uint8_t IdlePowerScale() const = 0;
        virtual std::uint16_t ActivePower() const = 0;
        virtual std::uint8_t ActivePowerWorkload() const = 0;
        virtual std::uint8_t ActivePowerScale() const = 0;

    protected:
        ~IPowerStateDesc() = default;
    };

    // The vendor-specific area. It has no accessors of its own: the object
    // also implements ICustomizedControllerData when the area carries our
    // customized layout, and a dynamic_cast to that interface is how a caller
    // finds out. Caller-owned; release it with SXDelete().
    class STORDEX_INTERFACE IVendorSpecificInfo {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;

    protected:
        ~IVendorSpecificInfo() = default;
    };

    virtual std::uint32_t InterfaceVersion() const = 0;

    virtual std::uint16_t PciVendorId() const = 0;
    virtual std::uint16_t PciSubsystemVendorId() const = 0;
    virtual const Carray<20>& SerialNumber() const = 0;
    virtual const Carray<40>& ModelNumber() const = 0;
    virtual const Carray<8>& FirmwareRevision() const = 0;
    virtual std::uint8_t RecommendedArbitrationBurst() const = 0;
    virtual const Array<unsigned char, 3>& IeeeOuiIdentifier() const = 0;
    virtual const IControllerMultiPathIoAndNamespaceSharingCap* ControllerMultiPathIoAndNamespaceSharingCap() const = 0;
    virtual std::uint8_t MaxDataTransferSize() const = 0;
    virtual std::uint16_t ControllerId() const = 0;
    virtual const IVersion* Version() const = 0;
    virtual std::uint32_t Rtd3ResumeLatency() const = 0;
    virtual std::uint32_t Rtd3EntryLatency() const = 0;
    virtual const IOptionalAsynchronousEventsSupported* OptionalAsynchronousEventsSupported() const = 0;
    virtual const IControllerAttributes* ControllerAttributes() const = 0;
    virtual const IReadRecoveryLevelsSupported* ReadRecoveryLevelsSupported() const = 0;
    virtual std::uint8_t ControllerType() const = 0;
    virtual const Carray<16>& FruGloballyUniqueIdentifier() const = 0;
    virtual std::uint16_t CommandRetryDelayTime1() const = 0;
    virtual std::uint16_t CommandRetryDelayTime2() const = 0;
    virtual std::uint16_t CommandRetryDelayTime3() const = 0;
    virtual const IOptionalAdminCommandSupport* OptionalAdminCommandSupport() const = 0;
    virtual std::uint8_t AbortCommandLimit() const = 0;
    virtual std::uint8_t AsynchronousEventRequestLimit() const = 0;
    virtual const IFirmwareUpdates* FirmwareUpdates() const = 0;
    virtual const ILogPageAttributes* LogPageAttributes() const = 0;
    virtual std::uint8_t ErrorLogPageEntries() const = 0;
    virtual std::uint8_t NumberOfPowerStatesSupport() const = 0;
    virtual const IAdminVendorSpecificCommandCfg* AdminVendorSpecificCommandCfg() const = 0;
    virtual const IAutoPowerStateTransitionAttributes* AutoPowerStateTransitionAttributes() const = 0;
    // Composite temperature thresholds in Kelvin, as the drive reports them.
    virtual std::uint16_t WarningCompositeTemperatureThreshold() const = 0;
    virtual std::uint16_t CriticalCompositeTemperatureThreshold() const = 0;
    virtual std::uint16_t MaxTimeForFirmwareActivation() const = 0;
    virtual std::uint32_t HostMemoryBufferPreferredSize() const = 0;
    virtual std::uint32_t HostMemoryBufferMinSize() const = 0;
    // 128-bit little-endian byte counts.
    virtual const Carray<16>& TotalNvmCapacity() const = 0;
    virtual const Carray<16>& UnallocatedNvmCapacity() const = 0;
    virtual const IReplayProtectedMemoryBlockSupport* ReplayProtectedMemoryBlockSupport() const = 0;
    virtual std::uint16_t ExtendedDeviceSelfTestTime() const = 0;
    virtual const IDeviceSelfTestOptions* DeviceSelfTestOptions() const = 0;
    virtual std::uint8_t FirmwareUpdateGranularity() const = 0;
    virtual std::uint16_t KeepAliveSupport() const = 0;
    virtual const IHostControlledThermalMgmtAttributes* HostControlledThermalMgmtAttributes() const = 0;
    // Thermal management temperatures in Kelvin, as the drive reports them.
    virtual std::uint16_t MinThermalMgmtTemperature() const = 0;
    virtual std::uint16_t MaxThermalMgmtTemperature() const = 0;
    virtual const ISanitizeCap* SanitizeCap() const = 0;
    virtual std::uint32_t HostMemoryBufferMinDescriptorEntrySize() const = 0;
    virtual std::uint16_t HostMemoryMaxDescriptorsEntries() const = 0;
    virtual std::uint16_t NvmSetIdentifierMax() const = 0;
    virtual std::uint16_t EnduranceGroupIdentifierMax() const = 0;
    virtual std::uint8_t AnaTransitionTime() const = 0;
    virtual const IAsymmetricNamespaceAccessCap* AsymmetricNamespaceAccessCap() const = 0;
    virtual std::uint32_t AnaGroupIdentifierMax() const = 0;
    virtual std::uint32_t NumberOfAnaGroupIdentifiers() const = 0;
    virtual std::uint64_t PersistentEventLogSize() const = 0;
    virtual const ISubmissionQueueEntrySize* SubmissionQueueEntrySize() const = 0;
    virtual const ICompletionQueueEntrySize* CompletionQueueEntrySize() const = 0;
    virtual std::uint16_t MaxOutstandingCommands() const = 0;
    virtual std::uint32_t NumberOfNamespaces() const = 0;
    virtual const IOptionalNvmCommandSupport* OptionalNvmCommandSupport() const = 0;
    virtual const IFusedOperationSupport* FusedOperationSupport() const = 0;
    virtual const IFormatNvmAttributes* FormatNvmAttributes() const = 0;
    virtual const IVolatileWriteCache* VolatileWriteCache() const = 0;
    virtual std::uint16_t AtomicWriteUnitNormal() const = 0;
    virtual std::uint16_t AtomicWriteUnitPowerFail() const = 0;
    virtual const INvmVendorSpecificCommandCfg* NvmVendorSpecificCommandCfg() const = 0;
    virtual const INamespaceWriteProtectionCap* NamespaceWriteProtectionCap() const = 0;
    virtual std::uint16_t AtomicCompareAndWriteUnit() const = 0;
    virtual const ISglSupport* SglSupport() const = 0;
    virtual std::uint32_t MaxNumberOfAllowedNamespaces() const = 0;
    virtual const Carray<256>& NvmSubsystemNvmeQualifiedName() const = 0;
    // Descriptor `index`, 0 to 31 (the structure holds 32); null above 31.
    virtual const IPowerStateDesc* PowerStateDesc(std::uint32_t index) const = 0;
    // A new object on every call, owned by the caller (release with SXDelete);
    // null when the drive's vendor area could not be read.
    virtual IVendorSpecificInfo* VendorSpecificInfo() const = 0;

protected:
    // Neither this nor any nested interface is destroyed through itself:
    // SXDelete() knows what it made, and a virtual destructor would add slots
    // that a library built to the contract does not have.
    ~IIdentifyControllerData() = default;
};

}  // namespace talvex::stordex::nvme
