#include "ListenAddress.h"

#include <charconv>

namespace Storcoll {

namespace {

std::uint16_t ParsePort(std::string_view address, std::string_view port)
{
    unsigned value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || error != std::errc{} || end != port.data() + port.size() || value > 65535) {
        throw BadListenAddress("bad listen address '" + std::string(address) + "': the port '" + std::string(port) +
                               "' is not a number from 0 to 65535");
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

ListenAddress ListenAddress::Parse(std::string_view text)
{
    ListenAddress address;
    std::string_view host;
    std::string_view port;
    if (text.starts_with('[')) {
        const auto close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') {
            throw BadListenAddress("bad listen address '" + std::string(text) +
                                   "': an IPv6 address is written [ADDRESS]:PORT");
        }
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
        if (host.empty()) {
            throw BadListenAddress("bad listen address '" + std::string(text) + "': the brackets hold no address");
        }
    } else {
        const auto colon = text.rfind(':');
        if (colon == std::string_view::npos) {
            throw BadListenAddress("bad listen address '" + std::string(text) +
                                   "': expected HOST:PORT, [IPv6]:PORT or :PORT");
        }
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (host.find(':') != std::string_view::npos) {
            throw BadListenAddress("bad listen address '" + std::string(text) +
                                   "': an IPv6 address is written [ADDRESS]:PORT");
        }
    }
    if (!host.empty()) {
        address.Host = std::string(host);
    }
    address.Port = ParsePort(text, port);
    return address;
}

std::string ListenAddress::Text() const
{
    const bool v6 = Host.find(':') != std::string::npos;
    return (v6 ? "[" + Host + "]" : Host) + ":" + std::to_string(Port);
}

}  // namespace Storcoll
