// The disks and volumes of a simulated machine as plain data: what a machine
// description says about them. The device models answer every request from
// these records, so a loader only has to fill them in. Unlike the records of
// the system itself, their fields carry the names of the machine description's
// keys (docs/machine-description.md), so each is found by the other's name.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Win32.h"
#include "sim/NvmeModel.h"

namespace sim {

// ---------------------------------------------------------------- faults

// How far a device lets itself be opened.
enum class OpenAccess {
    ReadWrite,  // any access
    ReadOnly,   // refused when write access is asked for
    None,       // refused whatever is asked for
};

enum class FaultKind {
    Fail,      // the request fails with `error`; nothing is written
    ZeroData,  // the request succeeds, but its data comes back all zero
    Refuse,    // the device refuses the command: ERR/ABRT in the ATA status
               // registers, CHECK CONDITION on the SCSI path; outside the
               // pass-through requests it fails like Fail
};

// A fault of one request kind, optionally narrowed to one command: for the ATA
// path the command register; for the SCSI path the ATA command inside ATA
// PASS-THROUGH(16) (CDB byte 14), else the SCSI operation code (CDB byte 0).
struct RequestFault {
    DWORD code = 0;  // the I/O control code
    std::optional<std::uint8_t> command;
    // Narrows further to one feature register value: SMART READ DATA (0xD0)
    // against SMART READ THRESHOLDS (0xD1), say.
    std::optional<std::uint8_t> feature;
    // For IOCTL_STORAGE_QUERY_PROPERTY: narrows to one PropertyId
    // (StorageDeviceProperty, the device descriptor, say).
    std::optional<DWORD> property;
    FaultKind kind = FaultKind::Fail;
    DWORD error = ERROR_GEN_FAILURE;  // for Fail (and Refuse outside pass-through)
};

struct DeviceFaults {
    OpenAccess access = OpenAccess::ReadWrite;
    DWORD openError = ERROR_ACCESS_DENIED;  // what CreateFileW sets when refused
    std::vector<RequestFault> requests;

