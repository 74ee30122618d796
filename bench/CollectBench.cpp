// How long one collection of each data type takes on the built-in machine,
// through the plug-in as the host calls it: WMI queries, device requests,
// decoding and message building included.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>
#include <string>

#include "StorageCollectorPlugin.h"
#include "kvr/Exceptions.h"
#include "kvr/host/RecordingAgent.h"
#include "platform/Machine.h"
#include "sim/DescriptionLoader.h"
#include "sim/SimMachine.h"

namespace {

using Talvex::Quorlin::Plugins::StorageCollectorPlugin;

void CollectOnDefaultMachine(benchmark::State& state)
{
    static constexpr auto kMethods = StorageCollectorPlugin::CollectionMethods();
    const auto& method = kMethods[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(method.Name));
    sim::SimMachine machine(sim::DefaultDescription());
    platform::MachineScope scope(machine);
    Kvr::Host::RecordingAgent agent;
    StorageCollectorPlugin plugin(agent);
    std::size_t items = 0;
    for (auto _ : state) {
        try {
            const auto collected = method.Invoke(plugin, std::nullopt, std::nullopt);
            items = collected ? collected->size() : 0;
        } catch (const Kvr::Exception& error) {
            state.SkipWithError(error.Message().c_str());
            break;
        }
        benchmark::DoNotOptimize(items);
        agent.Log()->Clear();
    }
    state.counters["items"] = static_cast<double>(items);
    if (machine.Ledger().OpenTotal() != 0) state.SkipWithError("resources left open");
}

BENCHMARK(CollectOnDefaultMachine)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

// The machine itself: parsing and building the built-in description.
void LoadDefaultMachine(benchmark::State& state)
{
    for (auto _ : state) {
        sim::SimMachine machine(sim::DefaultDescription());
        benchmark::DoNotOptimize(&machine);
    }
}

BENCHMARK(LoadDefaultMachine)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
