// Revision of the library's NVMe interface declarations.
#pragma once

#include <cstdint>

namespace talvex::stordex::nvme {

// Every NVMe interface but ICustomizedControllerData opens with
// InterfaceVersion(), returning the revision of these declarations that the
// object was built against. A caller built against a later revision can use it
// to tell an older library's object apart before calling an accessor the
// older one lacks; the collector itself never calls it. Raise this whenever
// an accessor is added, removed or reordered, since the order of the virtual
// operations is part of the contract.
inline constexpr std::uint32_t kInterfaceVersion = 1;

}  // namespace talvex::stordex::nvme
