// `storcoll serve`: the plug-in's collections as Prometheus metrics over HTTP,
// until SIGINT or SIGTERM.
#pragma once

#include <chrono>
#include <ostream>
#include <span>
#include <stop_token>
#include <string>

#include "kvr/BaseCollector.h"
#include "kvr/Registration.h"

namespace Storcoll {

struct ServeOptions {
    std::string Listen = ":9863";
    // Scrapes within this time of the last collection get its metrics.
    std::chrono::duration<double> MinInterval{10.0};
    std::string About;  // names the program on the status page
};

// Serves until `stop` is requested and returns the exit code: Success after
// a clean stop, UsageError for an address that cannot be parsed or resolved,
// ListenFailed when it cannot be listened on. Says where it listens, and any
// error, on `err`.
int RunServe(Kvr::BaseCollector& plugin, std::span<const Kvr::CollectionMethodEntry> methods,
             const ServeOptions& options, const std::stop_token& stop, std::ostream& err);

}  // namespace Storcoll
