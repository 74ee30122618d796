// The disks, volumes and interfaces of a machine, made from its description.
#pragma once

#include <memory>

#include "sim/DiskSet.h"
#include "sim/MachineDescription.h"

namespace sim {

// The description must have passed CheckDescription.
std::shared_ptr<DiskSet> BuildDiskSet(const MachineDescription& description);

}  // namespace sim
