// Where `storcoll serve` listens: "HOST:PORT", "[IPv6]:PORT" or ":PORT". The
// host defaults to the loopback address, so that the metrics are not offered
// to the network unless someone asks for that with 0.0.0.0 or [::].
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace Storcoll {

// A listen address that cannot be parsed, with what is wrong with it.
class BadListenAddress : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

struct ListenAddress {
    static constexpr std::uint16_t kDefaultPort = 9863;

    std::string Host = "127.0.0.1";     // an IPv6 address without its brackets
    std::uint16_t Port = kDefaultPort;  // 0: any free port

    // Raises BadListenAddress naming the problem.
    static ListenAddress Parse(std::string_view text);

    // "127.0.0.1:9863", "[::1]:9863"
    std::string Text() const;
};

}  // namespace Storcoll
