#include "MachineSetup.h"

namespace Storcoll {

// The Windows build reads the machine it runs on through the system itself;
// machine descriptions drive the simulated machine of the Linux build only.
void InstallMachine(const MachineOptions& options) {
    if (options.descriptionFile) {
        throw MachineDescriptionError("--machine \"" + *options.descriptionFile +
                                      "\" refused: this build reads the real machine; machine descriptions are "
                                      "for the simulated machine of the Linux build");
    }
}

}  // namespace Storcoll
