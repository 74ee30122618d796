#include "HttpMetricsServer.h"

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>

#include <httplib.h>

#include "PromExposition.h"

namespace Storcoll {

namespace {

constexpr const char* kMetricsContentType = "text/plain; version=0.0.4; charset=utf-8";

// Why binding failed, asked of the system with a socket of our own: the
// library reports only that it failed.
std::string BindFailureReason(const ListenAddress& address)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(address.Port);
    if (const int error = getaddrinfo(address.Host.c_str(), port.c_str(), &hints, &found); error != 0) {
        return gai_strerror(error);
    }
    std::string reason = "unknown reason";
    const int fd = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    if (fd < 0) {
        reason = std::strerror(errno);
    } else {
        const int yes = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (bind(fd, found->ai_addr, found->ai_addrlen) != 0) {
            reason = std::strerror(errno);
        }
        close(fd);
    }
    freeaddrinfo(found);
    return reason;
}

bool Resolves(const std::string& host)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) {
        return false;
    }
    freeaddrinfo(found);
    return true;
}

std::string HtmlEscaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace

HttpMetricsServer::HttpMetricsServer(MetricsCache& cache, std::string about)
    : m_cache(cache), m_about(std::move(about)), m_server(std::make_unique<httplib::Server>())
{
    // The library's default also sets SO_REUSEPORT, which would let a second
    // server bind the same port and silently take half of the scrapes.
    m_server->set_socket_options([](socket_t socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    m_server->Get("/metrics", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content(m_cache.Get(), kMetricsContentType);
    });
    m_server->Get("/", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content(StatusPage(), "text/html; charset=utf-8");
    });
    m_server->set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr error) {
            std::string text = "collection failed";
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& failure) {
                text += std::string(": ") + failure.what();
            } catch (...) {
            }
            response.status = 500;
            response.set_content(text + "\n", "text/plain; charset=utf-8");
        });
}

HttpMetricsServer::~HttpMetricsServer() = default;

int HttpMetricsServer::Bind(const ListenAddress& address)
{
    if (!Resolves(address.Host)) {
        throw BadListenAddress("bad listen address '" + address.Text() + "': '" + address.Host +
                               "' is neither an IP address nor a known host name");
    }
    m_address = address;
    if (address.Port == 0) {
        const int port = m_server->bind_to_any_port(address.Host);
        if (port < 0) {
            throw ListenError("cannot listen on " + address.Text() + ": " + BindFailureReason(address));
        }
        m_address.Port = static_cast<std::uint16_t>(port);
    } else if (!m_server->bind_to_port(address.Host, address.Port)) {
        throw ListenError("cannot listen on " + address.Text() + ": " + BindFailureReason(address));
    }
    return m_address.Port;
}

void HttpMetricsServer::Run(const std::stop_token& stop)
{
    std::thread serving([this] { m_server->listen_after_bind(); });
    std::mutex mutex;
    std::condition_variable_any stopped;
    {
        std::unique_lock lock(mutex);
        stopped.wait(lock, stop, [] { return false; });
    }
    m_server->stop();
    serving.join();
}

std::string HttpMetricsServer::StatusPage() const
{
    std::string last = "none yet";
    if (const auto when = m_cache.LastCollection()) {
        const std::time_t seconds = std::chrono::system_clock::to_time_t(*when);
        std::tm utc{};
        gmtime_r(&seconds, &utc);
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
        last = text;
    }
    const auto interval = std::chrono::duration<double>(m_cache.MinInterval()).count();
    return "<!DOCTYPE html>\n<html><head><title>storcoll</title></head><body>\n<h1>storcoll</h1>\n<p>" +
           HtmlEscaped(m_about) + "</p>\n<p><a href=\"/metrics\">Metrics</a></p>\n<ul>\n<li>Listening on " +
           HtmlEscaped(m_address.Text()) + "</li>\n<li>Collections so far: " + std::to_string(m_cache.Collections()) +
           "</li>\n<li>Last collection started: " + last + "</li>\n<li>Minimum interval between collections: " +
           PromExposition::FormatValue(interval) + " s</li>\n</ul>\n</body></html>\n";
}

}  // namespace Storcoll

extern "C" __attribute__((visibility("default"))) Storcoll::MetricsServer* StorcollNewMetricsServer(
    Storcoll::MetricsCache& cache, const std::string& about)
{
    return new Storcoll::HttpMetricsServer(cache, about);
}
