#include "ProbeLib.h"

#include <stdexcept>

namespace smoke {

Probe MakeProbe(const std::string& name, std::uint64_t size)
{
    if (name.empty()) {
        throw std::invalid_argument("probe name is empty");
    }
    Probe probe;
    probe.set_name(name);
    probe.mutable_size()->set_value(size);
    probe.add_blocks(std::string("\x00\xff", 2));
    return probe;
}

std::string Encode(const Probe& probe) { return probe.SerializeAsString(); }

std::string ProbeTypeName() { return Probe::descriptor()->full_name(); }

}  // namespace smoke
