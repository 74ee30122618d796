#include "MachineSetup.h"

#include "Commands.h"

namespace Storcoll {

// The Windows build reads the machine it runs on through the system itself;
// machine descriptions drive the simulated machine of the Linux build only.
void InstallMachine(const MachineOptions& options)
{
    if (options.DescriptionFile) {
        throw MachineDescriptionError("--machine \"" + *options.DescriptionFile +
                                      "\" refused: this build reads the real machine; machine descriptions are "
                                      "for the simulated machine of the Linux build");
    }
}

std::string_view DefaultMachineDescription()
{
    throw MachineDescriptionError("this build reads the real machine; it has no built-in machine description");
}

int CheckMachineDescription(const std::string& file, std::ostream&, std::ostream& err)
{
    err << "storcoll: machine description \"" << file
        << "\" not checked: this build reads the real machine; machine descriptions are for the simulated "
           "machine of the Linux build\n";
    return MachineRefused;
}

}  // namespace Storcoll
