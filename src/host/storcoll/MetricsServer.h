// `storcoll serve`: an HTTP endpoint on one address with the metrics at
// /metrics (collected through a MetricsCache) and a plain status page at /.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <stop_token>
#include <string>

#include "ListenAddress.h"
#include "MetricsCache.h"

namespace httplib {
class Server;
}

namespace Storcoll {

// The address could not be listened on (in use, not on this machine, not
// allowed), with the reason.
class ListenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class MetricsServer {
public:
    // `about` is one line naming the program for the status page.
    MetricsServer(MetricsCache& cache, std::string about);
    ~MetricsServer();
    MetricsServer(const MetricsServer&) = delete;
    MetricsServer& operator=(const MetricsServer&) = delete;

    // Binds the address; raises BadListenAddress for a host that names no
    // address and ListenError when the address cannot be had. Returns the
    // port bound (the one given, or the one chosen for port 0).
    int Bind(const ListenAddress& address);

    // Serves until `stop` is requested, then stops accepting, finishes the
    // requests in flight and returns.
    void Run(const std::stop_token& stop);

private:
    std::string StatusPage() const;

    MetricsCache& m_cache;
    std::string m_about;
    ListenAddress m_address;
    std::unique_ptr<httplib::Server> m_server;
};

}  // namespace Storcoll
