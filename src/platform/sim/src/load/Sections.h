// The sections of a machine description, one reader each, in a file of its own.
#pragma once

#include "JsonReader.h"
#include "sim/MachineDescription.h"

namespace sim::load {

// "disks": the physical disks.
std::vector<DiskDescription> ReadDisks(const Node& node);
// "wmi": overrides of the WMI service, by namespace and class.
std::vector<WmiNamespaceOverride> ReadWmi(const Node& node);

}  // namespace sim::load
