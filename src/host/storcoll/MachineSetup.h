// The one place where storcoll chooses the machine that the platform API
// answers from.
#pragma once

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace Storcoll {

// What the command line says about the machine.
struct MachineOptions {
    // --machine FILE: a machine description (docs/machine-description.md);
    // without it, the simulator's built-in two-disk machine.
    std::optional<std::string> DescriptionFile;
    // --live: the running Linux system instead of a simulated machine
    // (docs/live.md), its counters sampled this many milliseconds apart.
    bool Live = false;
    unsigned SampleIntervalMs = 250;
};

// A description file that cannot be read or is malformed. what() names the
// file, the JSON path of the fault and what was expected there.
class MachineDescriptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Installs the process-wide machine; call once, before the plug-in collects.
// Raises MachineDescriptionError and installs nothing for a bad description.
void InstallMachine(const MachineOptions& options);

// The built-in machine description (JSON), as `storcoll machine default`
// prints it. Raises MachineDescriptionError in a build without the simulator.
std::string_view DefaultMachineDescription();

// `storcoll machine check FILE`: lists every problem of the description on
// `err`, one per line with its JSON path, or says on `out` that it is good.
// Returns the exit code: MachineRefused when there is any problem.
int CheckMachineDescription(const std::string& file, std::ostream& out, std::ostream& err);

}  // namespace Storcoll
