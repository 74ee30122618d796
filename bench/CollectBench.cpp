// How long collections take on described machines of 1 to 256 disks with 0
// or 24 volumes: each method alone and all six in turn, through the plug-in
// as the host calls it. Beside the time per collection and per disk, each
// case reports the platform requests one collection makes, by kind, and the
// time that replaying exactly those requests alone takes on the same machine:
// what the collection cannot do without. See docs/performance.md.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "BenchMachine.h"
#include "RequestRecorder.h"
#include "StorageCollectorPlugin.h"
#include "kvr/Exceptions.h"
#include "kvr/host/RecordingAgent.h"
#include "platform/Machine.h"
#include "sim/DescriptionLoader.h"
#include "sim/SimMachine.h"

namespace {

using Talvex::Quorlin::Plugins::StorageCollectorPlugin;

constexpr auto kMethods = StorageCollectorPlugin::CollectionMethods();
constexpr std::size_t kAllSix = kMethods.size();

sim::SimMachine& Machine(int disks, int volumes)
{
    static std::map<std::pair<int, int>, std::unique_ptr<sim::SimMachine>> machines;
    auto& machine = machines[{disks, volumes}];
    if (!machine)
        machine = std::make_unique<sim::SimMachine>(sim::ParseDescription(bench::BenchMachineJson(disks, volumes)));
    return *machine;
}

// One collection of the method (kAllSix: all six in turn); the items it returned.
std::size_t Collect(StorageCollectorPlugin& plugin, std::size_t method)
{
    std::size_t items = 0;
    for (std::size_t m = method == kAllSix ? 0 : method; m < (method == kAllSix ? kAllSix : method + 1); ++m)
        if (const auto collected = kMethods[m].Invoke(plugin, std::nullopt, std::nullopt)) items += collected->size();
    return items;
}

// The calling thread's processor time: on a shared machine, wall time
// mostly measures the other processes.
double ThreadMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

template <typename Run>
double MeanMicroseconds(int repeats, Run run)
{
    const double start = ThreadMicroseconds();
    for (int i = 0; i < repeats; ++i) run();
    return (ThreadMicroseconds() - start) / repeats;
}

void Collection(benchmark::State& state)
{
    const auto method = static_cast<std::size_t>(state.range(0));
    const auto disks = static_cast<int>(state.range(1));
    const auto volumes = static_cast<int>(state.range(2));
    state.SetLabel(method == kAllSix ? "all six" : std::string(kMethods[method].Name));
    sim::SimMachine& machine = Machine(disks, volumes);
    Kvr::Host::RecordingAgent agent;
    StorageCollectorPlugin plugin(agent);

    // The requests of one collection, kept once.
    bench::RequestRecorder recorder(machine);
    std::size_t items = 0;
    try {
        platform::MachineScope recording(recorder);
        items = Collect(plugin, method);
    } catch (const Kvr::Exception& error) {
        state.SkipWithError(error.Message().c_str());
        return;
    }

    platform::MachineScope scope(machine);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Collect(plugin, method));
        agent.Log()->Clear();
    }

    const int repeats = disks >= 64 ? 3 : 20;
    const double collection = MeanMicroseconds(repeats, [&] { Collect(plugin, method); });
    const double replay = MeanMicroseconds(repeats, [&] { recorder.Replay(machine); });
    const auto counts = recorder.Count();
    state.counters["items"] = static_cast<double>(items);
    state.counters["opens"] = static_cast<double>(counts.opens);
    state.counters["requests"] = static_cast<double>(counts.requests);
    state.counters["wmi_rows"] = static_cast<double>(counts.wmiRows);
    state.counters["per_disk"] =
        benchmark::Counter(disks, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["cpu_us"] = collection;
    state.counters["replay_us"] = replay;
    state.counters["x_replay"] = replay > 0 ? collection / replay : 0;
    if (machine.Ledger().OpenTotal() != 0) state.SkipWithError("resources left open");
}

BENCHMARK(Collection)
    ->ArgNames({"method", "disks", "volumes"})
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6}, {1, 8, 64, 256}, {0, 24}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

}  // namespace

BENCHMARK_MAIN();
