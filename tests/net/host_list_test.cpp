// The host list text split into entries and their destinations, and typed
// destinations split into host and port.
#include <gtest/gtest.h>

#include <string>

#include "net/host_list.h"

using namespace ravu;

// Each entry as "shown@lineStart>destination".
TEST(HostList, ParsesEntriesInFileOrderWithTheirDestinations) {
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"host.example,Taro\r\n127.0.0.1,Hanako,5dan\r\n", " Taro@0>host.example Hanako,5dan@19>127.0.0.1"},
        {"a,b\r\nlast,name", " b@0>a name@-1>"},
        {"nocomma\r\nx,y\r\n", " @0>nocomma y@9>x"},
        {"a,b\r\nlast,", " b@0>a"},  // a last line with nothing shown is left out
        {"", ""},
        {"\r\n\r\n", " @0> @2>"},
        {"a,b\nc,d\r", " b\nc,d\r@-1>"},  // only CR LF ends a line
        {"[2001:db8::1]:9150,Taro\r\n::1,Jiro\r\n", " Taro@0>[2001:db8::1]:9150 Jiro@25>::1"},
    };
    // clang-format on
    for (const auto& [text, entries] : cases) {
        std::string got;
        for (const auto& e : ParseHostList(text))
            got += " " + e.shown + "@" + std::to_string(e.lineStart) + ">" +
                   HostListDestination(text, e.lineStart);
        EXPECT_EQ(got, entries);
        for (int outside : {-1, 100000, static_cast<int>(text.size())})
            EXPECT_EQ(HostListDestination(text, outside), "");
    }
}

TEST(Destination, PlainNamesGoToTheGuestPortAndHostPortOrBracketedIpv6IsAccepted) {
    // Destination, then host and port as split ("*" marks an explicit port).
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"example.org", "example.org 9149"}, {"127.0.0.1:9150", "127.0.0.1 9150*"}, {"h:65535", "h 65535*"},
        {"h:65536", "h:65536 9149"},         {"h:0", "h:0 9149"},                   {":80", ":80 9149"},
        {"h:8a", "h:8a 9149"},               {"::1", "::1 9149"},                   {"h:000080", "h:000080 9149"},
        {"[2001:db8::1]:9150", "2001:db8::1 9150*"},  {"[::1]", "::1 9149"},  {"2001:db8::1", "2001:db8::1 9149"},
        {"[fe80::1%eth0]:80", "fe80::1%eth0 80*"},    {"[::1]:0", "[::1]:0 9149"},  {"[::1]9150", "[::1]9150 9149"},
        {"[::1", "[::1 9149"},                         {"[h]:80", "[h]:80 9149"},    {"[]", "[] 9149"},
        {"[:\x81\x5d:80", "[:\x81\x5d:80 9149"},  // a Shift-JIS trail byte is no bracket
    };
    // clang-format on
    for (const auto& [dest, split] : cases) {
        const Destination d = SplitDestination(dest, 9149);
        EXPECT_EQ(d.host + " " + std::to_string(d.port) + (d.explicitPort ? "*" : ""), split) << dest;
    }
}
