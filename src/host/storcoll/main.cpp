// storcoll: loads the storage collector plug-in the way the host framework
// does and runs its collection methods from the command line.
//   storcoll list
//   storcoll collect [METHOD...] [--item ID] [--format json|prom] [--machine FILE] [--log-level LEVEL] [--log-file PATH]
//   storcoll serve [--listen ADDR] [--min-interval SECONDS]
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "Commands.h"
#include "MachineSetup.h"
#include "MetricsRun.h"
#ifndef _WIN32
#include "Serve.h"
#endif
#include "SigintWatcher.h"
#include "StorageCollectorPlugin.h"
#include "kvr/host/HostAgent.h"
#include "kvr/host/TextLog.h"

namespace {

using Talvex::Quorlin::Plugins::StorageCollectorPlugin;

constexpr auto kMethods = StorageCollectorPlugin::CollectionMethods();

std::shared_ptr<Kvr::Host::TextLogWriter> MakeLogWriter(Kvr::LogLevel level, const std::string& logFile) {
    if (logFile.empty()) {
        return std::make_shared<Kvr::Host::TextLogWriter>(std::cerr, level);
    }
    return std::make_shared<Kvr::Host::TextLogWriter>(logFile, level);
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything can start a thread: every thread must inherit the
    // blocked SIGINT so that only the watcher receives it.
    std::stop_source stop;
    Storcoll::SigintWatcher sigint(stop);

    CLI::App app{"Runs the collection methods of the storage collector plug-in and prints their items as JSON."};
    app.require_subcommand(1);

    std::string logLevelName = "warning";
    std::string logFile;
    const std::map<std::string, Kvr::LogLevel> levels{{"trace", Kvr::LogLevel::Trace},
                                                      {"debug", Kvr::LogLevel::Debug},
                                                      {"warning", Kvr::LogLevel::Warning},
                                                      {"error", Kvr::LogLevel::Error}};
    app.add_option("--log-level", logLevelName, "Lowest level written to the log")
        ->check(CLI::IsMember({"trace", "debug", "warning", "error"}))
        ->capture_default_str();
    app.add_option("--log-file", logFile, "Append the log to this file instead of standard error");
    Storcoll::MachineOptions machine;
    app.add_option("--machine", machine.descriptionFile,
                   "Simulate the machine this description file (JSON) describes instead of the built-in one");
#ifndef _WIN32
    auto* liveFlag = app.add_flag("--live", machine.live, "Collect from this Linux system's own disks (read-only)");
    liveFlag->excludes("--machine");
    app.add_option("--sample-interval", machine.sampleIntervalMs,
                   "With --live: milliseconds between the two samples of the disk counters")
        ->needs(liveFlag)
        ->check(CLI::Range(1u, 60000u))
        ->capture_default_str();
#endif

    auto* list = app.add_subcommand("list", "Show the plug-in's registration data and its collection methods");
    auto* collect = app.add_subcommand("collect", "Run collection methods (all of them when none is named)");
    std::vector<std::string> methodNames;
    std::optional<std::string> itemId;
    collect->add_option("methods", methodNames, "Collection methods, e.g. CollectSmartStaticInfo or SmartStaticInfo");
    collect->add_option("--item", itemId, "Collect only the item with this id (e.g. Disk_...)");
    std::string formatName = "json";
    collect->add_option("--format", formatName, "Output format: json, or prom (Prometheus' text format)")
        ->check(CLI::IsMember({"json", "prom"}))
        ->capture_default_str();
    collect->fallthrough();
    list->fallthrough();
#ifndef _WIN32
    auto* serve = app.add_subcommand("serve", "Serve the collected data as Prometheus metrics over HTTP");
    Storcoll::ServeOptions serveOptions;
    serveOptions.About = std::string(StorageCollectorPlugin::Plugin.Name) + " " +
                         std::string(StorageCollectorPlugin::Plugin.Version) + ", served by storcoll";
    double minInterval = serveOptions.MinInterval.count();
    serve->add_option("--listen", serveOptions.Listen,
                      "HOST:PORT, [IPv6]:PORT or :PORT (loopback); port 0 takes any free port")
        ->capture_default_str();
    serve->add_option("--min-interval", minInterval,
                      "Seconds within which scrapes share the last collection instead of collecting again")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    serve->fallthrough();
#endif

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help ends here too, with success.
        return app.exit(error) == 0 ? Storcoll::Success : Storcoll::UsageError;
    }

    if (list->parsed()) {
        Storcoll::PrintRegistration(StorageCollectorPlugin::Plugin, StorageCollectorPlugin::Publisher,
                                    StorageCollectorPlugin::LogId, kMethods, std::cout);
        return Storcoll::Success;
    }

    if (formatName == "prom" && itemId) {
        std::cerr << "storcoll: --item cannot be used with --format prom, which reports every disk\n";
        return Storcoll::UsageError;
    }
    std::vector<Kvr::CollectionMethodEntry> selected;
    try {
        selected = Storcoll::SelectMethods(kMethods, methodNames);
    } catch (const Storcoll::UnknownMethodError& error) {
        std::cerr << "storcoll: " << error.what() << '\n';
        return Storcoll::UsageError;
    }

    try {
        Storcoll::InstallMachine(machine);
        Kvr::Host::HostAgent agent(MakeLogWriter(levels.at(logLevelName), logFile));
        StorageCollectorPlugin plugin(agent);
#ifndef _WIN32
        if (serve->parsed()) {
            serveOptions.MinInterval = std::chrono::duration<double>(minInterval);
            return Storcoll::RunServe(plugin, kMethods, {}, serveOptions, stop.get_token(), std::cerr);
        }
#endif
        if (formatName == "prom") {
            const auto run = Storcoll::MetricsRun::Collect(plugin, selected, stop.get_token());
            std::cout << run.Text({});
            return run.Cancelled ? Storcoll::Cancelled : run.AllSucceeded() ? Storcoll::Success
                                                                            : Storcoll::CollectionFailed;
        }
        return Storcoll::RunCollect(plugin, selected, itemId, stop.get_token(), std::cout, std::cerr);
    } catch (const Storcoll::MachineDescriptionError& error) {
        std::cerr << "storcoll: " << error.what() << '\n';
        return Storcoll::UsageError;
    } catch (const Kvr::Exception& error) {
        std::cerr << "storcoll: " << error.Message() << '\n';
    } catch (const std::exception& error) {
        std::cerr << "storcoll: " << error.what() << '\n';
    }
    return Storcoll::CollectionFailed;
}
