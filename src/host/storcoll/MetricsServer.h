// `storcoll serve`: an HTTP endpoint on one address with the metrics at
// /metrics (collected through a MetricsCache) and a plain status page at /.
// The HTTP server lives in a library of its own beside storcoll
// (libstorcoll_serve.so), loaded only when storcoll serves: the HTTP library
// brings TLS and compression libraries whose loading and start-up would
// otherwise be paid by every run of storcoll.
#pragma once

#include <memory>
#include <stdexcept>
#include <stop_token>
#include <string>

#include "ListenAddress.h"
#include "MetricsCache.h"

namespace Storcoll {

// The address could not be listened on (in use, not on this machine, not
// allowed), with the reason; or the server library could not be loaded.
class ListenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class MetricsServer {
public:
    virtual ~MetricsServer() = default;

    // The server of the library beside the running program, serving `cache`;
    // `about` is one line naming the program for the status page. Raises
    // ListenError when the library cannot be loaded.
    static std::unique_ptr<MetricsServer> Load(MetricsCache& cache, const std::string& about);

    // Binds the address; raises BadListenAddress for a host that names no
    // address and ListenError when the address cannot be had. Returns the
    // port bound (the one given, or the one chosen for port 0).
    virtual int Bind(const ListenAddress& address) = 0;

    // Serves until `stop` is requested, then stops accepting, finishes the
    // requests in flight and returns.
    virtual void Run(const std::stop_token& stop) = 0;
};

// The server library's one entry point: a new server, owned by the caller.
extern "C" using MetricsServerFactory = MetricsServer * (*)(MetricsCache & cache, const std::string& about);
#define STORCOLL_METRICS_SERVER_ENTRY_NAME "StorcollNewMetricsServer"

}  // namespace Storcoll
