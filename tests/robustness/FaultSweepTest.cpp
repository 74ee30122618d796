// Each collection method on a rich machine, with every platform call it makes
// failed in turn in each way that call can fail. Whatever fails, the method
// returns its list (or none) or raises the host's exception after one log
// line of the item handler, and every counted resource is released.
#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "StorageCollectorPlugin.h"
#include "kvr/Exceptions.h"
#include "kvr/host/RecordingAgent.h"
#include "sim/DescriptionLoader.h"
#include "sim/FaultingMachine.h"
#include "sim/SimMachine.h"

namespace {

using Talvex::Quorlin::Plugins::StorageCollectorPlugin;
using Fault = sim::FaultingMachine::Fault;

constexpr std::string_view kHandler =
    "Talvex::Quorlin::Cpp::Common::ItemHandler<`generic-class-parameter-1'>::ExecuteHandlingException";

// What one collection left: "" when it kept every rule, else what it broke.
template <typename Method>
std::string Collect(const Method& method, StorageCollectorPlugin& plugin, Kvr::Host::RecordingAgent& agent,
                    sim::FaultingMachine& machine, std::size_t& raises)
{
    agent.Log()->Clear();
    bool raised = false;
    try {
        method.Invoke(plugin, std::nullopt, std::nullopt);
    } catch (const Kvr::KvrException&) {
        raised = true;
    } catch (...) {
        return "something other than a KvrException reached the host";
    }
    raises += raised;
    std::string broken;
    if (const std::string open = machine.Ledger().OpenReport(); !open.empty()) broken += "left open: " + open + "; ";
    std::size_t handlerLines = 0;
    for (const auto& record : agent.Log()->Records())
        if (record.Function == kHandler) {
            ++handlerLines;
            if (record.Level != Kvr::LogLevel::Error || record.Text == "Unknown exception")
                broken += "handler logged \"" + record.Text + "\"; ";
        }
    if (handlerLines != (raised ? 1u : 0u))
        broken += std::to_string(handlerLines) + " handler lines for a " + (raised ? "raise; " : "return; ");
    return broken;
}

TEST(FaultSweep, EveryCallOfEveryMethodFailsCleanly)
{
    sim::SimMachine inner(sim::LoadDescriptionFile(RICH_MACHINE));
    sim::FaultingMachine machine(inner);
    platform::MachineScope scope(machine);
    Kvr::Host::RecordingAgent agent;
    StorageCollectorPlugin plugin(agent);

    for (const auto& method : StorageCollectorPlugin::CollectionMethods()) {
        machine.Disarm();
        std::size_t raises = 0;
        EXPECT_EQ(Collect(method, plugin, agent, machine, raises), "") << method.Name << " without faults";
        EXPECT_EQ(raises, 0u) << method.Name << " without faults";
        const auto points = machine.Points();
        std::size_t runs = 0;
        for (std::size_t position = 0; position < points.size(); ++position)
            for (const Fault fault : sim::FaultingMachine::FaultsAt(points[position])) {
                machine.Arm(position, fault);
                ++runs;
                EXPECT_EQ(Collect(method, plugin, agent, machine, raises), "")
                    << method.Name << ", call " << position << " failed as fault " << static_cast<int>(fault);
            }
        std::cout << method.Name << ": " << points.size() << " call positions, " << runs << " faulted runs, " << raises
                  << " of them raised\n";
    }
}

}  // namespace
