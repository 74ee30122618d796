#include "MachineSetup.h"

#include <iostream>
#include <memory>

#include "live/LiveMachine.h"
#include "Commands.h"

#include "platform/Machine.h"
#include "sim/DescriptionLoader.h"
#include "sim/SimMachine.h"

namespace Storcoll {

void InstallMachine(const MachineOptions& options)
{
    if (options.Live) {
        live::LiveOptions liveOptions;
        liveOptions.SampleInterval = std::chrono::milliseconds(options.SampleIntervalMs);
        auto machine = std::make_shared<live::LiveMachine>(live::Roots{}, liveOptions);
        // Said once, before collecting, so that missing data is not a surprise.
        if (const std::string note = machine->AccessNote(); !note.empty()) std::cerr << "storcoll: " << note << '\n';
        platform::InstallProcessMachine(std::move(machine));
        return;
    }
    sim::MachineDescription description;
    try {
        description = options.DescriptionFile ? sim::LoadDescriptionFile(*options.DescriptionFile)
                                              : sim::DefaultDescription();
    } catch (const sim::DescriptionError& error) {
        throw MachineDescriptionError("machine description " +
                                      (options.DescriptionFile ? "\"" + *options.DescriptionFile + "\"" : "built in") +
                                      " refused: " + error.what());
    }
    platform::InstallProcessMachine(std::make_shared<sim::SimMachine>(description));
}

std::string_view DefaultMachineDescription()
{
    return sim::DefaultDescriptionJson();
}

int CheckMachineDescription(const std::string& file, std::ostream& out, std::ostream& err)
{
    const auto problems = sim::DescriptionFileProblems(file);
    if (problems.empty()) {
        out << "machine description \"" << file << "\" is good\n";
        return Success;
    }
    err << "machine description \"" << file << "\": " << problems.size()
        << (problems.size() == 1 ? " problem\n" : " problems\n");
    for (const auto& problem : problems) {
        err << "  " << problem.what() << '\n';
    }
    return MachineRefused;
}

}  // namespace Storcoll
