#include "MachineSetup.h"

#include <memory>

#include "platform/Machine.h"
#include "sim/DescriptionLoader.h"
#include "sim/SimMachine.h"

namespace Storcoll {

void InstallMachine(const MachineOptions& options) {
    sim::MachineDescription description;
    try {
        description = options.descriptionFile ? sim::LoadDescriptionFile(*options.descriptionFile)
                                              : sim::DefaultDescription();
    } catch (const sim::DescriptionError& error) {
        throw MachineDescriptionError("machine description " +
                                      (options.descriptionFile ? "\"" + *options.descriptionFile + "\"" : "built in") +
                                      " refused: " + error.what());
    }
    platform::InstallProcessMachine(std::make_shared<sim::SimMachine>(description));
}

}  // namespace Storcoll
