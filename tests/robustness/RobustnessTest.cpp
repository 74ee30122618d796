// The plug-in on the rich machine (data/rich-machine.json) behind a machine
// that fails platform calls at will. The fault sweep fails every platform call
// of every method in turn in each way that call can fail: whatever fails, the
// method returns its list (or none) or raises the host's exception after one
// log line of the item handler, and every counted resource is released. The
// concurrency test calls all six methods from several threads at once, over
// and over (also run under ThreadSanitizer by the test command): every call
// succeeds, no two static disk collections overlap and every failure line
// carries an id of its own.
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

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

// Layout requests, of which the static disk collection alone sends some for
// every disk, in the order the machine got them, as runs of one thread each.
std::vector<std::size_t> LayoutRuns(const sim::FaultingMachine& machine)
{
    std::vector<std::size_t> runs;
    std::thread::id last;
    for (const auto& [code, thread] : machine.Requests()) {
        if (code != IOCTL_DISK_GET_DRIVE_LAYOUT_EX) continue;
        if (runs.empty() || thread != last) runs.push_back(0);
        ++runs.back();
        last = thread;
    }
    return runs;
}

TEST(Concurrency, AllMethodsFromSeveralThreadsOnOnePlugin)
{
    constexpr int threads = 4;
    constexpr int rounds = 3;
    sim::SimMachine inner(sim::LoadDescriptionFile(RICH_MACHINE));
    inner.SetDebuggerAttached(true);  // so that failure lines are written
    sim::FaultingMachine machine(inner);
    platform::InstallProcessMachine(std::shared_ptr<platform::Machine>(&machine, [](platform::Machine*) {}));
    Kvr::Host::RecordingAgent agent;
    StorageCollectorPlugin plugin(agent);
    static constexpr auto methods = StorageCollectorPlugin::CollectionMethods();

    // One static disk collection alone sends this many layout requests.
    methods[1].Invoke(plugin, std::nullopt, std::nullopt);
    const std::vector<std::size_t> alone = LayoutRuns(machine);
    ASSERT_EQ(alone.size(), 1u);
    machine.Disarm();
    const std::size_t debugLinesBefore = inner.DebugLines().size();

    std::vector<std::string> failures(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&, t] {
            for (int round = 0; round < rounds; ++round)
                for (std::size_t m = 0; m < methods.size(); ++m) {
                    const auto& method = methods[(m + static_cast<std::size_t>(t)) % methods.size()];
                    try {
                        if (!method.Invoke(plugin, std::nullopt, std::nullopt))
                            failures[t] += std::string(method.Name) + " returned no list; ";
                    } catch (const Kvr::Exception& error) {
                        failures[t] += std::string(method.Name) + " raised " + error.Message() + "; ";
                    }
                }
        });
    for (auto& worker : workers) worker.join();
    platform::InstallProcessMachine(nullptr);

    for (int t = 0; t < threads; ++t) EXPECT_EQ(failures[t], "") << "thread " << t;
    EXPECT_EQ(machine.Ledger().OpenReport(), "");

    const std::vector<std::size_t> runs = LayoutRuns(machine);
    std::size_t total = 0;
    for (const std::size_t run : runs) {
        EXPECT_EQ(run % alone[0], 0u) << "a static disk collection was interleaved with another";
        total += run;
    }
    EXPECT_EQ(total, alone[0] * threads * rounds);

    // The threshold read of disk 1 fails in every SMART collection.
    const std::regex failureId(R"((Exception|ReturnHr|LogHr|FailFast)\((\d+)\) tid)");
    std::map<std::string, int> ids;
    const auto lines = inner.DebugLines();
    for (std::size_t i = debugLinesBefore; i < lines.size(); ++i) {
        const std::string line(lines[i].begin(), lines[i].end());
        std::smatch match;
        if (std::regex_search(line, match, failureId)) ++ids[match[2]];
    }
    EXPECT_GE(ids.size(), static_cast<std::size_t>(threads * rounds));
    for (const auto& [id, count] : ids) EXPECT_EQ(count, 1) << "failure id " << id << " written " << count << " times";
}

}  // namespace
