// The physical form factor a drive's customized vendor area declares.
#pragma once

#include <cstdint>

namespace talvex::stordex::nvme {

// Our own numbering, the number the customized vendor area carries in its
// form-factor byte; the message field takes the number unchanged. A byte
// outside this list is passed on as it is (the enum holds any byte), so a
// reader must not assume one of the named values.
enum class NominalFormFactor : std::uint8_t {
    Unknown = 0,
    M2_2230 = 1,
    M2_2242 = 2,
    M2_2260 = 3,
    M2_2280 = 4,
    M2_22110 = 5,
    U2 = 6,         // 2.5-inch, SFF-8639 connector
    AddInCard = 7,  // PCIe card
    Bga = 8,        // soldered package
    E1S = 9,        // EDSFF
    E1L = 10,
    E3S = 11,
    E3L = 12,
};

}  // namespace talvex::stordex::nvme
