// The Identify Controller decoder against the structure's layout as NVM
// Express revision 1.4 gives it: every field at its own offset, every flag at
// its own bit, and nothing read from reserved bits.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "IdentifyControllerData.h"
#include "PageHelpers.h"

namespace {

using namespace stordex_test;
using talvex::stordex::nvme::DecodeIdentifyController;
using Ic = talvex::stordex::nvme::IIdentifyControllerData;

constexpr std::size_t kPage = 4096;

struct Scalar {
    const char* name;
    std::size_t offset;
    std::size_t width;
    std::function<std::uint64_t(const Ic&)> read;
};

// clang-format off
#define SCALAR(name, offset, width) {#name, offset, width, [](const Ic& d) -> std::uint64_t { return d.name(); }}
#define NESTED(part, name, offset, width) \
    {#part "." #name, offset, width, [](const Ic& d) -> std::uint64_t { return d.part()->name(); }}

const std::vector<Scalar> kScalars = {
    SCALAR(PciVendorId, 0, 2), SCALAR(PciSubsystemVendorId, 2, 2), SCALAR(RecommendedArbitrationBurst, 72, 1),
    SCALAR(MaxDataTransferSize, 77, 1), SCALAR(ControllerId, 78, 2), NESTED(Version, Tertiary, 80, 1),
    NESTED(Version, Minor, 81, 1), NESTED(Version, Major, 82, 2), SCALAR(Rtd3ResumeLatency, 84, 4),
    SCALAR(Rtd3EntryLatency, 88, 4), SCALAR(ControllerType, 111, 1), SCALAR(CommandRetryDelayTime1, 128, 2),
    SCALAR(CommandRetryDelayTime2, 130, 2), SCALAR(CommandRetryDelayTime3, 132, 2), SCALAR(AbortCommandLimit, 258, 1),
    SCALAR(AsynchronousEventRequestLimit, 259, 1), SCALAR(ErrorLogPageEntries, 262, 1),
    SCALAR(NumberOfPowerStatesSupport, 263, 1), SCALAR(WarningCompositeTemperatureThreshold, 266, 2),
    SCALAR(CriticalCompositeTemperatureThreshold, 268, 2), SCALAR(MaxTimeForFirmwareActivation, 270, 2),
    SCALAR(HostMemoryBufferPreferredSize, 272, 4), SCALAR(HostMemoryBufferMinSize, 276, 4),
    NESTED(ReplayProtectedMemoryBlockSupport, TotalSize, 314, 1),
    NESTED(ReplayProtectedMemoryBlockSupport, AccessSize, 315, 1), SCALAR(ExtendedDeviceSelfTestTime, 316, 2),
    SCALAR(FirmwareUpdateGranularity, 319, 1), SCALAR(KeepAliveSupport, 320, 2),
    SCALAR(MinThermalMgmtTemperature, 324, 2), SCALAR(MaxThermalMgmtTemperature, 326, 2),
    SCALAR(HostMemoryBufferMinDescriptorEntrySize, 332, 4), SCALAR(HostMemoryMaxDescriptorsEntries, 336, 2),
    SCALAR(NvmSetIdentifierMax, 338, 2), SCALAR(EnduranceGroupIdentifierMax, 340, 2), SCALAR(AnaTransitionTime, 342, 1),
    SCALAR(AnaGroupIdentifierMax, 344, 4), SCALAR(NumberOfAnaGroupIdentifiers, 348, 4),
    SCALAR(PersistentEventLogSize, 352, 4), SCALAR(MaxOutstandingCommands, 514, 2), SCALAR(NumberOfNamespaces, 516, 4),
    SCALAR(AtomicWriteUnitNormal, 526, 2), SCALAR(AtomicWriteUnitPowerFail, 528, 2),
    SCALAR(AtomicCompareAndWriteUnit, 532, 2), SCALAR(MaxNumberOfAllowedNamespaces, 540, 4),
};
// clang-format on

// Flags: (offset of the field, bit within it). Multi-bit values: (offset,
// lowest bit, width).
struct Flag {
    const char* name;
    std::size_t offset;
    unsigned bit;
    unsigned width;  // 1 for a flag
    std::function<std::uint32_t(const Ic&)> read;
};

// clang-format off
#define FLAG(part, name, offset, bit) \
    {#part "." #name, offset, bit, 1, [](const Ic& d) -> std::uint32_t { return d.part()->name(); }}
#define BITS(part, name, offset, bit, width) \
    {#part "." #name, offset, bit, width, [](const Ic& d) -> std::uint32_t { return d.part()->name(); }}

const std::vector<Flag> kFlags = {
    FLAG(ControllerMultiPathIoAndNamespaceSharingCap, HasMultiplePorts, 76, 0),
    FLAG(ControllerMultiPathIoAndNamespaceSharingCap, HasMultipleControllers, 76, 1),
    FLAG(ControllerMultiPathIoAndNamespaceSharingCap, SriovOrPci, 76, 2),
    FLAG(ControllerMultiPathIoAndNamespaceSharingCap, SupportAsymmetricNamespaceAccessReporting, 76, 3),
    FLAG(OptionalAsynchronousEventsSupported, SupportNamespaceAttributeNoticeAndChangedNamespaceList, 92, 8),
    FLAG(OptionalAsynchronousEventsSupported, SupportFirmwareActivationNotice, 92, 9),
    FLAG(OptionalAsynchronousEventsSupported, SupportAsymmetricNamespaceAccessChangeNotice, 92, 11),
    FLAG(OptionalAsynchronousEventsSupported, SupportPredictableLatencyEventAggregateLogChangeNotice, 92, 12),
    FLAG(OptionalAsynchronousEventsSupported, SupportLbaStatusInfoNotice, 92, 13),
    FLAG(OptionalAsynchronousEventsSupported, SupportEnduranceGroupEventAggregateLogPageChangeNotice, 92, 14),
    FLAG(ControllerAttributes, Support128BitHostId, 96, 0),
    FLAG(ControllerAttributes, SupportNonOperationalPowerStatePermissiveMode, 96, 1),
    FLAG(ControllerAttributes, SupportNvmSets, 96, 2), FLAG(ControllerAttributes, SupportReadRecoveryLevels, 96, 3),
    FLAG(ControllerAttributes, SupportEnduranceGroups, 96, 4),
    FLAG(ControllerAttributes, SupportPredictableLatencyMode, 96, 5),
    FLAG(ControllerAttributes, SupportTrafficBasedKeepAlive, 96, 6),
    FLAG(ControllerAttributes, SupportNamespaceGranularity, 96, 7),
    FLAG(ControllerAttributes, SupportSqAssociations, 96, 8), FLAG(ControllerAttributes, SupportUuidList, 96, 9),
    FLAG(ReadRecoveryLevelsSupported, Level0, 100, 0), FLAG(ReadRecoveryLevelsSupported, Level1, 100, 1),
    FLAG(ReadRecoveryLevelsSupported, Level2, 100, 2), FLAG(ReadRecoveryLevelsSupported, Level3, 100, 3),
    FLAG(ReadRecoveryLevelsSupported, Level4, 100, 4), FLAG(ReadRecoveryLevelsSupported, Level5, 100, 5),
    FLAG(ReadRecoveryLevelsSupported, Level6, 100, 6), FLAG(ReadRecoveryLevelsSupported, Level7, 100, 7),
    FLAG(ReadRecoveryLevelsSupported, Level8, 100, 8), FLAG(ReadRecoveryLevelsSupported, Level9, 100, 9),
    FLAG(ReadRecoveryLevelsSupported, Level10, 100, 10), FLAG(ReadRecoveryLevelsSupported, Level11, 100, 11),
    FLAG(ReadRecoveryLevelsSupported, Level12, 100, 12), FLAG(ReadRecoveryLevelsSupported, Level13, 100, 13),
    FLAG(ReadRecoveryLevelsSupported, Level14, 100, 14), FLAG(ReadRecoveryLevelsSupported, Level15, 100, 15),
    FLAG(OptionalAdminCommandSupport, SupportSecuritySendSecurityReceive, 256, 0),
    FLAG(OptionalAdminCommandSupport, SupportFormatNvm, 256, 1),
    FLAG(OptionalAdminCommandSupport, SupportFirmwareActivateFirmwareDownload, 256, 2),
    FLAG(OptionalAdminCommandSupport, SupportNamespaceMgmtAndAttachment, 256, 3),
    FLAG(OptionalAdminCommandSupport, SupportDeviceSelfTest, 256, 4),
    FLAG(OptionalAdminCommandSupport, SupportDirectiveSendAndDirectiveReceive, 256, 5),
    FLAG(OptionalAdminCommandSupport, SupportNvmeMiSendAndNvmeMiReceive, 256, 6),
    FLAG(OptionalAdminCommandSupport, SupportVirtualizationMgmt, 256, 7),
    FLAG(OptionalAdminCommandSupport, SupportDoorbellBufferConfig, 256, 8),
    FLAG(OptionalAdminCommandSupport, SupportGetLbaStatus, 256, 9),
    FLAG(FirmwareUpdates, FirstFirmwareSlotReadOnly, 260, 0), BITS(FirmwareUpdates, NumberOfFirmwareSlots, 260, 1, 3),
    FLAG(FirmwareUpdates, SupportFirmwareActivationWithoutReset, 260, 4),
    FLAG(LogPageAttributes, SupportHealthInfoLogPage, 261, 0),
    FLAG(LogPageAttributes, SupportCommandsSupportedAndEffectsLogPage, 261, 1),
    FLAG(LogPageAttributes, SupportExtendedDataForGetLogPage, 261, 2),
    FLAG(LogPageAttributes, SupportTelemetryHostAndControllerInitiatedLogPage, 261, 3),
    FLAG(LogPageAttributes, SupportPersistentEventLog, 261, 4),
    FLAG(AdminVendorSpecificCommandCfg, AllCompliant, 264, 0),
    FLAG(AutoPowerStateTransitionAttributes, SupportAutoPowerStateTransitions, 265, 0),
    BITS(ReplayProtectedMemoryBlockSupport, NumberOfRpmbUnits, 312, 0, 3),
    BITS(ReplayProtectedMemoryBlockSupport, AuthenticationMethod, 312, 3, 3),
    FLAG(DeviceSelfTestOptions, SupportOnlyOneDevice, 318, 0),
    FLAG(HostControlledThermalMgmtAttributes, SupportHostControlledThermalMgmt, 322, 0),
    FLAG(SanitizeCap, SupportCryptoErase, 328, 0), FLAG(SanitizeCap, SupportBlockErase, 328, 1),
    FLAG(SanitizeCap, SupportOverwrite, 328, 2), FLAG(SanitizeCap, NoDeallocateInhibited, 328, 29),
    BITS(SanitizeCap, NoDeallocateModifiesMediaAfterSanitize, 328, 30, 2),
    FLAG(AsymmetricNamespaceAccessCap, ReportAnaOptimizedState, 343, 0),
    FLAG(AsymmetricNamespaceAccessCap, ReportAnaNonOptimizedState, 343, 1),
    FLAG(AsymmetricNamespaceAccessCap, ReportAnaInaccessibleState, 343, 2),
    FLAG(AsymmetricNamespaceAccessCap, ReportAnaPersistentLossState, 343, 3),
    FLAG(AsymmetricNamespaceAccessCap, ReportAnaChangeState, 343, 4),
    FLAG(AsymmetricNamespaceAccessCap, ImmutableAnagrpid, 343, 6),
    FLAG(AsymmetricNamespaceAccessCap, SupportNonZeroAnagrpid, 343, 7),
    BITS(SubmissionQueueEntrySize, RequiredEntrySize, 512, 0, 4),
    BITS(SubmissionQueueEntrySize, MaxEntrySize, 512, 4, 4),
    BITS(CompletionQueueEntrySize, RequiredEntrySize, 513, 0, 4),
    BITS(CompletionQueueEntrySize, MaxEntrySize, 513, 4, 4),
    FLAG(OptionalNvmCommandSupport, SupportCompare, 520, 0),
    FLAG(OptionalNvmCommandSupport, SupportWriteUncorrectable, 520, 1),
    FLAG(OptionalNvmCommandSupport, SupportDataSetMgmt, 520, 2),
    FLAG(OptionalNvmCommandSupport, SupportWriteZeroes, 520, 3),
    FLAG(OptionalNvmCommandSupport, SupportSetFeaturesSave, 520, 4),
    FLAG(OptionalNvmCommandSupport, SupportReservations, 520, 5),
    FLAG(OptionalNvmCommandSupport, SupportTimestamp, 520, 6), FLAG(OptionalNvmCommandSupport, SupportVerify, 520, 7),
    FLAG(FusedOperationSupport, SupportCompareWrite, 522, 0),
    FLAG(FormatNvmAttributes, FormatAllNamespaces, 524, 0), FLAG(FormatNvmAttributes, SecureEraseAllNamespaces, 524, 1),
    FLAG(FormatNvmAttributes, SupportCryptoErase, 524, 2), FLAG(VolatileWriteCache, HasVolatileWriteCache, 525, 0),
    BITS(VolatileWriteCache, FlushBehavior, 525, 1, 2), FLAG(NvmVendorSpecificCommandCfg, AllCompliant, 530, 0),
    FLAG(NamespaceWriteProtectionCap, SupportWriteProtect, 531, 0),
    FLAG(NamespaceWriteProtectionCap, SupportWriteProtectUntilPowerCycle, 531, 1),
    FLAG(NamespaceWriteProtectionCap, SupportPermanentWriteProtect, 531, 2),
    BITS(SglSupport, SglSupportState, 536, 0, 2), FLAG(SglSupport, SupportKeyedSglDataBlock, 536, 2),
    FLAG(SglSupport, SupportSglBitBucket, 536, 16),
    FLAG(SglSupport, SupportByteAlignedContiguousPhysicalBuffer, 536, 17),
    FLAG(SglSupport, SupportMetadata, 536, 18), FLAG(SglSupport, SupportMetadataPointer, 536, 19),
    FLAG(SglSupport, SupportAddress, 536, 20), FLAG(SglSupport, SupportTransportSglDataBlock, 536, 21),
};
// clang-format on

void SetBits(std::vector<std::uint8_t>& page, std::size_t offset, unsigned low, unsigned width, bool on)
{
    for (unsigned bit = low; bit < low + width; ++bit) {
        const auto mask = static_cast<std::uint8_t>(1U << (bit % 8));
        auto& byte = page.at(offset + bit / 8);
        byte = static_cast<std::uint8_t>(on ? (byte | mask) : (byte & ~mask));
    }
}

talvex::stordex::Owned<Ic> Decode(const std::vector<std::uint8_t>& page, OwningCustody& custody)
{
    auto decoded = DecodeIdentifyController(page, custody);
    if (!decoded) ADD_FAILURE() << "no decoded structure";
    return decoded;
}

TEST(IdentifyDecoder, ReadsEveryScalarAndTextAtItsOffset)
{
    for (unsigned seed : {1U, 2U}) {
        const auto page = PatternPage(kPage, seed);
        OwningCustody custody;
        const auto decoded = Decode(page, custody);
        ASSERT_TRUE(decoded);
        for (const Scalar& field : kScalars) {
            EXPECT_EQ(field.read(*decoded), Little(page, field.offset, field.width)) << field.name;
        }
        EXPECT_EQ(Bytes(decoded->SerialNumber()), Slice(page, 4, 20));
        EXPECT_EQ(Bytes(decoded->ModelNumber()), Slice(page, 24, 40));
        EXPECT_EQ(Bytes(decoded->FirmwareRevision()), Slice(page, 64, 8));
        EXPECT_EQ(Bytes(decoded->IeeeOuiIdentifier()), Slice(page, 73, 3));
        EXPECT_EQ(Bytes(decoded->FruGloballyUniqueIdentifier()), Slice(page, 112, 16));
        EXPECT_EQ(Bytes(decoded->TotalNvmCapacity()), Slice(page, 280, 16));
        EXPECT_EQ(Bytes(decoded->UnallocatedNvmCapacity()), Slice(page, 296, 16));
        EXPECT_EQ(Bytes(decoded->NvmSubsystemNvmeQualifiedName()), Slice(page, 768, 256));
    }
}

TEST(IdentifyDecoder, EveryFlagAndBitFieldReadsOnlyItsOwnBits)
{
    for (const Flag& field : kFlags) {
        std::vector<std::uint8_t> page(kPage, 0);
        SetBits(page, field.offset, field.bit, field.width, true);
        OwningCustody custody;
        const auto decoded = Decode(page, custody);
        ASSERT_TRUE(decoded);
        for (const Flag& other : kFlags) {
            const std::uint32_t expected = &other == &field ? (1U << field.width) - 1 : 0;
            EXPECT_EQ(other.read(*decoded), expected) << other.name << " with only " << field.name << " set";
        }
    }
}

TEST(IdentifyDecoder, BitFieldsReadTheirLowestBitFirst)
{
    for (const Flag& field : kFlags) {
        if (field.width == 1) continue;
        std::vector<std::uint8_t> page(kPage, 0);
        SetBits(page, field.offset, field.bit, 1, true);
        OwningCustody custody;
        EXPECT_EQ(field.read(*Decode(page, custody)), 1U) << field.name;
    }
}

TEST(IdentifyDecoder, ReservedBitsReadAsNothing)
{
    // Every bit set except the defined ones: no accessor may see any of them.
    std::vector<std::uint8_t> page(kPage, 0xFF);
    for (const Flag& field : kFlags) SetBits(page, field.offset, field.bit, field.width, false);
    OwningCustody custody;
    const auto decoded = Decode(page, custody);
    ASSERT_TRUE(decoded);
    for (const Flag& field : kFlags) EXPECT_EQ(field.read(*decoded), 0U) << field.name;
}

TEST(IdentifyDecoder, ThirtyTwoPowerStateDescriptors)
{
    const auto page = PatternPage(kPage, 3);
    OwningCustody custody;
    const auto decoded = Decode(page, custody);
    ASSERT_TRUE(decoded);
    for (std::uint32_t i = 0; i < 32; ++i) {
        const std::size_t at = 2048 + 32 * i;
        const auto* state = decoded->PowerStateDesc(i);
        ASSERT_NE(state, nullptr) << i;
        EXPECT_EQ(state->MaxPower(), Little(page, at, 2)) << i;
        EXPECT_EQ(state->MaxPowerScale(), (page[at + 3] & 0x01) != 0) << i;
        EXPECT_EQ(state->NonOperationalState(), (page[at + 3] & 0x02) != 0) << i;
        EXPECT_EQ(state->EntryLatency(), Little(page, at + 4, 4)) << i;
        EXPECT_EQ(state->ExitLatency(), Little(page, at + 8, 4)) << i;
        EXPECT_EQ(state->RelativeReadThroughput(), page[at + 12] & 0x1F) << i;
        EXPECT_EQ(state->RelativeReadLatency(), page[at + 13] & 0x1F) << i;
        EXPECT_EQ(state->RelativeWriteThroughput(), page[at + 14] & 0x1F) << i;
        EXPECT_EQ(state->RelativeWriteLatency(), page[at + 15] & 0x1F) << i;
        EXPECT_EQ(state->IdlePower(), Little(page, at + 16, 2)) << i;
        EXPECT_EQ(state->IdlePowerScale(), page[at + 18] >> 6) << i;
        EXPECT_EQ(state->ActivePower(), Little(page, at + 20, 2)) << i;
        EXPECT_EQ(state->ActivePowerWorkload(), page[at + 22] & 0x07) << i;
        EXPECT_EQ(state->ActivePowerScale(), page[at + 22] >> 6) << i;
    }
    EXPECT_EQ(decoded->PowerStateDesc(32), nullptr);
    EXPECT_EQ(decoded->PowerStateDesc(255), nullptr);
    EXPECT_EQ(decoded->PowerStateDesc(0xFFFFFFFFU), nullptr);
    EXPECT_EQ(DecodeIdentifyController(std::vector<std::uint8_t>(kPage - 1, 0), custody), nullptr);
}

}  // namespace
