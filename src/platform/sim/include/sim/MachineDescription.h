// What a simulated machine has, as its machine description says: the model a
// description file is loaded into, before any machine is made from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Device.h"
#include "platform/Win32.h"
#include "platform/WmiData.h"
#include "sim/DiskModels.h"

namespace sim {

// MSFT_PhysicalDisk.MediaType.
enum class MediaType : std::uint16_t { Unspecified = 0,
                                       Hdd = 3,
                                       Ssd = 4,
                                       Scm = 5 };

// What the formatted performance counters of a disk read.
struct DiskPerformance {
    std::uint64_t percentIdleTime = 100;
    std::uint64_t percentDiskReadTime = 0;
    std::uint64_t percentDiskWriteTime = 0;
    std::uint64_t diskReadBytesPersec = 0;
    std::uint64_t diskWriteBytesPersec = 0;
};

struct DiskDescription {
    std::uint32_t number = 0;  // the physical drive number
    std::string model;
    std::string serial;
    std::string firmware;
    std::string pnpDeviceId;
    std::string interfaceType = "SCSI";
    std::uint64_t sizeBytes = 0;
    std::uint32_t bytesPerSector = 512;

    // The device behind \\.\PhysicalDrive<number>, every default filled in
    // by the loader: interface path, instance id, descriptor, geometry, ATA
    // drive or NVMe controller, layout and faults.
    DiskModel hardware;
    MediaType mediaType = MediaType::Unspecified;
    DiskPerformance perf;
    // MSStorageDriver_ATAPISmartData.InstanceName of the disk's SMART row.
    std::wstring wmiInstanceName;
};

// A device interface listed by SetupAPI with no device that opens behind it.
struct ExtraInterface {
    platform::DeviceInterfaceRecord record;
    // Its place in the enumeration among the disks' interfaces; past the
    // end (the default) puts it last.
    std::size_t index = static_cast<std::size_t>(-1);
};

// A change to the rows a class derives from the hardware, or a row of its own.
struct WmiRowEdit {
    enum class Kind {
        Edit,  // change derived row `row`
        Drop,  // leave derived row `row` out
        Add,   // append `set` as a row of its own
        Copy,  // append a copy of derived row `row`, changed
    };
    Kind kind = Kind::Add;
    std::size_t row = 0;
    platform::WmiInstance set;         // properties set (Edit, Copy) or the whole row (Add)
    std::vector<std::wstring> remove;  // properties taken out (Edit, Copy)
    std::string path;                  // the edit's place in the description
};

struct WmiClassOverride {
    std::wstring name;
    HRESULT queryFailure = S_OK;  // ExecQuery answers it
    ULONG failingNext = 0;        // the enumerator step that fails, 1 for the first
    HRESULT failingNextResult = S_OK;
    std::vector<WmiRowEdit> rows;
    std::string path;
};

struct WmiNamespaceOverride {
    std::wstring name;              // one of the service's namespaces
    HRESULT connectFailure = S_OK;  // ConnectServer answers it
    std::vector<WmiClassOverride> classes;
};

// Faults of the machine as a whole rather than of one device.
struct MachineFaults {
    // Identifiers whose text StringFromCLSID cannot make: the task memory
    // for it is refused (E_OUTOFMEMORY).
    std::vector<GUID> guidText;
};

struct MachineDescription {
    UINT codePage = 1252;
    bool debuggerAttached = false;
    MachineFaults faults;
    std::vector<DiskDescription> disks;
    std::vector<VolumeModel> volumes;  // letters upper case
    std::vector<ExtraInterface> interfaces;
    std::vector<WmiNamespaceOverride> wmi;

    const DiskDescription* FindDisk(std::uint32_t number) const;
};

}  // namespace sim
