// The host list text split into entries and their destinations, and typed
// destinations split into host and port.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/host_list.h"

using namespace ravu;

TEST(HostList, ParsesEntriesInFileOrderWithTheirDestinations)
{
    struct Entry {
        std::string shown;
        int lineStart;
        std::string dest;
    };
    struct Case {
        std::string text;
        std::vector<Entry> entries;
    } cases[] = {
        {"host.example,Taro\r\n127.0.0.1,Hanako,5dan\r\n", {{"Taro", 0, "host.example"}, {"Hanako,5dan", 19, "127.0.0.1"}}},
        {"a,b\r\nlast,name", {{"b", 0, "a"}, {"name", -1, ""}}},
        {"nocomma\r\nx,y\r\n", {{"", 0, "nocomma"}, {"y", 9, "x"}}},
        {"a,b\r\nlast,", {{"b", 0, "a"}}},  // a last line with nothing shown is left out
        {"", {}},
        {"\r\n\r\n", {{"", 0, ""}, {"", 2, ""}}},
        {"a,b\nc,d\r", {{"b\nc,d\r", -1, ""}}},  // only CR LF ends a line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto got = ParseHostList(c.text);
        ASSERT_EQ(got.size(), c.entries.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].shown, c.entries[i].shown);
            EXPECT_EQ(got[i].lineStart, c.entries[i].lineStart);
            EXPECT_EQ(HostListDestination(c.text, got[i].lineStart), c.entries[i].dest);
        }
        for (int outside : {-1, 100000, static_cast<int>(c.text.size())})
            EXPECT_EQ(HostListDestination(c.text, outside), "");
    }
}

TEST(Destination, PlainNamesGoToTheGuestPortAndHostPortIsAccepted)
{
    // Destination, then host and port as split ("*" marks an explicit port).
    const std::pair<std::string, std::string> cases[] = {
        {"example.org", "example.org 9149"}, {"127.0.0.1:9150", "127.0.0.1 9150*"}, {"h:65535", "h 65535*"},
        {"h:65536", "h:65536 9149"},         {"h:0", "h:0 9149"},                   {":80", ":80 9149"},
        {"h:8a", "h:8a 9149"},               {"::1", "::1 9149"},                   {"h:000080", "h:000080 9149"},
    };
    for (const auto& [dest, split] : cases) {
        const Destination d = SplitDestination(dest, 9149);
        EXPECT_EQ(d.host + " " + std::to_string(d.port) + (d.explicitPort ? "*" : ""), split) << dest;
    }
}
