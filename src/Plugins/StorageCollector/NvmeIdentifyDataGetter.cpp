// The Identify Controller data of each NVMe drive, with the customized vendor area.
#include "NvmeDataGetter.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "NvmeDrives.h"

namespace Talvex::Quorlin::Plugins::NvmeDataGetter {

namespace {

namespace nvme = talvex::stordex::nvme;
namespace dt = Datatypes;
using Drives::ForEachNvmeDrive;
using Drives::ItemId;
using Drives::Owned;
using Identify = nvme::IIdentifyControllerData;

// Device texts are space padded by the drive; tab, line feed and carriage
// return count as blanks too. NUL does not: a NUL-padded text keeps its
// padding here and loses it only where it is stored.
bool IsBlank(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

std::string Trim(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) ++first;
    if (first == text.size()) return {};
    std::size_t last = text.size() - 1;
    while (IsBlank(text[last])) --last;
    return std::string(text.substr(first, last - first + 1));
}

// A string field holds its text up to, not including, the first NUL.
std::string UpToNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

std::string TrimmedText(std::string_view text) { return UpToNul(Trim(text)); }

constexpr std::size_t kEppidLength = 20;

std::string EppidText(std::string_view text)
{
    std::string trimmed = Trim(text);
    if (trimmed.size() > kEppidLength) trimmed.resize(kEppidLength);
    return UpToNul(trimmed);
}

void Fill(const Identify::IControllerMultiPathIoAndNamespaceSharingCap& s,
          dt::NvmeControllerMultiPathIoAndNamespaceSharingCap& m)
{
    m.mutable_has_multiple_ports()->set_value(s.HasMultiplePorts());
    m.mutable_has_multiple_controllers()->set_value(s.HasMultipleControllers());
    m.mutable_sriov_or_pci()->set_value(s.SriovOrPci());
    m.mutable_support_asymmetric_namespace_access_reporting()->set_value(s.SupportAsymmetricNamespaceAccessReporting());
}

void Fill(const Identify::IVersion& s, dt::NvmeVersion& m)
{
    m.mutable_tertiary()->set_value(s.Tertiary());
    m.mutable_minor()->set_value(s.Minor());
    m.mutable_major()->set_value(s.Major());
}

void Fill(const Identify::IOptionalAsynchronousEventsSupported& s, dt::NvmeOptionalAsynchronousEventsSupported& m)
{
    m.mutable_support_namespace_attribute_notice_and_changed_namespace_list()->set_value(
        s.SupportNamespaceAttributeNoticeAndChangedNamespaceList());
    m.mutable_support_firmware_activation_notice()->set_value(s.SupportFirmwareActivationNotice());
    m.mutable_support_asymmetric_namespace_access_change_notice()->set_value(
        s.SupportAsymmetricNamespaceAccessChangeNotice());
    m.mutable_support_predictable_latency_event_aggregate_log_change_notice()->set_value(
        s.SupportPredictableLatencyEventAggregateLogChangeNotice());
    m.mutable_support_lba_status_info_notice()->set_value(s.SupportLbaStatusInfoNotice());
    m.mutable_support_endurance_group_event_aggregate_log_page_change_notice()->set_value(
        s.SupportEnduranceGroupEventAggregateLogPageChangeNotice());
}

void Fill(const Identify::IControllerAttributes& s, dt::NvmeControllerAttributes& m)
{
    m.mutable_support_128_bit_host_id()->set_value(s.Support128BitHostId());
    m.mutable_support_non_operational_power_state_permissive_mode()->set_value(
        s.SupportNonOperationalPowerStatePermissiveMode());
    m.mutable_support_nvm_sets()->set_value(s.SupportNvmSets());
    m.mutable_support_read_recovery_levels()->set_value(s.SupportReadRecoveryLevels());
    m.mutable_support_endurance_groups()->set_value(s.SupportEnduranceGroups());
    m.mutable_support_predictable_latency_mode()->set_value(s.SupportPredictableLatencyMode());
    m.mutable_support_traffic_based_keep_alive()->set_value(s.SupportTrafficBasedKeepAlive());
    m.mutable_support_namespace_granularity()->set_value(s.SupportNamespaceGranularity());
    m.mutable_support_sq_associations()->set_value(s.SupportSqAssociations());
    m.mutable_support_uuid_list()->set_value(s.SupportUuidList());
}

void Fill(const Identify::IReadRecoveryLevelsSupported& s, dt::NvmeReadRecoveryLevelsSupported& m)
{
    m.mutable_level_0()->set_value(s.Level0());
    m.mutable_level_1()->set_value(s.Level1());
    m.mutable_level_2()->set_value(s.Level2());
    m.mutable_level_3()->set_value(s.Level3());
    m.mutable_level_4()->set_value(s.Level4());
    m.mutable_level_5()->set_value(s.Level5());
    m.mutable_level_6()->set_value(s.Level6());
    m.mutable_level_7()->set_value(s.Level7());
    m.mutable_level_8()->set_value(s.Level8());
    m.mutable_level_9()->set_value(s.Level9());
    m.mutable_level_10()->set_value(s.Level10());
    m.mutable_level_11()->set_value(s.Level11());
    m.mutable_level_12()->set_value(s.Level12());
    m.mutable_level_13()->set_value(s.Level13());
    m.mutable_level_14()->set_value(s.Level14());
    m.mutable_level_15()->set_value(s.Level15());
}

void Fill(const Identify::IOptionalAdminCommandSupport& s, dt::NvmeOptionalAdminCommandSupport& m)
{
    m.mutable_support_security_send_security_receive()->set_value(s.SupportSecuritySendSecurityReceive());
    m.mutable_support_format_nvm()->set_value(s.SupportFormatNvm());
    m.mutable_support_firmware_activate_firmware_download()->set_value(s.SupportFirmwareActivateFirmwareDownload());
    m.mutable_support_namespace_mgmt_and_attachment()->set_value(s.SupportNamespaceMgmtAndAttachment());
    m.mutable_support_device_self_test()->set_value(s.SupportDeviceSelfTest());
    m.mutable_support_directive_send_and_directive_receive()->set_value(s.SupportDirectiveSendAndDirectiveReceive());
    m.mutable_support_nvme_mi_send_and_nvme_mi_receive()->set_value(s.SupportNvmeMiSendAndNvmeMiReceive());
    m.mutable_support_virtualization_mgmt()->set_value(s.SupportVirtualizationMgmt());
    m.mutable_support_doorbell_buffer_config()->set_value(s.SupportDoorbellBufferConfig());
    m.mutable_support_get_lba_status()->set_value(s.SupportGetLbaStatus());
}

void Fill(const Identify::IFirmwareUpdates& s, dt::NvmeFirmwareUpdates& m)
{
    m.mutable_first_firmware_slot_read_only()->set_value(s.FirstFirmwareSlotReadOnly());
    m.mutable_number_of_firmware_slots()->set_value(s.NumberOfFirmwareSlots());
    m.mutable_support_firmware_activation_without_reset()->set_value(s.SupportFirmwareActivationWithoutReset());
}

void Fill(const Identify::ILogPageAttributes& s, dt::NvmeLogPageAttributes& m)
{
    m.mutable_support_health_info_log_page()->set_value(s.SupportHealthInfoLogPage());
    m.mutable_support_commands_supported_and_effects_log_page()->set_value(
        s.SupportCommandsSupportedAndEffectsLogPage());
    m.mutable_support_extended_data_for_get_log_page()->set_value(s.SupportExtendedDataForGetLogPage());
    m.mutable_support_telemetry_host_and_controller_initiated_log_page()->set_value(
        s.SupportTelemetryHostAndControllerInitiatedLogPage());
    m.mutable_support_persistent_event_log()->set_value(s.SupportPersistentEventLog());
}

void Fill(const Identify::IAdminVendorSpecificCommandCfg& s, dt::NvmeAdminVendorSpecificCommandCfg& m)
{
    m.mutable_all_compliant()->set_value(s.AllCompliant());
}

void Fill(const Identify::IAutoPowerStateTransitionAttributes& s, dt::NvmeAutoPowerStateTransitionAttributes& m)
{
    m.mutable_support_auto_power_state_transitions()->set_value(s.SupportAutoPowerStateTransitions());
}

void Fill(const Identify::IReplayProtectedMemoryBlockSupport& s, dt::NvmeReplayProtectedMemoryBlockSupport& m)
{
    m.mutable_number_of_rpmb_units()->set_value(s.NumberOfRpmbUnits());
    m.mutable_authentication_method()->set_value(s.AuthenticationMethod());
    m.mutable_total_size()->set_value(s.TotalSize());
    m.mutable_access_size()->set_value(s.AccessSize());
}

void Fill(const Identify::IDeviceSelfTestOptions& s, dt::NvmeDeviceSelfTestOptions& m)
{
    m.mutable_support_only_one_device()->set_value(s.SupportOnlyOneDevice());
}

void Fill(const Identify::IHostControlledThermalMgmtAttributes& s, dt::NvmeHostControlledThermalMgmtAttributes& m)
{
    m.mutable_support_host_controlled_thermal_mgmt()->set_value(s.SupportHostControlledThermalMgmt());
}

void Fill(const Identify::ISanitizeCap& s, dt::NvmeSanitizeCap& m)
{
    m.mutable_support_crypto_erase()->set_value(s.SupportCryptoErase());
    m.mutable_support_block_erase()->set_value(s.SupportBlockErase());
    m.mutable_support_overwrite()->set_value(s.SupportOverwrite());
    m.mutable_no_deallocate_inhibited()->set_value(s.NoDeallocateInhibited());
    m.mutable_no_deallocate_modifies_media_after_sanitize()->set_value(s.NoDeallocateModifiesMediaAfterSanitize());
}

void Fill(const Identify::IAsymmetricNamespaceAccessCap& s, dt::NvmeAsymmetricNamespaceAccessCap& m)
{
    m.mutable_report_ana_optimized_state()->set_value(s.ReportAnaOptimizedState());
    m.mutable_report_ana_non_optimized_state()->set_value(s.ReportAnaNonOptimizedState());
    m.mutable_report_ana_inaccessible_state()->set_value(s.ReportAnaInaccessibleState());
    m.mutable_report_ana_persistent_loss_state()->set_value(s.ReportAnaPersistentLossState());
    m.mutable_report_ana_change_state()->set_value(s.ReportAnaChangeState());
    m.mutable_immutable_anagrpid()->set_value(s.ImmutableAnagrpid());
    m.mutable_support_non_zero_anagrpid()->set_value(s.SupportNonZeroAnagrpid());
}

void Fill(const Identify::ISubmissionQueueEntrySize& s, dt::NvmeSubmissionQueueEntrySize& m)
{
    m.mutable_required_entry_size()->set_value(s.RequiredEntrySize());
    m.mutable_max_entry_size()->set_value(s.MaxEntrySize());
}

void Fill(const Identify::ICompletionQueueEntrySize& s, dt::NvmeCompletionQueueEntrySize& m)
{
    m.mutable_required_entry_size()->set_value(s.RequiredEntrySize());
    m.mutable_max_entry_size()->set_value(s.MaxEntrySize());
}

void Fill(const Identify::IOptionalNvmCommandSupport& s, dt::NvmeOptionalNvmCommandSupport& m)
{
    m.mutable_support_compare()->set_value(s.SupportCompare());
    m.mutable_support_write_uncorrectable()->set_value(s.SupportWriteUncorrectable());
    m.mutable_support_data_set_mgmt()->set_value(s.SupportDataSetMgmt());
    m.mutable_support_write_zeroes()->set_value(s.SupportWriteZeroes());
    m.mutable_support_set_features_save()->set_value(s.SupportSetFeaturesSave());
    m.mutable_support_reservations()->set_value(s.SupportReservations());
    m.mutable_support_timestamp()->set_value(s.SupportTimestamp());
    m.mutable_support_verify()->set_value(s.SupportVerify());
}

void Fill(const Identify::IFusedOperationSupport& s, dt::NvmeFusedOperationSupport& m)
{
    m.mutable_support_compare_write()->set_value(s.SupportCompareWrite());
}

void Fill(const Identify::IFormatNvmAttributes& s, dt::NvmeFormatNvmAttributes& m)
{
    m.mutable_format_all_namespaces()->set_value(s.FormatAllNamespaces());
    m.mutable_secure_erase_all_namespaces()->set_value(s.SecureEraseAllNamespaces());
    m.mutable_support_crypto_erase()->set_value(s.SupportCryptoErase());
}

void Fill(const Identify::IVolatileWriteCache& s, dt::NvmeVolatileWriteCache& m)
{
    m.mutable_has_volatile_write_cache()->set_value(s.HasVolatileWriteCache());
    m.mutable_flush_behavior()->set_value(s.FlushBehavior());
}

void Fill(const Identify::INvmVendorSpecificCommandCfg& s, dt::NvmeNvmVendorSpecificCommandCfg& m)
{
    m.mutable_all_compliant()->set_value(s.AllCompliant());
}

void Fill(const Identify::INamespaceWriteProtectionCap& s, dt::NvmeNamespaceWriteProtectionCap& m)
{
    m.mutable_support_write_protect()->set_value(s.SupportWriteProtect());
    m.mutable_support_write_protect_until_power_cycle()->set_value(s.SupportWriteProtectUntilPowerCycle());
    m.mutable_support_permanent_write_protect()->set_value(s.SupportPermanentWriteProtect());
}

void Fill(const Identify::ISglSupport& s, dt::NvmeSglSupport& m)
{
    m.mutable_sgl_support_state()->set_value(s.SglSupportState());
    m.mutable_support_keyed_sgl_data_block()->set_value(s.SupportKeyedSglDataBlock());
    m.mutable_support_sgl_bit_bucket()->set_value(s.SupportSglBitBucket());
    m.mutable_support_byte_aligned_contiguous_physical_buffer()->set_value(
        s.SupportByteAlignedContiguousPhysicalBuffer());
    m.mutable_support_metadata()->set_value(s.SupportMetadata());
    m.mutable_support_metadata_pointer()->set_value(s.SupportMetadataPointer());
    m.mutable_support_address()->set_value(s.SupportAddress());
    m.mutable_support_transport_sgl_data_block()->set_value(s.SupportTransportSglDataBlock());
}

void Fill(const Identify::IPowerStateDesc& s, dt::NvmePowerStateDesc& m)
{
    m.mutable_max_power()->set_value(s.MaxPower());
    m.mutable_max_power_scale()->set_value(s.MaxPowerScale());
    m.mutable_non_operational_state()->set_value(s.NonOperationalState());
    m.mutable_entry_latency()->set_value(s.EntryLatency());
    m.mutable_exit_latency()->set_value(s.ExitLatency());
    m.mutable_relative_read_throughput()->set_value(s.RelativeReadThroughput());
    m.mutable_relative_read_latency()->set_value(s.RelativeReadLatency());
    m.mutable_relative_write_throughput()->set_value(s.RelativeWriteThroughput());
    m.mutable_relative_write_latency()->set_value(s.RelativeWriteLatency());
    m.mutable_idle_power()->set_value(s.IdlePower());
    m.mutable_idle_power_scale()->set_value(s.IdlePowerScale());
    m.mutable_active_power()->set_value(s.ActivePower());
    m.mutable_active_power_workload()->set_value(s.ActivePowerWorkload());
    m.mutable_active_power_scale()->set_value(s.ActivePowerScale());
}

void Fill(const nvme::ICustomizedControllerData& s, dt::NvmeCustomizedControllerData& m)
{
    m.set_eppid(EppidText(s.Eppid().Str()));
    m.mutable_form_factor()->set_value(static_cast<std::uint32_t>(s.FormFactor()));
    m.mutable_support_system_crash_protection()->set_value(s.SupportSystemCrashProtection() ? 1U : 0U);
    m.mutable_support_host_metadata_log()->set_value(s.SupportHostMetadataLog() ? 1U : 0U);
    m.set_guid(s.Guid().Hex());
    m.set_component_id(TrimmedText(s.ComponentId().Str()));
}

void Fill(const nvme::ICustomizedControllerData::IDeviceCategory& s, dt::NvmeDeviceCategory& m)
{
    m.mutable_class_0()->set_value(s.Class0());
    m.mutable_class_1()->set_value(s.Class1());
    m.mutable_class_2()->set_value(s.Class2());
    m.mutable_class_11()->set_value(s.Class11());
}

// Fills the nested message only when the library gave the sub-object; asking
// for the message is what sets the field.
template <class Source, class MutableField>
void FillIfPresent(const Source* source, MutableField mutableField)
{
    if (source != nullptr) Fill(*source, *mutableField());
}

// The vendor-specific object is the caller's to release; what it tells
// through its customized interface is copied before the owner goes.
void FillVendorArea(const Identify& data, dt::NvmeIdentifyControllerData& m)
{
    const std::shared_ptr<Identify::IVendorSpecificInfo> vendor = Owned(data.VendorSpecificInfo());
    const auto* customized = dynamic_cast<const nvme::ICustomizedControllerData*>(vendor.get());
    if (customized == nullptr) return;
    Fill(*customized, *m.mutable_customized_controller_data());
    FillIfPresent(customized->DeviceCategory(), [&m] { return m.mutable_device_category(); });
}

}  // namespace

std::optional<dt::NvmeIdentifyControllerData> toIdentifyControllerData(const Identify* data)
{
    if (data == nullptr) return std::nullopt;
    const Identify& d = *data;
    dt::NvmeIdentifyControllerData m;

    m.mutable_pci_vendor_id()->set_value(d.PciVendorId());
    m.mutable_pci_subsystem_vendor_id()->set_value(d.PciSubsystemVendorId());
    m.set_serial_number(TrimmedText(d.SerialNumber().Str()));
    m.set_model_number(TrimmedText(d.ModelNumber().Str()));
    m.set_firmware_revision(TrimmedText(d.FirmwareRevision().Str()));
    m.mutable_recommended_arbitration_burst()->set_value(d.RecommendedArbitrationBurst());
    m.set_ieee_oui_identifier(d.IeeeOuiIdentifier().Hex());
    FillIfPresent(d.ControllerMultiPathIoAndNamespaceSharingCap(),
                  [&m] { return m.mutable_controller_multi_path_io_and_namespace_sharing_cap(); });
    m.mutable_max_data_transfer_size()->set_value(d.MaxDataTransferSize());
    m.mutable_controller_id()->set_value(d.ControllerId());
    FillIfPresent(d.Version(), [&m] { return m.mutable_version(); });
    m.mutable_rtd_3_resume_latency()->set_value(d.Rtd3ResumeLatency());
    m.mutable_rtd_3_entry_latency()->set_value(d.Rtd3EntryLatency());
    FillIfPresent(d.OptionalAsynchronousEventsSupported(),
                  [&m] { return m.mutable_optional_asynchronous_events_supported(); });
    FillIfPresent(d.ControllerAttributes(), [&m] { return m.mutable_controller_attributes(); });
    FillIfPresent(d.ReadRecoveryLevelsSupported(), [&m] { return m.mutable_read_recovery_levels_supported(); });
    m.mutable_controller_type()->set_value(d.ControllerType());
    m.set_fru_globally_unique_identifier(d.FruGloballyUniqueIdentifier().Hex());
    m.mutable_command_retry_delay_time_1()->set_value(d.CommandRetryDelayTime1());
    m.mutable_command_retry_delay_time_2()->set_value(d.CommandRetryDelayTime2());
    m.mutable_command_retry_delay_time_3()->set_value(d.CommandRetryDelayTime3());
    FillIfPresent(d.OptionalAdminCommandSupport(), [&m] { return m.mutable_optional_admin_command_support(); });
    m.mutable_abort_command_limit()->set_value(d.AbortCommandLimit());
    m.mutable_asynchronous_event_request_limit()->set_value(d.AsynchronousEventRequestLimit());
    FillIfPresent(d.FirmwareUpdates(), [&m] { return m.mutable_firmware_updates(); });
    FillIfPresent(d.LogPageAttributes(), [&m] { return m.mutable_log_page_attributes(); });
    m.mutable_error_log_page_entries()->set_value(d.ErrorLogPageEntries());
    m.mutable_number_of_power_states_support()->set_value(d.NumberOfPowerStatesSupport());
    FillIfPresent(d.AdminVendorSpecificCommandCfg(), [&m] { return m.mutable_admin_vendor_specific_command_cfg(); });
    FillIfPresent(d.AutoPowerStateTransitionAttributes(),
                  [&m] { return m.mutable_auto_power_state_transition_attributes(); });
    m.mutable_warning_composite_temperature_threshold()->set_value(d.WarningCompositeTemperatureThreshold());
    m.mutable_critical_composite_temperature_threshold()->set_value(d.CriticalCompositeTemperatureThreshold());
    m.mutable_max_time_for_firmware_activation()->set_value(d.MaxTimeForFirmwareActivation());
    m.mutable_host_memory_buffer_preferred_size()->set_value(d.HostMemoryBufferPreferredSize());
    m.mutable_host_memory_buffer_min_size()->set_value(d.HostMemoryBufferMinSize());
    m.set_total_nvm_capacity(d.TotalNvmCapacity().Hex());
    m.set_unallocated_nvm_capacity(d.UnallocatedNvmCapacity().Hex());
    FillIfPresent(d.ReplayProtectedMemoryBlockSupport(),
                  [&m] { return m.mutable_replay_protected_memory_block_support(); });
    m.mutable_extended_device_self_test_time()->set_value(d.ExtendedDeviceSelfTestTime());
    FillIfPresent(d.DeviceSelfTestOptions(), [&m] { return m.mutable_device_self_test_options(); });
    m.mutable_firmware_update_granularity()->set_value(d.FirmwareUpdateGranularity());
    m.mutable_keep_alive_support()->set_value(d.KeepAliveSupport());
    FillIfPresent(d.HostControlledThermalMgmtAttributes(),
                  [&m] { return m.mutable_host_controlled_thermal_mgmt_attributes(); });
    m.mutable_min_thermal_mgmt_temperature()->set_value(d.MinThermalMgmtTemperature());
    m.mutable_max_thermal_mgmt_temperature()->set_value(d.MaxThermalMgmtTemperature());
    FillIfPresent(d.SanitizeCap(), [&m] { return m.mutable_sanitize_cap(); });
    m.mutable_host_memory_buffer_min_descriptor_entry_size()->set_value(d.HostMemoryBufferMinDescriptorEntrySize());
    m.mutable_host_memory_max_descriptors_entries()->set_value(d.HostMemoryMaxDescriptorsEntries());
    m.mutable_nvm_set_identifier_max()->set_value(d.NvmSetIdentifierMax());
    m.mutable_endurance_group_identifier_max()->set_value(d.EnduranceGroupIdentifierMax());
    m.mutable_ana_transition_time()->set_value(d.AnaTransitionTime());
    FillIfPresent(d.AsymmetricNamespaceAccessCap(), [&m] { return m.mutable_asymmetric_namespace_access_cap(); });
    m.mutable_ana_group_identifier_max()->set_value(d.AnaGroupIdentifierMax());
    m.mutable_number_of_ana_group_identifiers()->set_value(d.NumberOfAnaGroupIdentifiers());
    m.mutable_persistent_event_log_size()->set_value(d.PersistentEventLogSize());
    FillIfPresent(d.SubmissionQueueEntrySize(), [&m] { return m.mutable_submission_queue_entry_size(); });
    FillIfPresent(d.CompletionQueueEntrySize(), [&m] { return m.mutable_completion_queue_entry_size(); });
    m.mutable_max_outstanding_commands()->set_value(d.MaxOutstandingCommands());
    m.mutable_number_of_namespaces()->set_value(d.NumberOfNamespaces());
    FillIfPresent(d.OptionalNvmCommandSupport(), [&m] { return m.mutable_optional_nvm_command_support(); });
    FillIfPresent(d.FusedOperationSupport(), [&m] { return m.mutable_fused_operation_support(); });
    FillIfPresent(d.FormatNvmAttributes(), [&m] { return m.mutable_format_nvm_attributes(); });
    FillIfPresent(d.VolatileWriteCache(), [&m] { return m.mutable_volatile_write_cache(); });
    m.mutable_atomic_write_unit_normal()->set_value(d.AtomicWriteUnitNormal());
    m.mutable_atomic_write_unit_power_fail()->set_value(d.AtomicWriteUnitPowerFail());
    FillIfPresent(d.NvmVendorSpecificCommandCfg(), [&m] { return m.mutable_nvm_vendor_specific_command_cfg(); });
    FillIfPresent(d.NamespaceWriteProtectionCap(), [&m] { return m.mutable_namespace_write_protection_cap(); });
    m.mutable_atomic_compare_and_write_unit()->set_value(d.AtomicCompareAndWriteUnit());
    FillIfPresent(d.SglSupport(), [&m] { return m.mutable_sgl_support(); });
    m.mutable_max_number_of_allowed_namespaces()->set_value(d.MaxNumberOfAllowedNamespaces());
    // The qualified name is NUL padded and carries no blanks worth trimming.
    m.set_nvm_subsystem_nvme_qualified_name(UpToNul(d.NvmSubsystemNvmeQualifiedName().Str()));

    // The count is read again for every comparison, and the 32-bit index
    // passes 255, so even a count of 255 ends after 256 descriptors.
    for (std::uint32_t index = 0; index <= static_cast<std::uint32_t>(d.NumberOfPowerStatesSupport()); ++index) {
        FillIfPresent(d.PowerStateDesc(index), [&m] { return m.add_power_state_desc(); });
    }

    FillVendorArea(d, m);
    return m;
}

ItemTable<dt::NvmeIdentifyControllerData> GetIdentifyControllerData()
{
    ItemTable<dt::NvmeIdentifyControllerData> table;
    const std::vector<DiskDeviceInfo> devices = StorageHelper::getDeviceInfo();
    ForEachNvmeDrive([&](std::uint32_t drive) {
        const auto data = Owned(SXNvmNewIdentifyControllerData(drive));
        if (!data) return;
        std::string itemId = ItemId(devices, drive);
        auto message = toIdentifyControllerData(data.get());
        table.Add(std::move(itemId), std::move(*message));
    });
    return table;
}

}  // namespace Talvex::Quorlin::Plugins::NvmeDataGetter
