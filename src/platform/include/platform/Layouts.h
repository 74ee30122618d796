// The sizes and offsets the system relies on in the structures it sends to
// and reads from devices, as 64-bit Windows lays them out. Held against our own
// declarations in the Linux build and against the SDK in the Windows build.
#pragma once

#include <cstddef>

#include "platform/Win32.h"

static_assert(sizeof(WCHAR) == 2);
static_assert(sizeof(GUID) == 16);

static_assert(sizeof(STORAGE_DEVICE_NUMBER) == 12);
static_assert(offsetof(STORAGE_DEVICE_NUMBER, DeviceNumber) == 4);
static_assert(offsetof(STORAGE_DEVICE_NUMBER, PartitionNumber) == 8);

static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12);
static_assert(sizeof(STORAGE_DESCRIPTOR_HEADER) == 8);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset) == 12);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset) == 16);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductRevisionOffset) == 20);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset) == 24);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) == 28);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, RawPropertiesLength) == 32);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties) == 36);
static_assert(sizeof(STORAGE_DEVICE_DESCRIPTOR) == 40);

static_assert(sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) == 40);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestValue) == 8);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestSubValue) == 12);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataOffset) == 16);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataLength) == 20);
static_assert(sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR) == 48);
static_assert(offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData) == 8);

static_assert(sizeof(ATA_PASS_THROUGH_DIRECT) == 48);
static_assert(offsetof(ATA_PASS_THROUGH_DIRECT, AtaFlags) == 2);
static_assert(offsetof(ATA_PASS_THROUGH_DIRECT, DataTransferLength) == 8);
static_assert(offsetof(ATA_PASS_THROUGH_DIRECT, TimeOutValue) == 12);
static_assert(offsetof(ATA_PASS_THROUGH_DIRECT, ReservedAsUlong) == 16);
static_assert(offsetof(ATA_PASS_THROUGH_DIRECT, DataBuffer) == 24);
static_assert(offsetof(ATA_PASS_THROUGH_DIRECT, PreviousTaskFile) == 32);
static_assert(offsetof(ATA_PASS_THROUGH_DIRECT, CurrentTaskFile) == 40);

static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT) == 56);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, ScsiStatus) == 2);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, CdbLength) == 6);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoLength) == 7);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataIn) == 8);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataTransferLength) == 12);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, TimeOutValue) == 16);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer) == 24);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset) == 32);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb) == 36);

static_assert(sizeof(DISK_GEOMETRY) == 24);
static_assert(offsetof(DISK_GEOMETRY, MediaType) == 8);
static_assert(offsetof(DISK_GEOMETRY, TracksPerCylinder) == 12);
static_assert(offsetof(DISK_GEOMETRY, SectorsPerTrack) == 16);
static_assert(offsetof(DISK_GEOMETRY, BytesPerSector) == 20);

static_assert(sizeof(PARTITION_INFORMATION_GPT) == 112);
static_assert(sizeof(PARTITION_INFORMATION_EX) == 144);
static_assert(offsetof(PARTITION_INFORMATION_EX, StartingOffset) == 8);
static_assert(offsetof(PARTITION_INFORMATION_EX, PartitionLength) == 16);
static_assert(offsetof(PARTITION_INFORMATION_EX, PartitionNumber) == 24);
static_assert(offsetof(PARTITION_INFORMATION_EX, RewritePartition) == 28);
static_assert(offsetof(PARTITION_INFORMATION_EX, Gpt) == 32);
static_assert(offsetof(PARTITION_INFORMATION_EX, Gpt) + offsetof(PARTITION_INFORMATION_GPT, PartitionId) == 48);
static_assert(offsetof(PARTITION_INFORMATION_EX, Gpt) + offsetof(PARTITION_INFORMATION_GPT, Attributes) == 64);
static_assert(offsetof(PARTITION_INFORMATION_EX, Gpt) + offsetof(PARTITION_INFORMATION_GPT, Name) == 72);

static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionCount) == 4);
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, Gpt) == 8);
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, Mbr) == 8);
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry) == 48);
static_assert(sizeof(DRIVE_LAYOUT_INFORMATION_EX) == 48 + 144);

static_assert(sizeof(DISK_PERFORMANCE) == 88);
static_assert(offsetof(DISK_PERFORMANCE, BytesWritten) == 8);
static_assert(offsetof(DISK_PERFORMANCE, ReadCount) == 40);
static_assert(offsetof(DISK_PERFORMANCE, QueryTime) == 56);
static_assert(offsetof(DISK_PERFORMANCE, StorageDeviceNumber) == 64);
static_assert(offsetof(DISK_PERFORMANCE, StorageManagerName) == 68);

static_assert(sizeof(SP_DEVINFO_DATA) == 32);
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 32);
static_assert(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) == 4);
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == 8);
static_assert(sizeof(DEVPROPKEY) == 20);
