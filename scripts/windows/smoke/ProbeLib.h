// The DLL half of the smoke check: builds and encodes messages inside a DLL
// that links protobuf statically, as the project's message library does.
#pragma once

#include <cstdint>
#include <string>

#include "probe.pb.h"

namespace smoke {

// Raises std::invalid_argument for an empty name, so the caller sees an
// exception thrown in another module.
Probe MakeProbe(const std::string& name, std::uint64_t size);

// Wire bytes of the probe, encoded by the DLL.
std::string Encode(const Probe& probe);

// Full name of the probe message as the DLL's descriptor pool knows it.
std::string ProbeTypeName();

}  // namespace smoke
