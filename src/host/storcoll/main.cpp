// storcoll: loads the storage collector plug-in the way the host framework
// does and runs its collection methods from the command line.
//   storcoll list
//   storcoll collect [METHOD...] [--item ID] [--format table|json|jsonl] [--proto-json]
//   storcoll serve [--listen ADDR] [--min-interval SECONDS]
//   storcoll machine default | machine check FILE
// Common options: --plugin PATH, --machine FILE, --log-level LEVEL, --log-file PATH.
#include <cstdio>
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
#include "OutputFormat.h"
#include "PluginLibrary.h"
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include "Serve.h"
#endif
#include "SigintWatcher.h"
#include "Terminal.h"
#include "kvr/host/HostAgent.h"
#include "kvr/host/TextLog.h"

namespace {

std::shared_ptr<Kvr::Host::TextLogWriter> MakeLogWriter(Kvr::LogLevel level, const std::string& logFile)
{
    if (logFile.empty()) {
        return std::make_shared<Kvr::Host::TextLogWriter>(std::cerr, level);
    }
    return std::make_shared<Kvr::Host::TextLogWriter>(logFile, level);
}

// The plug-in object, created by the library and destroyed by it.
struct PluginDeleter {
    void (*Destroy)(Kvr::BaseCollector*);
    void operator()(Kvr::BaseCollector* plugin) const { Destroy(plugin); }
};

}  // namespace

