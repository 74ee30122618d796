#include "MachineSetup.h"

#include <memory>

#include "platform/Machine.h"
#include "sim/SimMachine.h"

namespace Storcoll {

void InstallMachine(const MachineOptions&) {
    platform::InstallProcessMachine(std::make_shared<sim::SimMachine>());
}

}  // namespace Storcoll
