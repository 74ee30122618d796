// The bus through which a physical drive is attached, as the library reports it.
#pragma once

#include <cstdint>

namespace talvex::stordex {

// Numbered as Windows' STORAGE_BUS_TYPE, so the library can hand on the value
// of a storage adapter query unchanged. Windows spells the enumerators
// BusTypeXxx; 1394 becomes Ieee1394 here because a name cannot start with a
// digit.
enum class StorageBusType : std::uint32_t {
    Unknown = 0,
    Scsi = 1,
    Atapi = 2,
    Ata = 3,
    Ieee1394 = 4,
    Ssa = 5,
    Fibre = 6,
    Usb = 7,
    RAID = 8,
    iScsi = 9,
    Sas = 10,
    Sata = 11,
    Sd = 12,
    Mmc = 13,
    Virtual = 14,
    FileBackedVirtual = 15,
    Spaces = 16,
    Nvme = 17,
    SCM = 18,
    Ufs = 19,
    Max = 20,
    MaxReserved = 0x7F,
};

}  // namespace talvex::stordex