int main(int argc, char** argv)
{
    // Before anything can start a thread: every thread must inherit the
    // blocked SIGINT so that only the watcher receives it.
    std::stop_source stop;
    Storcoll::SigintWatcher sigint(stop);

    CLI::App app{"Runs the collection methods of the storage collector plug-in and shows what they collect, "
                 "with a health verdict for each disk."};
    app.require_subcommand(1);
    app.footer("Exit codes: 0 collected; 1 a collection method failed; 2 wrong command line or unknown item; "
               "3 machine description unreadable or refused; 4 plug-in library missing, unloadable or "
               "incompatible; 5 storcoll serve cannot listen on its address; 130 interrupted.");

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
    app.add_option("--machine", machine.DescriptionFile,
                   "Simulate the machine this description file (JSON) describes instead of the built-in one");
#ifndef _WIN32
    auto* liveFlag = app.add_flag("--live", machine.Live, "Collect from this Linux system's own disks (read-only)");
    liveFlag->excludes("--machine");
    app.add_option("--sample-interval", machine.SampleIntervalMs,
                   "With --live: milliseconds between the two samples of the disk counters")
        ->needs(liveFlag)
        ->check(CLI::Range(1u, 60000u))
        ->capture_default_str();
#endif
    std::string pluginFile;
    app.add_option("--plugin", pluginFile, "The plug-in library to load (default: the one beside storcoll)");

    auto* list = app.add_subcommand("list", "Show the plug-in's registration data and its collection methods");
    auto* collect = app.add_subcommand("collect", "Run collection methods (all of them when none is named)");
    std::vector<std::string> methodNames;
    std::optional<std::string> itemId;
    std::string formatName;
    bool protoJson = false;
    collect->add_option("methods", methodNames, "Collection methods, e.g. CollectSmartStaticInfo or SmartStaticInfo");
    collect->add_option("--item", itemId, "Collect only the item with this id (e.g. Disk_...)");
    collect->add_option("--format", formatName,
                        "Output format: " + Storcoll::OutputFormatNames() +
                            " (default: table on a terminal, json otherwise)");
    collect->add_flag("--proto-json", protoJson,
                      "Print messages in protobuf's canonical JSON mapping (bytes as base64), to parse them back");
    auto* machineCommand = app.add_subcommand("machine", "Machine descriptions of the simulated machine");
    machineCommand->require_subcommand(1);
    machineCommand->add_subcommand("default", "Print the built-in machine description, to copy and edit");
    auto* check = machineCommand->add_subcommand("check", "Check a machine description and list all its problems");
    std::string checkFile;
    check->add_option("file", checkFile, "The description file (JSON)")->required();
    for (auto* command : {list, collect, machineCommand}) {
        command->fallthrough();
    }
#ifndef _WIN32
    auto* serve = app.add_subcommand("serve", "Serve what the plug-in collects as Prometheus metrics over HTTP");
    Storcoll::ServeOptions serveOptions;
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

    try {
        if (machineCommand->parsed()) {
            if (check->parsed()) {
                return Storcoll::CheckMachineDescription(checkFile, std::cout, std::cerr);
            }
            std::cout << Storcoll::DefaultMachineDescription();
            return Storcoll::Success;
        }

        const Storcoll::OutputFormat* format = nullptr;
        if (collect->parsed()) {
            const bool terminal = Storcoll::IsTerminal(stdout);
            format = Storcoll::FindOutputFormat(formatName.empty() ? (terminal ? "table" : "json") : formatName);
            if (format == nullptr) {
                std::cerr << "storcoll: unknown output format '" << formatName
                          << "'; valid formats: " << Storcoll::OutputFormatNames() << '\n';
                return Storcoll::UsageError;
            }
#ifdef _WIN32
            // Prometheus' text format ends its lines in LF alone; a text-mode
            // stdout would write CR LF.
            if (format->Name == "prom") {
                _setmode(_fileno(stdout), _O_BINARY);
            }
#endif
        }

        const Storcoll::PluginLibrary library(pluginFile.empty() ? Storcoll::PluginLibrary::DefaultFile()
                                                                 : std::filesystem::path(pluginFile));
        const Kvr::PluginExport& exports = library.Exports();
        if (list->parsed()) {
            Storcoll::PrintRegistration(exports.Plugin, exports.Publisher, exports.LogId, exports.CollectionMethods(),
                                        std::cout);
            std::cout << "Library:      " << library.File().string() << " (contract version "
                      << exports.ContractVersion << ")\n";
            return Storcoll::Success;
        }

        std::vector<Kvr::CollectionMethodEntry> selected;
        try {
            selected = Storcoll::SelectMethods(exports.CollectionMethods(), methodNames);
        } catch (const Storcoll::UnknownMethodError& error) {
            std::cerr << "storcoll: " << error.what() << '\n';
            return Storcoll::UsageError;
        }

        Storcoll::InstallMachine(machine);
        Kvr::Host::HostAgent agent(MakeLogWriter(levels.at(logLevelName), logFile));
        const std::unique_ptr<Kvr::BaseCollector, PluginDeleter> plugin(exports.Create(agent),
                                                                        PluginDeleter{exports.Destroy});
#ifndef _WIN32
        if (serve->parsed()) {
            serveOptions.MinInterval = std::chrono::duration<double>(minInterval);
            serveOptions.About =
                std::string(exports.Plugin.Name) + " " + std::string(exports.Plugin.Version) + ", served by storcoll";
            return Storcoll::RunServe(*plugin, selected, serveOptions, stop.get_token(), std::cerr);
        }
#endif
        Storcoll::CollectOptions options;
        options.Format = format;
        options.Output.ProtoJson = protoJson;
        options.Output.Color = Storcoll::ColorWanted(stdout);
        options.Output.Width = Storcoll::IsTerminal(stdout) ? Storcoll::TerminalWidth(stdout) : 0;
        options.Progress = Storcoll::IsTerminal(stderr);
        options.ProgressColor = Storcoll::ColorWanted(stderr);
        return Storcoll::RunCollect(*plugin, selected, itemId, stop.get_token(), options, std::cout, std::cerr);
    } catch (const Storcoll::PluginLoadError& error) {
        std::cerr << "storcoll: " << error.what() << '\n';
        return Storcoll::PluginUnavailable;
    } catch (const Storcoll::MachineDescriptionError& error) {
        std::cerr << "storcoll: " << error.what() << '\n';
        return Storcoll::MachineRefused;
    } catch (const Kvr::Exception& error) {
        std::cerr << "storcoll: " << error.Message() << '\n';
    } catch (const std::exception& error) {
        std::cerr << "storcoll: " << error.what() << '\n';
    }
    return Storcoll::CollectionFailed;
}
