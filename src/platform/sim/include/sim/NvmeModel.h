// What a simulated NVMe drive holds, as the drive itself keeps it: Identify
// Controller fields and log page fields by their NVM Express names (the
// abbreviations nvme-cli prints), with the values the drive stores - register
// bits as numbers, temperatures in Kelvin, counters unscaled. A machine
// description loader fills these; the drive's encoders turn them into pages.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Win32.h"

namespace sim {

// A 128-bit little-endian counter, in two halves.
struct NvmeCounter {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
};

// One power state descriptor.
struct NvmePowerState {
    std::uint16_t mp = 0;     // maximum power
    bool mxps = false;        // max power scale: 0.0001 W instead of 0.01 W
    bool nops = false;        // non-operational state
    std::uint32_t enlat = 0;  // entry latency, microseconds
    std::uint32_t exlat = 0;  // exit latency, microseconds
    std::uint8_t rrt = 0;     // relative read throughput (5 bits)
    std::uint8_t rrl = 0;     // relative read latency (5 bits)
    std::uint8_t rwt = 0;     // relative write throughput (5 bits)
    std::uint8_t rwl = 0;     // relative write latency (5 bits)
    std::uint16_t idlp = 0;   // idle power
    std::uint8_t ips = 0;     // idle power scale (2 bits)
    std::uint16_t actp = 0;   // active power
    std::uint8_t apw = 0;     // active power workload (3 bits)
    std::uint8_t aps = 0;     // active power scale (2 bits)
};

// Our customized vendor area of Identify Controller (docs/nvme-vendor-area.md).
struct NvmeVendorArea {
    std::uint16_t version = 1;
    std::string eppid;            // up to 32 ASCII characters
    std::uint8_t formFactor = 0;  // NominalFormFactor numbering
    bool systemCrashProtection = false;
    bool hostMetadataLog = false;
    // Class 0, 1, 2 and 11; none leaves the category-valid bit clear.
    std::optional<std::array<std::uint16_t, 4>> deviceCategory;
    std::array<std::uint8_t, 16> guid{};
    std::string componentId;  // up to 8 ASCII characters
};

// Identify Controller (CNS 01h). Text fields are padded with spaces.
struct NvmeIdentify {
    std::uint16_t vid = 0;
    std::uint16_t ssvid = 0;
    std::string sn;
    std::string mn;
    std::string fr;
    std::uint8_t rab = 0;
    std::uint32_t ieee = 0;  // the 24-bit OUI, stored least significant byte first
    std::uint8_t cmic = 0;
    std::uint8_t mdts = 0;
    std::uint16_t cntlid = 0;
    std::uint32_t ver = 0x00010400;  // major << 16 | minor << 8 | tertiary
    std::uint32_t rtd3r = 0;
    std::uint32_t rtd3e = 0;
    std::uint32_t oaes = 0;
    std::uint32_t ctratt = 0;
    std::uint16_t rrls = 0;
    std::uint8_t cntrltype = 1;
    std::array<std::uint8_t, 16> fguid{};
    std::uint16_t crdt1 = 0;
    std::uint16_t crdt2 = 0;
    std::uint16_t crdt3 = 0;
    std::uint16_t oacs = 0;
    std::uint8_t acl = 0;
    std::uint8_t aerl = 0;
    std::uint8_t frmw = 0;
    std::uint8_t lpa = 0;
    std::uint8_t elpe = 0;
    std::uint8_t npss = 0;
    std::uint8_t avscc = 0;
    std::uint8_t apsta = 0;
    std::uint16_t wctemp = 0;  // Kelvin
    std::uint16_t cctemp = 0;  // Kelvin
    std::uint16_t mtfa = 0;
    std::uint32_t hmpre = 0;
    std::uint32_t hmmin = 0;
    NvmeCounter tnvmcap;  // bytes
    NvmeCounter unvmcap;  // bytes
    std::uint32_t rpmbs = 0;
    std::uint16_t edstt = 0;
    std::uint8_t dsto = 0;
    std::uint8_t fwug = 0;
    std::uint16_t kas = 0;
    std::uint16_t hctma = 0;
    std::uint16_t mntmt = 0;  // Kelvin
    std::uint16_t mxtmt = 0;  // Kelvin
    std::uint32_t sanicap = 0;
    std::uint32_t hmminds = 0;
    std::uint16_t hmmaxd = 0;
    std::uint16_t nsetidmax = 0;
    std::uint16_t endgidmax = 0;
    std::uint8_t anatt = 0;
    std::uint8_t anacap = 0;
    std::uint32_t anagrpmax = 0;
    std::uint32_t nanagrpid = 0;
    std::uint32_t pels = 0;
    std::uint8_t sqes = 0x66;
    std::uint8_t cqes = 0x44;
    std::uint16_t maxcmd = 0;
    std::uint32_t nn = 1;
    std::uint16_t oncs = 0;
    std::uint16_t fuses = 0;
    std::uint8_t fna = 0;
    std::uint8_t vwc = 0;
    std::uint16_t awun = 0;
    std::uint16_t awupf = 0;
    std::uint8_t nvscc = 0;
    std::uint8_t nwpc = 0;
    std::uint16_t acwu = 0;
    std::uint32_t sgls = 0;
    std::uint32_t mnan = 0;
    std::string subnqn;               // NUL-padded, unlike the other texts
    std::vector<NvmePowerState> psd;  // at most 32 are stored
    // None: the vendor area stays all zero, without our signature.
    std::optional<NvmeVendorArea> vendor;
};

// SMART / Health Information log (02h).
struct NvmeHealthLog {
    std::uint8_t criticalWarning = 0;
    std::uint16_t temperature = 0;  // composite, Kelvin; 0 when not reported
    std::uint8_t availSpare = 100;
    std::uint8_t spareThresh = 10;
    std::uint8_t percentUsed = 0;
    std::uint8_t enduranceGroupWarningSummary = 0;
    NvmeCounter dataUnitsRead;
    NvmeCounter dataUnitsWritten;
    NvmeCounter hostReads;
    NvmeCounter hostWrites;
    NvmeCounter ctrlBusyTime;
    NvmeCounter powerCycles;
    NvmeCounter powerOnHours;
    NvmeCounter unsafeShutdowns;
    NvmeCounter mediaErrors;
    NvmeCounter numErrLogEntries;
    std::uint32_t warningTempTime = 0;
    std::uint32_t criticalCompTime = 0;
    std::array<std::uint16_t, 8> tempSensor{};  // Kelvin; 0 for a sensor not implemented
    std::uint32_t thmTemp1TransCount = 0;
    std::uint32_t thmTemp2TransCount = 0;
    std::uint32_t thmTemp1TotalTime = 0;
    std::uint32_t thmTemp2TotalTime = 0;
};

// Our customized health log (docs/nvme-vendor-area.md).
struct NvmeVendorHealthLog {
    std::uint16_t version = 1;
    std::uint8_t wearLevelingCount = 0;
    std::uint8_t usedReservedBlockCountWorst = 0;
    std::uint8_t usedReservedBlockCountTotal = 0;
    std::uint32_t reservedBlockCountTotal = 0;
    std::uint16_t minimumTemperature = 0;
    std::uint16_t maximumTemperature = 0;
    NvmeCounter totalDataWrittenByController;
    std::uint32_t hostActiveIdleCounter = 0;
    std::uint32_t nonOperationalPowerStateCounter = 0;
    std::uint8_t abnormalInputVccVoltageCounter = 0;
};

// Requests the drive refuses, each with the Win32 error DeviceIoControl
// then reports; 0 answers normally.
struct NvmeFaults {
    DWORD identify = 0;
    DWORD healthLog = 0;
    DWORD vendorHealthLog = 0;
};

// One simulated NVMe drive: what its controller answers. The disk it sits
// behind answers the storage stack's requests (descriptor, device number,
// geometry).
struct NvmeDriveModel {
    // The disk's bus type, as its descriptor reports it: 17 (NVMe); 8 (RAID)
    // behind a RAID controller. The loader keeps it here beside the controller.
    DWORD busType = BusTypeNvme;

    NvmeIdentify identify;
    NvmeHealthLog health;
    // None: the drive has no customized health log and refuses log CAh.
    std::optional<NvmeVendorHealthLog> vendorHealth;

    // Recorded pages that replace what the fields above would encode.
    std::vector<std::uint8_t> rawIdentify;         // 4096 bytes
    std::vector<std::uint8_t> rawHealthLog;        // 512 bytes
    std::vector<std::uint8_t> rawVendorHealthLog;  // 512 bytes

    NvmeFaults faults;
};

}  // namespace sim
