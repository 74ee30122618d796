// What storcoll's commands do, apart from parsing the command line: list the
// plug-in's registration, and run collection methods and print their items.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <vector>

#include "OutputFormat.h"
#include "kvr/BaseCollector.h"
#include "kvr/Registration.h"

namespace Storcoll {

// What storcoll exits with; docs/exit-codes in the README.
enum ExitCode : int {
    Success = 0,
    CollectionFailed = 1,   // a collection method raised
    UsageError = 2,         // the command line is wrong
    MachineRefused = 3,     // the machine description cannot be read or is refused
    PluginUnavailable = 4,  // the plug-in library is missing, unloadable or incompatible
    ListenFailed = 5,       // storcoll serve cannot listen on its address
    Cancelled = 130,        // as a shell reports a program ended by SIGINT
};

// The plug-in's registration: its attributes, the log id it logs under and
// its collection methods with their message types.
void PrintRegistration(const Kvr::PluginAttribute& plugin, const Kvr::PublisherAttribute& publisher,
                       std::string_view logId, std::span<const Kvr::CollectionMethodEntry> methods,
                       std::ostream& out);

// A collection method name that the plug-in does not have.
class UnknownMethodError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// The entries that `names` ask for, in the order named; every entry when no
// name is given. A name is a method name ("CollectSmartStaticInfo") or its
// data type ("SmartStaticInfo"). Raises UnknownMethodError naming the first
// unknown name and listing the valid ones.
std::vector<Kvr::CollectionMethodEntry> SelectMethods(std::span<const Kvr::CollectionMethodEntry> methods,
                                                      const std::vector<std::string>& names);

// How a collect run shows what it collected.
struct CollectOptions {
    const OutputFormat* Format = nullptr;  // null: json
    OutputOptions Output;
    bool Progress = false;  // status lines on `err` (a terminal)
    bool ProgressColor = false;
};

// Runs each method on `plugin` in turn, judges each disk's health and prints
// the report to `out` in the chosen format. A failure is also told on `err`
// with the error's message and its inner error's. Cancellation ends the run
// after the method it stopped. An item id that no method knows is a usage
// error, told on `err` with the ids that exist. Returns the exit code.
int RunCollect(Kvr::BaseCollector& plugin, std::span<const Kvr::CollectionMethodEntry> methods,
               const std::optional<std::string>& itemId, const std::stop_token& token,
               const CollectOptions& options, std::ostream& out, std::ostream& err);

}  // namespace Storcoll
