// Every interface of the library, answered from a script. Each accessor asks
// the object's Answers under its own path, so a test can check which accessor
// fed which message field without repeating the conversion.
#include "FakeObjects.h"

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace stordex_fake {

namespace {

using namespace talvex::stordex::nvme;
using Identify = IIdentifyControllerData;

class Source {
protected:
    Source(std::shared_ptr<Answers> answers, std::string prefix)
        : m_answers(std::move(answers)), m_prefix(std::move(prefix))
    {
    }
    std::string At(const char* name) const { return m_prefix + name; }

    std::shared_ptr<Answers> m_answers;
    std::string m_prefix;
};

template <class Interface>
class Part : public Interface, protected Source {
public:
    Part(std::shared_ptr<Answers> answers, std::string prefix) : Source(std::move(answers), std::move(prefix)) {}
    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }
};

#define FAKE_NUMBER(Type, Name) \
    Type Name() const override { return m_answers->Number<Type>(At(#Name)); }
#define FAKE_FLAG(Name) \
    bool Name() const override { return m_answers->Flag(At(#Name)); }
#define FAKE_TEXT(N, Name) \
    const talvex::Carray<N>& Name() const override { return m_answers->Array<char, N>(At(#Name)); }
// A sub-object that belongs to its parent: a member, handed out by address.
#define FAKE_PART(Name)                                                                                   \
    const Identify::I##Name* Name() const override                                                        \
    {                                                                                                     \
        return m_answers->Present(At(#Name)) ? &m_##Name : nullptr;                                       \
    }                                                                                                     \
    Fake##Name m_##Name{m_answers, m_prefix + #Name "."};

struct FakeControllerMultiPathIoAndNamespaceSharingCap final
    : Part<Identify::IControllerMultiPathIoAndNamespaceSharingCap> {
    using Part::Part;
    FAKE_FLAG(HasMultiplePorts) FAKE_FLAG(HasMultipleControllers) FAKE_FLAG(SriovOrPci)
    FAKE_FLAG(SupportAsymmetricNamespaceAccessReporting)
};

struct FakeVersion final : Part<Identify::IVersion> {
    using Part::Part;
    FAKE_NUMBER(std::uint8_t, Tertiary) FAKE_NUMBER(std::uint8_t, Minor) FAKE_NUMBER(std::uint16_t, Major)
};

struct FakeOptionalAsynchronousEventsSupported final : Part<Identify::IOptionalAsynchronousEventsSupported> {
    using Part::Part;
    FAKE_FLAG(SupportNamespaceAttributeNoticeAndChangedNamespaceList) FAKE_FLAG(SupportFirmwareActivationNotice)
    FAKE_FLAG(SupportAsymmetricNamespaceAccessChangeNotice)
    FAKE_FLAG(SupportPredictableLatencyEventAggregateLogChangeNotice) FAKE_FLAG(SupportLbaStatusInfoNotice)
    FAKE_FLAG(SupportEnduranceGroupEventAggregateLogPageChangeNotice)
};

struct FakeControllerAttributes final : Part<Identify::IControllerAttributes> {
    using Part::Part;
    FAKE_FLAG(Support128BitHostId) FAKE_FLAG(SupportNonOperationalPowerStatePermissiveMode) FAKE_FLAG(SupportNvmSets)
    FAKE_FLAG(SupportReadRecoveryLevels) FAKE_FLAG(SupportEnduranceGroups) FAKE_FLAG(SupportPredictableLatencyMode)
    FAKE_FLAG(SupportTrafficBasedKeepAlive) FAKE_FLAG(SupportNamespaceGranularity) FAKE_FLAG(SupportSqAssociations)
    FAKE_FLAG(SupportUuidList)
};

struct FakeReadRecoveryLevelsSupported final : Part<Identify::IReadRecoveryLevelsSupported> {
    using Part::Part;
    FAKE_FLAG(Level0) FAKE_FLAG(Level1) FAKE_FLAG(Level2) FAKE_FLAG(Level3) FAKE_FLAG(Level4) FAKE_FLAG(Level5)
    FAKE_FLAG(Level6) FAKE_FLAG(Level7) FAKE_FLAG(Level8) FAKE_FLAG(Level9) FAKE_FLAG(Level10) FAKE_FLAG(Level11)
    FAKE_FLAG(Level12) FAKE_FLAG(Level13) FAKE_FLAG(Level14) FAKE_FLAG(Level15)
};

struct FakeOptionalAdminCommandSupport final : Part<Identify::IOptionalAdminCommandSupport> {
    using Part::Part;
    FAKE_FLAG(SupportSecuritySendSecurityReceive) FAKE_FLAG(SupportFormatNvm)
    FAKE_FLAG(SupportFirmwareActivateFirmwareDownload) FAKE_FLAG(SupportNamespaceMgmtAndAttachment)
    FAKE_FLAG(SupportDeviceSelfTest) FAKE_FLAG(SupportDirectiveSendAndDirectiveReceive)
    FAKE_FLAG(SupportNvmeMiSendAndNvmeMiReceive) FAKE_FLAG(SupportVirtualizationMgmt)
    FAKE_FLAG(SupportDoorbellBufferConfig) FAKE_FLAG(SupportGetLbaStatus)
};

struct FakeFirmwareUpdates final : Part<Identify::IFirmwareUpdates> {
    using Part::Part;
    FAKE_FLAG(FirstFirmwareSlotReadOnly) FAKE_NUMBER(std::uint8_t, NumberOfFirmwareSlots)
    FAKE_FLAG(SupportFirmwareActivationWithoutReset)
};

struct FakeLogPageAttributes final : Part<Identify::ILogPageAttributes> {
    using Part::Part;
    FAKE_FLAG(SupportHealthInfoLogPage) FAKE_FLAG(SupportCommandsSupportedAndEffectsLogPage)
    FAKE_FLAG(SupportExtendedDataForGetLogPage) FAKE_FLAG(SupportTelemetryHostAndControllerInitiatedLogPage)
    FAKE_FLAG(SupportPersistentEventLog)
};

struct FakeAdminVendorSpecificCommandCfg final : Part<Identify::IAdminVendorSpecificCommandCfg> {
    using Part::Part;
    FAKE_FLAG(AllCompliant)
};

struct FakeAutoPowerStateTransitionAttributes final : Part<Identify::IAutoPowerStateTransitionAttributes> {
    using Part::Part;
    FAKE_FLAG(SupportAutoPowerStateTransitions)
};

struct FakeReplayProtectedMemoryBlockSupport final : Part<Identify::IReplayProtectedMemoryBlockSupport> {
    using Part::Part;
    FAKE_NUMBER(std::uint8_t, NumberOfRpmbUnits) FAKE_NUMBER(std::uint8_t, AuthenticationMethod)
    FAKE_NUMBER(std::uint8_t, TotalSize) FAKE_NUMBER(std::uint8_t, AccessSize)
};

struct FakeDeviceSelfTestOptions final : Part<Identify::IDeviceSelfTestOptions> {
    using Part::Part;
    FAKE_FLAG(SupportOnlyOneDevice)
};

struct FakeHostControlledThermalMgmtAttributes final : Part<Identify::IHostControlledThermalMgmtAttributes> {
    using Part::Part;
    FAKE_FLAG(SupportHostControlledThermalMgmt)
};

struct FakeSanitizeCap final : Part<Identify::ISanitizeCap> {
    using Part::Part;
    FAKE_FLAG(SupportCryptoErase) FAKE_FLAG(SupportBlockErase) FAKE_FLAG(SupportOverwrite)
    FAKE_FLAG(NoDeallocateInhibited) FAKE_NUMBER(std::uint8_t, NoDeallocateModifiesMediaAfterSanitize)
};

struct FakeAsymmetricNamespaceAccessCap final : Part<Identify::IAsymmetricNamespaceAccessCap> {
    using Part::Part;
    FAKE_FLAG(ReportAnaOptimizedState) FAKE_FLAG(ReportAnaNonOptimizedState) FAKE_FLAG(ReportAnaInaccessibleState)
    FAKE_FLAG(ReportAnaPersistentLossState) FAKE_FLAG(ReportAnaChangeState) FAKE_FLAG(ImmutableAnagrpid)
    FAKE_FLAG(SupportNonZeroAnagrpid)
};

struct FakeSubmissionQueueEntrySize final : Part<Identify::ISubmissionQueueEntrySize> {
    using Part::Part;
    FAKE_NUMBER(std::uint8_t, RequiredEntrySize) FAKE_NUMBER(std::uint8_t, MaxEntrySize)
};

struct FakeCompletionQueueEntrySize final : Part<Identify::ICompletionQueueEntrySize> {
    using Part::Part;
    FAKE_NUMBER(std::uint8_t, RequiredEntrySize) FAKE_NUMBER(std::uint8_t, MaxEntrySize)
};

struct FakeOptionalNvmCommandSupport final : Part<Identify::IOptionalNvmCommandSupport> {
    using Part::Part;
    FAKE_FLAG(SupportCompare) FAKE_FLAG(SupportWriteUncorrectable) FAKE_FLAG(SupportDataSetMgmt)
    FAKE_FLAG(SupportWriteZeroes) FAKE_FLAG(SupportSetFeaturesSave) FAKE_FLAG(SupportReservations)
    FAKE_FLAG(SupportTimestamp) FAKE_FLAG(SupportVerify)
};

struct FakeFusedOperationSupport final : Part<Identify::IFusedOperationSupport> {
    using Part::Part;
    FAKE_FLAG(SupportCompareWrite)
};

struct FakeFormatNvmAttributes final : Part<Identify::IFormatNvmAttributes> {
    using Part::Part;
    FAKE_FLAG(FormatAllNamespaces) FAKE_FLAG(SecureEraseAllNamespaces) FAKE_FLAG(SupportCryptoErase)
};

struct FakeVolatileWriteCache final : Part<Identify::IVolatileWriteCache> {
    using Part::Part;
    FAKE_FLAG(HasVolatileWriteCache) FAKE_NUMBER(std::uint8_t, FlushBehavior)
};

struct FakeNvmVendorSpecificCommandCfg final : Part<Identify::INvmVendorSpecificCommandCfg> {
    using Part::Part;
    FAKE_FLAG(AllCompliant)
};

struct FakeNamespaceWriteProtectionCap final : Part<Identify::INamespaceWriteProtectionCap> {
    using Part::Part;
    FAKE_FLAG(SupportWriteProtect) FAKE_FLAG(SupportWriteProtectUntilPowerCycle)
    FAKE_FLAG(SupportPermanentWriteProtect)
};

struct FakeSglSupport final : Part<Identify::ISglSupport> {
    using Part::Part;
    FAKE_NUMBER(std::uint8_t, SglSupportState) FAKE_FLAG(SupportKeyedSglDataBlock) FAKE_FLAG(SupportSglBitBucket)
    FAKE_FLAG(SupportByteAlignedContiguousPhysicalBuffer) FAKE_FLAG(SupportMetadata) FAKE_FLAG(SupportMetadataPointer)
    FAKE_FLAG(SupportAddress) FAKE_FLAG(SupportTransportSglDataBlock)
};

struct FakePowerStateDesc final : Part<Identify::IPowerStateDesc> {
    using Part::Part;
    FAKE_NUMBER(std::uint16_t, MaxPower) FAKE_FLAG(MaxPowerScale) FAKE_FLAG(NonOperationalState)
    FAKE_NUMBER(std::uint32_t, EntryLatency) FAKE_NUMBER(std::uint32_t, ExitLatency)
    FAKE_NUMBER(std::uint8_t, RelativeReadThroughput) FAKE_NUMBER(std::uint8_t, RelativeReadLatency)
    FAKE_NUMBER(std::uint8_t, RelativeWriteThroughput) FAKE_NUMBER(std::uint8_t, RelativeWriteLatency)
    FAKE_NUMBER(std::uint16_t, IdlePower) FAKE_NUMBER(std::uint8_t, IdlePowerScale)
    FAKE_NUMBER(std::uint16_t, ActivePower) FAKE_NUMBER(std::uint8_t, ActivePowerWorkload)
    FAKE_NUMBER(std::uint8_t, ActivePowerScale)
};

struct FakeDeviceCategory final : Part<ICustomizedControllerData::IDeviceCategory> {
    using Part::Part;
    FAKE_NUMBER(std::uint16_t, Class0) FAKE_NUMBER(std::uint16_t, Class1) FAKE_NUMBER(std::uint16_t, Class2)
    FAKE_NUMBER(std::uint16_t, Class11)
};

struct FakePlainVendor final : Part<Identify::IVendorSpecificInfo> {
    using Part::Part;
};

// The customized layout: both interfaces on one object, as the library does it.
class FakeCustomizedVendor final : public Identify::IVendorSpecificInfo, public ICustomizedControllerData, Source {
public:
    explicit FakeCustomizedVendor(std::shared_ptr<Answers> answers)
        : Source(std::move(answers), "CustomizedControllerData.")
    {
    }
    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }
    FAKE_TEXT(32, Eppid)
    FAKE_NUMBER(NominalFormFactor, FormFactor)
    const IDeviceCategory* DeviceCategory() const override
    {
        return m_answers->Present(At("DeviceCategory")) ? &m_category : nullptr;
    }
    FAKE_FLAG(SupportSystemCrashProtection)
    FAKE_FLAG(SupportHostMetadataLog)
    FAKE_TEXT(16, Guid)
    FAKE_TEXT(8, ComponentId)

private:
    // Reported beside the customized data, hence a path of its own.
    FakeDeviceCategory m_category{m_answers, "DeviceCategory."};
};

template <class Interface, class Object>
Interface* HandOut(std::shared_ptr<Object> object, const char* kind)
{
    Interface* handedOut = object.get();
    Library::Instance().Adopt(static_cast<void*>(handedOut), kind, std::move(object));
    return handedOut;
}

class FakeIdentify final : public Part<Identify> {
public:
    explicit FakeIdentify(const DriveScript& script)
        : Part(script.identify, ""), m_vendor(script.vendor), m_descriptors(script.powerStateDescriptors)
    {
    }

    FAKE_NUMBER(std::uint16_t, PciVendorId)
    FAKE_NUMBER(std::uint16_t, PciSubsystemVendorId)
    FAKE_TEXT(20, SerialNumber)
    FAKE_TEXT(40, ModelNumber)
    FAKE_TEXT(8, FirmwareRevision)
    FAKE_NUMBER(std::uint8_t, RecommendedArbitrationBurst)
    const talvex::Array<unsigned char, 3>& IeeeOuiIdentifier() const override
    {
        return m_answers->Array<unsigned char, 3>(At("IeeeOuiIdentifier"));
    }
    FAKE_PART(ControllerMultiPathIoAndNamespaceSharingCap)
    FAKE_NUMBER(std::uint8_t, MaxDataTransferSize)
    FAKE_NUMBER(std::uint16_t, ControllerId)
    FAKE_PART(Version)
    FAKE_NUMBER(std::uint32_t, Rtd3ResumeLatency)
    FAKE_NUMBER(std::uint32_t, Rtd3EntryLatency)
    FAKE_PART(OptionalAsynchronousEventsSupported)
    FAKE_PART(ControllerAttributes)
    FAKE_PART(ReadRecoveryLevelsSupported)
    FAKE_NUMBER(std::uint8_t, ControllerType)
    FAKE_TEXT(16, FruGloballyUniqueIdentifier)
    FAKE_NUMBER(std::uint16_t, CommandRetryDelayTime1)
    FAKE_NUMBER(std::uint16_t, CommandRetryDelayTime2)
    FAKE_NUMBER(std::uint16_t, CommandRetryDelayTime3)
    FAKE_PART(OptionalAdminCommandSupport)
    FAKE_NUMBER(std::uint8_t, AbortCommandLimit)
    FAKE_NUMBER(std::uint8_t, AsynchronousEventRequestLimit)
    FAKE_PART(FirmwareUpdates)
    FAKE_PART(LogPageAttributes)
    FAKE_NUMBER(std::uint8_t, ErrorLogPageEntries)
    FAKE_NUMBER(std::uint8_t, NumberOfPowerStatesSupport)
    FAKE_PART(AdminVendorSpecificCommandCfg)
    FAKE_PART(AutoPowerStateTransitionAttributes)
    FAKE_NUMBER(std::uint16_t, WarningCompositeTemperatureThreshold)
    FAKE_NUMBER(std::uint16_t, CriticalCompositeTemperatureThreshold)
    FAKE_NUMBER(std::uint16_t, MaxTimeForFirmwareActivation)
    FAKE_NUMBER(std::uint32_t, HostMemoryBufferPreferredSize)
    FAKE_NUMBER(std::uint32_t, HostMemoryBufferMinSize)
    FAKE_TEXT(16, TotalNvmCapacity)
    FAKE_TEXT(16, UnallocatedNvmCapacity)
    FAKE_PART(ReplayProtectedMemoryBlockSupport)
    FAKE_NUMBER(std::uint16_t, ExtendedDeviceSelfTestTime)
    FAKE_PART(DeviceSelfTestOptions)
    FAKE_NUMBER(std::uint8_t, FirmwareUpdateGranularity)
    FAKE_NUMBER(std::uint16_t, KeepAliveSupport)
    FAKE_PART(HostControlledThermalMgmtAttributes)
    FAKE_NUMBER(std::uint16_t, MinThermalMgmtTemperature)
    FAKE_NUMBER(std::uint16_t, MaxThermalMgmtTemperature)
    FAKE_PART(SanitizeCap)
    FAKE_NUMBER(std::uint32_t, HostMemoryBufferMinDescriptorEntrySize)
    FAKE_NUMBER(std::uint16_t, HostMemoryMaxDescriptorsEntries)
    FAKE_NUMBER(std::uint16_t, NvmSetIdentifierMax)
    FAKE_NUMBER(std::uint16_t, EnduranceGroupIdentifierMax)
    FAKE_NUMBER(std::uint8_t, AnaTransitionTime)
    FAKE_PART(AsymmetricNamespaceAccessCap)
    FAKE_NUMBER(std::uint32_t, AnaGroupIdentifierMax)
    FAKE_NUMBER(std::uint32_t, NumberOfAnaGroupIdentifiers)
    FAKE_NUMBER(std::uint64_t, PersistentEventLogSize)
    FAKE_PART(SubmissionQueueEntrySize)
    FAKE_PART(CompletionQueueEntrySize)
    FAKE_NUMBER(std::uint16_t, MaxOutstandingCommands)
    FAKE_NUMBER(std::uint32_t, NumberOfNamespaces)
    FAKE_PART(OptionalNvmCommandSupport)
    FAKE_PART(FusedOperationSupport)
    FAKE_PART(FormatNvmAttributes)
    FAKE_PART(VolatileWriteCache)
    FAKE_NUMBER(std::uint16_t, AtomicWriteUnitNormal)
    FAKE_NUMBER(std::uint16_t, AtomicWriteUnitPowerFail)
    FAKE_PART(NvmVendorSpecificCommandCfg)
    FAKE_PART(NamespaceWriteProtectionCap)
    FAKE_NUMBER(std::uint16_t, AtomicCompareAndWriteUnit)
    FAKE_PART(SglSupport)
    FAKE_NUMBER(std::uint32_t, MaxNumberOfAllowedNamespaces)
    FAKE_TEXT(256, NvmSubsystemNvmeQualifiedName)

    const IPowerStateDesc* PowerStateDesc(std::uint32_t index) const override
    {
        const std::string path = "PowerStateDesc[" + std::to_string(index) + "]";
        if (!m_answers->Present(path) || index >= m_descriptors) return nullptr;
        auto& slot = m_powerStates[index];
        if (!slot) slot = std::make_unique<FakePowerStateDesc>(m_answers, path + ".");
        return slot.get();
    }

    IVendorSpecificInfo* VendorSpecificInfo() const override
    {
        if (!m_answers->Present("VendorSpecificInfo")) return nullptr;
        switch (m_vendor) {
        case VendorArea::Plain:
            return HandOut<IVendorSpecificInfo>(std::make_shared<FakePlainVendor>(m_answers, "VendorSpecificInfo."),
                                                "VendorSpecificInfo");
        case VendorArea::Customized:
            return HandOut<IVendorSpecificInfo>(std::make_shared<FakeCustomizedVendor>(m_answers),
                                                "VendorSpecificInfo");
        case VendorArea::None:
            break;
        }
        return nullptr;
    }

private:
    VendorArea m_vendor;
    std::uint32_t m_descriptors;
    mutable std::map<std::uint32_t, std::unique_ptr<FakePowerStateDesc>> m_powerStates;
};

struct FakeCriticalWarning final : Part<IHealthInfo::ICriticalWarning> {
    using Part::Part;
    FAKE_FLAG(LowAvailableSpace) FAKE_FLAG(OutOfTemperatureThreshold) FAKE_FLAG(DegradedReliability)
    FAKE_FLAG(ReadOnly) FAKE_FLAG(FailedVolatileMemoryBackupDevice) FAKE_FLAG(UnreliablePersistentMemoryRegion)
};

struct FakeEnduranceGroupCriticalWarningSummary final : Part<IHealthInfo::IEnduranceGroupCriticalWarningSummary> {
    using Part::Part;
    FAKE_FLAG(LowAvailableSpareCapacity) FAKE_FLAG(DegradedReliability) FAKE_FLAG(ReadOnly)
};

// Caller-owned sub-objects: a new one for every call.
#define FAKE_OWNED(Name)                                                                                     \
    I##Name* Name() const override                                                                           \
    {                                                                                                        \
        if (!m_answers->Present(At(#Name))) return nullptr;                                                  \
        return HandOut<I##Name>(std::make_shared<Fake##Name>(m_answers, #Name "."), #Name);                  \
    }

struct FakeHealth final : Part<IHealthInfo> {
    using Part::Part;
    FAKE_OWNED(CriticalWarning)
    FAKE_NUMBER(std::int32_t, CompositeTemperature)
    FAKE_NUMBER(std::uint8_t, AvailableSpare)
    FAKE_NUMBER(std::uint8_t, AvailableSpareThreshold)
    FAKE_NUMBER(std::uint8_t, PercentageUsed)
    FAKE_OWNED(EnduranceGroupCriticalWarningSummary)
    FAKE_TEXT(16, DataUnitRead)
    FAKE_TEXT(16, DataUnitWritten)
    FAKE_TEXT(16, HostReadCommands)
    FAKE_TEXT(16, HostWrittenCommands)
    FAKE_TEXT(16, ControllerBusyTime)
    FAKE_TEXT(16, PowerCycles)
    FAKE_TEXT(16, PowerOnHours)
    FAKE_TEXT(16, UnsafeShutdowns)
    FAKE_TEXT(16, MediaAndDataIntegrityErrors)
    FAKE_TEXT(16, NumberOfErrorInfoLogEntries)
    FAKE_NUMBER(std::uint32_t, WarningCompositeTemperatureTime)
    FAKE_NUMBER(std::uint32_t, CriticalCompositeTemperatureTime)
    FAKE_NUMBER(std::int32_t, TemperatureSensor1)
    FAKE_NUMBER(std::int32_t, TemperatureSensor2)
    FAKE_NUMBER(std::int32_t, TemperatureSensor3)
    FAKE_NUMBER(std::int32_t, TemperatureSensor4)
    FAKE_NUMBER(std::int32_t, TemperatureSensor5)
    FAKE_NUMBER(std::int32_t, TemperatureSensor6)
    FAKE_NUMBER(std::int32_t, TemperatureSensor7)
    FAKE_NUMBER(std::int32_t, TemperatureSensor8)
    FAKE_NUMBER(std::uint32_t, ThermalMgmtTemperature1TransitionCount)
    FAKE_NUMBER(std::uint32_t, ThermalMgmtTemperature2TransitionCount)
    FAKE_NUMBER(std::uint32_t, TotalTimeForThermalMgmtTemperature1)
    FAKE_NUMBER(std::uint32_t, TotalTimeForThermalMgmtTemperature2)
};

struct FakeCustomizedHealth final : Part<ICustomizedHealthInfo> {
    using Part::Part;
    FAKE_NUMBER(std::uint8_t, WearLevelingCount)
    FAKE_NUMBER(std::uint8_t, UsedReservedBlockCountWorstCaseComponent)
    FAKE_NUMBER(std::uint8_t, UsedReservedBlockCountSsdTotal)
    FAKE_NUMBER(std::uint32_t, ReservedBlockCountSsdTotal)
    FAKE_NUMBER(std::uint16_t, MinimumTemperature)
    FAKE_NUMBER(std::uint16_t, MaximumTemperature)
    FAKE_TEXT(16, TotalDataWrittenByController)
    FAKE_NUMBER(std::uint32_t, AccumulatedHostActiveIdleCounter)
    FAKE_NUMBER(std::uint32_t, AccumulatedNonOperationalPowerStateCounter)
    FAKE_NUMBER(std::uint8_t, AbnormalInputVccVoltageCounter)
};

}  // namespace

Identify* NewIdentify(const DriveScript& script)
{
    return HandOut<Identify>(std::make_shared<FakeIdentify>(script), "IdentifyControllerData");
}

IHealthInfo* NewHealth(const DriveScript& script)
{
    return HandOut<IHealthInfo>(std::make_shared<FakeHealth>(script.health, ""), "HealthInfo");
}

ICustomizedHealthInfo* NewCustomizedHealth(const DriveScript& script)
{
    return HandOut<ICustomizedHealthInfo>(std::make_shared<FakeCustomizedHealth>(script.customizedHealth, ""),
                                          "CustomizedHealthInfo");
}

}  // namespace stordex_fake
