// The one place where storcoll chooses the machine that the platform API
// answers from.
#pragma once

namespace Storcoll {

// What the command line says about the machine. Empty for now: the machine
// description file option is added here when the simulated machine can load one.
struct MachineOptions {};

// Installs the process-wide machine; call once, before the plug-in collects.
void InstallMachine(const MachineOptions& options);

}  // namespace Storcoll
