// Listen addresses: what parses, to what, and what is refused with which reason.
#include <gtest/gtest.h>

#include "ListenAddress.h"

namespace {

using Storcoll::BadListenAddress;
using Storcoll::ListenAddress;

TEST(ListenAddress, ParsesHostAndPortWithLoopbackAsTheDefaultHost)
{
    const struct {
        const char* Text;
        const char* Host;
        int Port;
        const char* Shown;
    } rows[] = {
        {":9100", "127.0.0.1", 9100, "127.0.0.1:9100"},
        {"0.0.0.0:80", "0.0.0.0", 80, "0.0.0.0:80"},
        {"localhost:0", "localhost", 0, "localhost:0"},
        {"[::1]:65535", "::1", 65535, "[::1]:65535"},
        {"[::]:9863", "::", 9863, "[::]:9863"},
    };
    for (const auto& row : rows) {
        const auto address = ListenAddress::Parse(row.Text);
        EXPECT_EQ(address.Host, row.Host) << row.Text;
        EXPECT_EQ(address.Port, row.Port) << row.Text;
        EXPECT_EQ(address.Text(), row.Shown) << row.Text;
    }
}

TEST(ListenAddress, RefusesWhatIsNotHostColonPortSayingWhy)
{
    const struct {
        const char* Text;
        const char* Reason;
    } rows[] = {
        {"9100", "expected HOST:PORT"},
        {"host:", "the port '' is not a number"},
        {"host:65536", "the port '65536' is not a number from 0 to 65535"},
        {"host:9x", "the port '9x'"},
        {"host:-1", "the port '-1'"},
        {"::1:9100", "an IPv6 address is written [ADDRESS]:PORT"},
        {"[::1]9100", "an IPv6 address is written [ADDRESS]:PORT"},
        {"[]:9100", "the brackets hold no address"},
    };
    for (const auto& row : rows) {
        try {
            ListenAddress::Parse(row.Text);
            ADD_FAILURE() << row.Text << " parsed";
        } catch (const BadListenAddress& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(std::string("bad listen address '") + row.Text + "'"), std::string::npos)
                << message;
            EXPECT_NE(message.find(row.Reason), std::string::npos) << row.Text << ": " << message;
        }
    }
}

}  // namespace
