// Fuzz target: the bytes of a host list as a web server might send them.
// Every entry must point into the text or nowhere, its destination must stop
// at the line's first comma or end, and splitting that destination (and the
// entry's shown text, as if typed) must give a usable host and port: the
// default port, or an explicit one of 1..65535 that is really written there
// behind the host (in brackets or not).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/host_list.h"

using namespace ravu;

namespace {

constexpr unsigned DEFAULT_PORT = 9149;

void Check(bool ok) {
    if (!ok)
        std::abort();
}

void CheckDestination(const std::string& dest) {
    const Destination d = SplitDestination(dest, DEFAULT_PORT);
    const std::string bracketed = "[" + d.host + "]";
    if (!d.explicitPort) {
        Check(d.port == DEFAULT_PORT && (d.host == dest || bracketed == dest));
        return;
    }
    Check(d.port >= 1 && d.port <= 65535);
    Check(!d.host.empty());
    const std::string written = dest.compare(0, bracketed.size(), bracketed) == 0 ? bracketed : d.host;
    Check(dest.compare(0, written.size(), written) == 0 && dest[written.size()] == ':');
    Check(std::stoul(dest.substr(written.size() + 1)) == d.port);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const HostListEntry& e : ParseHostList(text)) {
        Check(e.lineStart >= -1 && e.lineStart <= static_cast<int>(text.size()));
        Check(e.shown.find("\r\n") == std::string::npos);
        const std::string dest = HostListDestination(text, e.lineStart);
        if (e.lineStart < 0) {
            Check(dest.empty());
        } else {
            Check(text.compare(static_cast<size_t>(e.lineStart), dest.size(), dest) == 0);
            Check(dest.find_first_of(",\r\n") == std::string::npos);
        }
        CheckDestination(dest);
        CheckDestination(e.shown);
    }
    return 0;
}