    // The first fault for the code whose command, feature and property filters are empty or equal.
    const RequestFault* Find(DWORD code, std::optional<std::uint8_t> command = std::nullopt,
                             std::optional<std::uint8_t> feature = std::nullopt,
                             std::optional<DWORD> property = std::nullopt) const
    {
        for (const auto& fault : requests)
            if (fault.code == code && (!fault.command || !command || *fault.command == *command) &&
                (!fault.feature || !feature || *fault.feature == *feature) &&
                (!fault.property || !property || *fault.property == *property))
                return &fault;
        return nullptr;
    }
};

// ---------------------------------------------------------------- ATA device

// The IDENTIFY DEVICE identity of an ATA drive. Texts are blank-padded (or
// cut) to their field width and stored as ATA strings, two characters a word
// with the first in the high byte.
struct AtaIdentity {
    std::string model;                        // words 27-46, 40 characters
    std::string serial;                       // words 10-19, 20 characters
    std::string firmware;                     // words 23-26, 8 characters
    std::uint16_t word0 = 0x0040;             // general configuration: ATA device, fixed
    std::uint16_t word83 = 0x4000;            // command sets supported (bit 14 is always one)
    std::uint16_t word84 = 0x4020;            // bit 14 always one; bit 5 General Purpose Logging
    std::uint16_t word217 = 0;                // rotation rate: 0 not reported, 1 non-rotating, else rpm
    std::uint64_t sectors = 0;                // user addressable sectors (words 60-61 and 100-103)
    std::map<unsigned, std::uint16_t> words;  // any other word, written last (0-254)
};

// One entry of the SMART attribute table, as the drive keeps it.
struct SmartAttribute {
    std::uint8_t id = 0;
    std::uint16_t flags = 0;
    std::uint8_t current = 100;
    std::uint8_t worst = 100;
    std::uint64_t raw = 0;  // 48 bits, little-endian in the sector
};

struct SmartThreshold {
    std::uint8_t id = 0;
    std::uint8_t threshold = 0;
};

struct AtaDriveModel {
    AtaIdentity identity;
    // Log pages by log address, each a whole number of 512-byte pages; the
    // directory (address 0) is made from the others when it is not given.
    std::map<std::uint8_t, std::vector<std::uint8_t>> logPages;
    bool smartSupported = true;
    bool smartEnabled = true;
    std::uint16_t smartRevision = 0x0010;
    std::vector<SmartAttribute> smartAttributes;  // first 30 used, in order
    std::vector<SmartThreshold> smartThresholds;  // first 42 used; past the 30th
                                                  // they run into the vendor area
    // Sectors recorded from a real drive, answered unchanged in place of the
    // ones the lists above would make (512 bytes each; empty: not recorded).
    std::vector<std::uint8_t> smartDataSector;
    std::vector<std::uint8_t> smartThresholdSector;
};

// ---------------------------------------------------------------- disk

// The device descriptor of IOCTL_STORAGE_QUERY_PROPERTY; vendor, product and
// revision also answer a standard INQUIRY.
struct StorageDescriptor {
    STORAGE_BUS_TYPE busType = BusTypeSata;
    std::uint8_t deviceType = 0;  // SCSI peripheral device type: direct access
    bool removable = false;
    bool commandQueueing = true;
    std::string vendor;  // empty: no string, offset 0
    std::string product;
    std::string revision;
    std::string serial;
};

struct DiskGeometry {
    std::int64_t cylinders = 0;
    std::uint32_t mediaType = 12;  // FixedMedia
    std::uint32_t tracksPerCylinder = 255;
    std::uint32_t sectorsPerTrack = 63;
    std::uint32_t bytesPerSector = 512;
};

enum class PartitionStyle : std::uint32_t { Mbr = 0,
                                            Gpt = 1,
                                            Raw = 2 };

struct PartitionModel {
    std::uint32_t number = 0;  // PartitionNumber
    std::uint64_t startingOffset = 0;
    std::uint64_t length = 0;
    bool rewrite = false;
    bool service = false;
    GUID id{};  // GPT PartitionId, or the identifier Windows gives an MBR partition
    // GPT only
    GUID type{};
    std::uint64_t attributes = 0;
    std::wstring name;  // at most 36 characters
    // MBR only
    std::uint8_t mbrType = 0x07;
    bool bootIndicator = false;
    bool recognized = true;
    std::uint32_t hiddenSectors = 0;
};

struct DriveLayout {
    PartitionStyle style = PartitionStyle::Raw;
    GUID diskId{};  // GPT
    std::uint64_t startingUsableOffset = 0;
    std::uint64_t usableLength = 0;
    std::uint32_t maxPartitionCount = 128;
    std::uint32_t signature = 0;  // MBR
    std::uint32_t checksum = 0;
    // In table order. An MBR table is reported in groups of four entries, the
    // unused slots all zero, as Windows does.
    std::vector<PartitionModel> partitions;
};

struct DiskModel {
    std::uint32_t number = 0;    // the N of \\.\PhysicalDriveN and its device number
    std::wstring interfacePath;  // empty: the disk has no listed interface
    std::wstring instanceId;     // empty: the property cannot be read
    StorageDescriptor descriptor;
    DiskGeometry geometry;
    std::optional<AtaDriveModel> ata;  // none: no ATA device behind the disk
    // An NVMe controller behind the disk: it answers the protocol-specific
    // property queries; the disk answers everything else.
    std::optional<NvmeDriveModel> nvme;
    DriveLayout layout;
    DeviceFaults faults;
};

// ---------------------------------------------------------------- volume

struct VolumeCounters {
    std::int64_t bytesRead = 0;
    std::int64_t bytesWritten = 0;
    std::int64_t readTime = 0;
    std::int64_t writeTime = 0;
    std::int64_t idleTime = 0;
    std::uint32_t readCount = 0;
    std::uint32_t writeCount = 0;
    std::uint32_t queueDepth = 0;
    std::uint32_t splitCount = 0;
    std::int64_t queryTime = 0;
};

struct VolumeModel {
    wchar_t letter = L'C';
    // The disk and partition the volume lives on; no disk for a network share,
    // which opens but has neither partition information nor a device number.
    std::optional<std::uint32_t> disk;
    std::uint32_t partitionNumber = 0;
    VolumeCounters counters;
    DeviceFaults faults;
};

}  // namespace sim
