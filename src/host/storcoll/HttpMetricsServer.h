// The metrics server on cpp-httplib. Built into libstorcoll_serve.so, which
// exports only its factory (STORCOLL_METRICS_SERVER_ENTRY_NAME).
#pragma once

#include <memory>
#include <string>

#include "MetricsServer.h"

namespace httplib {
class Server;
}

namespace Storcoll {

class HttpMetricsServer final : public MetricsServer {
public:
    HttpMetricsServer(MetricsCache& cache, std::string about);
    ~HttpMetricsServer() override;
    HttpMetricsServer(const HttpMetricsServer&) = delete;
    HttpMetricsServer& operator=(const HttpMetricsServer&) = delete;

    int Bind(const ListenAddress& address) override;
    void Run(const std::stop_token& stop) override;

private:
    std::string StatusPage() const;

    MetricsCache& m_cache;
    std::string m_about;
    ListenAddress m_address;
    std::unique_ptr<httplib::Server> m_server;
};

}  // namespace Storcoll
